// The command line of corvane-cli: global options, the command and its
// arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

struct CliOptions {
    std::string command;            // list, auth, run, convert
    std::vector<std::string> args;  // the command's positional arguments

    std::optional<std::string> host;  // built-in caster
    std::optional<std::uint16_t> port;
    std::optional<std::pair<std::string, std::uint16_t>> caster2;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<int> purpose;
    std::optional<std::string> outDir;
    std::vector<std::pair<int, std::string>> serialMap;
    std::optional<std::uint16_t> tcpStart;

    std::optional<double> duration;  // run
    int format = 3;                  // convert
    std::optional<std::string> name;
    bool text = false;
    bool rinex = false;
    bool raw = false;
    bool codes = false;  // convert: print message codes instead of RTCM numbers
    std::optional<int> rinexVersion;  // convert: RINEX 2.11 or 3.04 (default: the setting)
    std::optional<std::int64_t> time;  // convert: RINEX start clock, seconds since 1970 (GPS scale)
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRefused = 3;
inline constexpr int kExitUnreachable = 4;

// Parses the arguments (without the program name). On a bad option or
// argument returns nothing and sets `error` to one line naming it; with
// --help or --version sets `info` to the text to print and returns nothing.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string* error, std::string* info);

std::string CliUsage();

}  // namespace corvane

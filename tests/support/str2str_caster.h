// RTKLIB's str2str as an NTRIP caster on loopback, reading the stream it
// serves from a pipe that the test writes (POSIX only).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane::test {

// The full path of a program found on PATH, or empty.
std::string FindOnPath(const std::string& program);

class Str2StrCaster {
public:
    // Serves `mountpoint` on `port` to the user and password "qadlu"; the
    // mountpoint may carry str2str's source-table fields after a colon
    // ("NAME:NAME;RTCM 3.0;...").
    Str2StrCaster(const std::string& program, std::uint16_t port,
                  const std::string& mountpoint = "CORV");
    ~Str2StrCaster();
    Str2StrCaster(const Str2StrCaster&) = delete;
    Str2StrCaster& operator=(const Str2StrCaster&) = delete;

    bool Running() const { return pid_ > 0; }
    // Waits until the caster accepts connections.
    bool WaitListening() const;
    bool Write(const char* data, std::size_t n);

private:
    std::uint16_t port_;
    pid_t pid_ = -1;
    int input_ = -1;
};

}  // namespace corvane::test

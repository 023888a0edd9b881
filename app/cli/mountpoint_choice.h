// The mountpoint choices of `corvane-cli run`:
//   NAME[@CASTER][:tcp][:tcp=OFF][:com=N][:out=LETTERS]
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

struct MountpointChoice {
    std::string name;
    int caster = 0;                       // 0 built-in, 1 manual
    std::optional<bool> relay;            // :tcp / :tcp=OFF
    std::optional<std::int8_t> comPort;   // :com=N
    std::optional<std::uint8_t> outputs;  // :out=BDR
};

// Parses one choice; on failure returns nothing and says why in `error`.
std::optional<MountpointChoice> ParseMountpointChoice(const std::string& text, std::string* error);

// The output flags of letters B, D, R (any order, any case); nothing when
// another letter occurs.
std::optional<std::uint8_t> OutputsFromLetters(const std::string& letters);

}  // namespace corvane

// Text from a caster made safe for a terminal: its control bytes shown as
// escapes, so that no escape sequence of the caster reaches the terminal.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// `text` with every byte below 0x20 and 0x7F written as "\xNN".
std::string TerminalSafe(std::string_view text);

}  // namespace corvane

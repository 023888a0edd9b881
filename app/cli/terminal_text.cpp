#include "app/cli/terminal_text.h"

#include <cstdio>

namespace corvane {

std::string TerminalSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F) {
            out += c;
            continue;
        }
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02x", b);
        out += escape;
    }
    return out;
}

}  // namespace corvane

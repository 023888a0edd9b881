#include "app/cli/mountpoint_choice.h"

#include <cstdlib>

#include "net/mountpoint_entry.h"
#include "net/text_compare.h"

namespace corvane {
namespace {

bool ParseInt(const std::string& text, int lo, int hi, int* out) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const int v = std::atoi(text.c_str());
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    return a.size() == std::char_traits<char>::length(b) && StartsWithNoCase(a, b);
}

}  // namespace

std::optional<std::uint8_t> OutputsFromLetters(const std::string& letters) {
    std::uint8_t outputs = 0;
    for (char c : letters) {
        switch (UpperAscii(c)) {
            case 'B':
                outputs |= kOutputRaw;
                break;
            case 'D':
                outputs |= kOutputText;
                break;
            case 'R':
                outputs |= kOutputRinex;
                break;
            default:
                return std::nullopt;
        }
    }
    return outputs;
}

std::optional<MountpointChoice> ParseMountpointChoice(const std::string& text, std::string* error) {
    MountpointChoice choice;
    std::size_t colon = text.find(':');
    std::string head = text.substr(0, colon);
    const std::size_t at = head.rfind('@');
    if (at != std::string::npos) {
        int caster = 0;
        if (!ParseInt(head.substr(at + 1), 0, 1, &caster)) {
            *error = "caster must be @0 or @1 in '" + text + "'";
            return std::nullopt;
        }
        choice.caster = caster;
        head.resize(at);
    }
    if (head.empty() || head.size() > 31) {
        *error = "mountpoint name must have 1 to 31 characters in '" + text + "'";
        return std::nullopt;
    }
    choice.name = head;

    while (colon != std::string::npos) {
        const std::size_t next = text.find(':', colon + 1);
        const std::string option = text.substr(colon + 1, next - colon - 1);
        const std::size_t eq = option.find('=');
        const std::string key = option.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : option.substr(eq + 1);
        int number = 0;
        if (EqualsNoCase(option, "tcp")) {
            choice.relay = true;
        } else if (EqualsNoCase(key, "tcp") && EqualsNoCase(value, "off")) {
            choice.relay = false;
        } else if (EqualsNoCase(key, "com") && eq != std::string::npos &&
                   ParseInt(value, 0, 31, &number)) {
            choice.comPort = static_cast<std::int8_t>(number);
        } else if (EqualsNoCase(key, "out") && eq != std::string::npos &&
                   OutputsFromLetters(value)) {
            choice.outputs = *OutputsFromLetters(value);
        } else {
            *error = "unknown option ':" + option + "' in '" + text +
                     "' (expected :tcp, :tcp=OFF, :com=N with N 0-31, :out=LETTERS of B, D, R)";
            return std::nullopt;
        }
        colon = next;
    }
    return choice;
}

}  // namespace corvane

// Case-insensitive comparison of ASCII letters, as the protocol texts need.
#pragma once

#include <string_view>

namespace corvane {

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// True when `text` begins with `prefix`, ASCII letters compared without case.
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (UpperAscii(text[i]) != UpperAscii(prefix[i])) return false;
    return true;
}

// Reads a decimal number as far as it parses, after leading blanks; 0 when
// nothing parses. Independent of the process locale.
double ParseLeadingNumber(std::string_view text);

}  // namespace corvane

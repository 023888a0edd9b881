#include "net/file_name_part.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace corvane {

namespace {

bool Forbidden(unsigned char c) {
    constexpr std::string_view kReserved = "/\\:*?\"<>|";
    return c < 0x20 || c == 0x7F || kReserved.find(static_cast<char>(c)) != std::string_view::npos;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

bool DeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view d : kPlain)
        if (EqualsIgnoringCase(stem, d)) return true;
    return stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
           (EqualsIgnoringCase(stem.substr(0, 3), "COM") ||
            EqualsIgnoringCase(stem.substr(0, 3), "LPT"));
}

}  // namespace

std::string FileNamePart(std::string_view name) {
    if (!name.empty() && name.find_first_not_of('.') == std::string_view::npos) return "_";
    std::string part(name);
    for (char& c : part)
        if (Forbidden(static_cast<unsigned char>(c))) c = '_';
    if (DeviceName(part)) part.insert(part.begin(), '_');
    return part;
}

}  // namespace corvane

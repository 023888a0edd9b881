#include "net/text_compare.h"

#include <charconv>

namespace corvane {

double ParseLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                           std::chars_format::general);
    (void)ptr;
    return ec == std::errc() ? value : 0.0;
}

}  // namespace corvane

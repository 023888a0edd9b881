#include "ui/table_rows.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/text_encoding.h"

namespace corvane {

std::u16string CellText(const char* format, ...) {
    char buffer[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n <= 0) return {};
    const std::size_t length =
        std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1);
    return std::u16string(buffer, buffer + length);
}

std::u16string FixedOrZero(const char* format, double value) {
    return value == 0.0 ? std::u16string(u"0") : CellText(format, value);
}

std::u16string NarrowCell(const char* text, std::size_t size) {
    const std::size_t length = strnlen(text, size);
    return platform::NarrowToWide(std::string_view(text, length));
}

}  // namespace corvane

#include "tests/rtcm/printf_text.h"

#include <cstdarg>
#include <cstdio>

namespace corvane::test {

void PrintText(platform::OutputFile& file, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n <= 0) return;
    file.Write(text,
               n < static_cast<int>(sizeof text) ? static_cast<std::size_t>(n) : sizeof text - 1);
}

}  // namespace corvane::test

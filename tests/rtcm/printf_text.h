// printf-style writing of one piece of decoded text into a text file,
// formatted in a buffer on the stack.
#pragma once

#include "platform/file.h"

namespace corvane::test {

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void PrintText(platform::OutputFile& file, const char* format, ...);

}  // namespace corvane::test

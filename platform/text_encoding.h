// Conversion between wide text (UTF-16, as the user interface and the
// settings hold it) and narrow text in the system code page (UTF-8 on Linux,
// the ANSI code page on Windows), which is what goes on the wire, into file
// names and into files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::platform {

std::string WideToNarrow(std::u16string_view wide);
std::u16string NarrowToWide(std::string_view narrow);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a multi-byte character of the system code page.
std::string_view CutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// Copies `text` into a fixed character array of `size` bytes, cut on a
// character boundary so that the terminating NUL fits; the rest is zeroed.
void CopyToFixed(char* dest, std::size_t size, std::string_view text);

}  // namespace corvane::platform

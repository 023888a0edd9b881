// Rows of the decoded-message table as wide texts, one text per column, and
// the formatting of a cell.
#pragma once

#include <string>
#include <vector>

namespace corvane {

using TableRow = std::vector<std::u16string>;
using TableRows = std::vector<TableRow>;

// printf into wide text; the format and what it produces are ASCII.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::u16string
CellText(const char* format, ...);

// "%.Nf" of a value, or "0" when it is exactly 0.0.
std::u16string FixedOrZero(const char* format, double value);

// Text of a fixed character array of `size` bytes in the system code page,
// up to its first NUL.
std::u16string NarrowCell(const char* text, std::size_t size);

}  // namespace corvane

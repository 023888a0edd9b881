// printf's "%.Nf" and "%.Ne" for the decoded-text log, without printf's
// cost: the same correctly rounded digits (ties to even on the exact binary
// value), the same "-" on negative values and negative zero, the same
// two-digit minimum exponent.
#pragma once

#include <algorithm>

namespace corvane {

// Room that one number may need: the width, or the sign, 309 integer digits
// of the largest double, the point and the decimals ("%.Nf"); "%.Ne" needs
// far less.
constexpr int MaxFixedLength(int width, int precision) { return std::max(width, 311 + precision); }
constexpr int MaxScientificLength(int width, int precision) {
    return std::max(width, 8 + precision);
}

// Write `value` as printf's "%{width}.{precision}f" or "%{width}.{precision}e"
// would (right-aligned, no terminator) at `out` and return the end of the
// text. `out` must have the room the functions above give; characters
// beyond the text may be overwritten within it. `precision` is 0 to 17; infinities and NaNs read "inf", "-inf",
// "nan", "-nan".
char* FormatFixed(char* out, double value, int width, int precision);
char* FormatScientific(char* out, double value, int width, int precision);

}  // namespace corvane

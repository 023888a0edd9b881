// The fixed-width number field of RINEX 2.11 navigation records.
#pragma once

namespace corvane {

constexpr int kRinexNumberWidth = 19;

// Writes `value` as exactly 19 characters, no terminator: a blank or "-", one
// digit, ".", twelve digits, "D", the exponent's sign and two exponent digits,
// e.g. " 1.234500000000D+03". A zero of either sign is written unsigned.
void FormatRinexNumber(double value, char* out);

}  // namespace corvane

// The 14-character observation value of RINEX observation records: the
// text printf's "%14.3f" gives, written without printf's cost.
#pragma once

namespace corvane {

constexpr int kObservationValueWidth = 14;

// Writes `value` as "%14.3f" does (right-aligned, three decimals, rounded
// from the exact binary value, ties to even) into exactly 14 characters, no
// terminator. Returns false, writing nothing, for a value that would need
// more than 14 characters or is not finite.
bool FormatObservationValue(double value, char* out);

}  // namespace corvane

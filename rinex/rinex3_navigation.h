// RINEX 3.04 mixed navigation files: the header, and the records of the
// 2.11 composers laid out as version 3 writes them (satellite with its
// system letter, four-digit year, continuation lines indented by four).
#pragma once

#include <cstdint>

namespace corvane {

// Largest record: eight lines of 80 characters and their line ends.
constexpr int kNavigationRecord3Size = 8 * 81 + 16;

// The header of a mixed navigation file whose first epoch is `epochTime`.
int ComposeNavigationHeader3(std::int32_t leapSeconds, std::int64_t epochTime, char* out);

// Rewrites the 2.11 record `text` (`length` bytes) of a satellite of
// `system` ('G', 'R', 'E', 'J', 'C') into `out` (kNavigationRecord3Size
// bytes); returns the new length, 0 for a record it does not recognise.
int ToRinex3Record(char system, const char* text, int length, char* out);

}  // namespace corvane

// The UDRE bounds of RTCM 2 types 41 and 42 (metres): one row per station
// health 0 to 5, sixteen values per row (the last is 0.0).
#pragma once

namespace corvane {

inline constexpr int kUdreHealthRows = 6;
extern const double kUdreBounds[kUdreHealthRows][16];

}  // namespace corvane

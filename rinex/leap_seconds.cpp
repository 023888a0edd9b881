#include "rinex/leap_seconds.h"

#include <iterator>

namespace corvane {
namespace {

struct LeapSecond {
    std::int64_t utc;  // seconds since 1970 (UTC) of the first second with `offset`
    std::int32_t offset;
};

// The days after each inserted leap second, 00:00:00 UTC.
constexpr LeapSecond kLeapSeconds[] = {
    {362793600, 1},    // 1981-07-01
    {394329600, 2},    // 1982-07-01
    {425865600, 3},    // 1983-07-01
    {489024000, 4},    // 1985-07-01
    {567993600, 5},    // 1988-01-01
    {631152000, 6},    // 1990-01-01
    {662688000, 7},    // 1991-01-01
    {709948800, 8},    // 1992-07-01
    {741484800, 9},    // 1993-07-01
    {773020800, 10},   // 1994-07-01
    {820454400, 11},   // 1996-01-01
    {867715200, 12},   // 1997-07-01
    {915148800, 13},   // 1999-01-01
    {1136073600, 14},  // 2006-01-01
    {1230768000, 15},  // 2009-01-01
    {1341100800, 16},  // 2012-07-01
    {1435708800, 17},  // 2015-07-01
    {1483228800, 18},  // 2017-01-01
};

}  // namespace

std::int32_t LeapSecondsAt(std::int64_t gpsTime) {
    // On the GPS scale, the new offset starts `offset` seconds after the
    // UTC midnight.
    for (auto it = std::rbegin(kLeapSeconds); it != std::rend(kLeapSeconds); ++it)
        if (gpsTime >= it->utc + it->offset) return it->offset;
    return 0;
}

}  // namespace corvane

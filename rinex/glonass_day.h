// The GLONASS day of a time of day: GLONASS observations and ephemerides
// carry only seconds of the GLONASS day (UTC + 3 h), which the converter's
// clock places in a day.
#pragma once

#include <cstdint>

namespace corvane {

// Seconds since the GPS epoch (GPS scale) of `secondOfDay` on the GLONASS
// clock, in the GLONASS day that the clock (`gpsWeek`, `gpsSecond`,
// `leapSeconds`) is in, or in the next or previous one when the time of day
// and the clock lie within four hours on either side of midnight.
inline std::int64_t GlonassDayTime(std::int32_t gpsWeek, std::int32_t gpsSecond,
                                   std::int32_t leapSeconds, std::int64_t secondOfDay) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    constexpr std::int64_t kGlonassOffset = 10800;
    std::int64_t t = static_cast<std::int64_t>(gpsWeek) * 604800 + gpsSecond + kGlonassOffset;
    // The clock's time of day on the GLONASS clock.
    const std::int64_t d = t % kSecondsPerDay - leapSeconds;
    if (secondOfDay < 14400 && d > 72000) {
        t += kSecondsPerDay;
    } else if (secondOfDay > 72000 && d < 14400) {
        t -= kSecondsPerDay;
    }
    return t + secondOfDay - d - kGlonassOffset;
}

}  // namespace corvane

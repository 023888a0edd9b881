// The converter's clock: the GPS time of the stream as far as its messages
// have told it, and GPS − UTC.
#pragma once

#include <cstdint>

#include "rinex/leap_seconds.h"

namespace corvane {

struct ConverterClock {
    std::int32_t gpsWeek = 0;
    std::int32_t gpsSecond = 0;     // whole seconds of the week
    std::int32_t leapSeconds = 18;  // GPS − UTC
    bool leapFromMessage = false;   // a 1013 gave leapSeconds; the date no longer does

    // Seconds since 1970 on the GPS scale.
    std::int64_t Time() const { return std::int64_t{gpsWeek} * 604800 + gpsSecond + 315964800; }
    // Moves the clock; until a 1013 has given GPS − UTC, it follows the date.
    void Set(std::int32_t week, std::int32_t second) {
        gpsWeek = week;
        gpsSecond = second;
        if (!leapFromMessage) leapSeconds = LeapSecondsAt(Time());
    }
};

}  // namespace corvane

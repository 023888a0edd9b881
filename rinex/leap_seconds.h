// GPS − UTC by date: the leap seconds inserted since the GPS epoch, for
// streams that do not send it (message 1013).
#pragma once

#include <cstdint>

namespace corvane {

// GPS − UTC in seconds at `gpsTime`, seconds since 1970-01-01 counted on the
// GPS time scale: 0 from 1980-01-06, 18 from 2017-01-01 on. Times before
// the GPS epoch give 0.
std::int32_t LeapSecondsAt(std::int64_t gpsTime);

}  // namespace corvane

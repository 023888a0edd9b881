// GPS − UTC by date, and the converter's clock taking it from a 1013.
#include "rinex/leap_seconds.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "rinex/converter_clock.h"

namespace corvane {
namespace {

TEST(LeapSeconds, ByDateOnTheGpsScale) {
    struct Case {
        platform::CalendarTime gps;
        std::int32_t expected;
    };
    const Case cases[] = {
        {{1980, 1, 6, 0, 0, 0}, 0},   {{1981, 7, 1, 0, 0, 0}, 0},
        {{1981, 7, 1, 0, 0, 1}, 1},   {{2006, 1, 1, 0, 0, 13}, 13},
        {{2006, 1, 1, 0, 0, 14}, 14}, {{2009, 12, 18, 23, 0, 0}, 15},
        {{2011, 1, 15, 2, 0, 0}, 15}, {{2016, 12, 31, 23, 59, 59}, 17},
        {{2017, 1, 1, 0, 0, 17}, 17}, {{2017, 1, 1, 0, 0, 18}, 18},
        {{2040, 1, 1, 0, 0, 0}, 18},  {{1975, 1, 1, 0, 0, 0}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeapSecondsAt(platform::FromUtc(c.gps)), c.expected)
            << c.gps.year << "-" << c.gps.month << "-" << c.gps.day << " " << c.gps.second;
}

TEST(LeapSeconds, ClockFollowsTheDateUntilA1013GivesIt) {
    ConverterClock clock;
    clock.Set(1563, 0);  // 2009-12-20
    EXPECT_EQ(clock.leapSeconds, 15);
    clock.Set(2400, 0);
    EXPECT_EQ(clock.leapSeconds, 18);
    clock.leapFromMessage = true;
    clock.leapSeconds = 17;
    clock.Set(1563, 0);
    EXPECT_EQ(clock.leapSeconds, 17);
}

}  // namespace
}  // namespace corvane

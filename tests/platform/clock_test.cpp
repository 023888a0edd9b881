#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock.h"

namespace corvane::platform {
namespace {

TEST(Clock, UtcBreakdownAcrossEpochsAndLeapDays) {
    CalendarTime c = UtcTime(0);
    EXPECT_EQ(c.year, 1970);
    EXPECT_EQ(c.weekday, 4);
    c = UtcTime(315964800);  // GPS time origin
    EXPECT_EQ(c.year, 1980);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 6);
    EXPECT_EQ(c.weekday, 0);
    c = UtcTime(951782400);  // 2000-02-29
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.day, 29);
    EXPECT_EQ(c.yearDay, 59);
    c = UtcTime(1767225599);  // 2025-12-31 23:59:59
    EXPECT_EQ(c.year, 2025);
    EXPECT_EQ(c.hour, 23);
    EXPECT_EQ(c.second, 59);
    EXPECT_EQ(c.yearDay, 364);
    for (std::int64_t t : {std::int64_t{0}, std::int64_t{951782400}, std::int64_t{1767225599},
                           std::int64_t{4102444800}})
        EXPECT_EQ(FromUtc(UtcTime(t)), t);
}

TEST(Clock, LocalTimeFollowsTimeZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "Asia/Seoul", 1);
    ReloadTimeZone();
    CalendarTime c = LocalTime(1767225600);  // 2026-01-01 00:00:00 UTC
    EXPECT_EQ(c.hour, 9);
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S", c), "2026-01-01 09:00:00");
    EXPECT_EQ(FromLocal(c), 1767225600);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    ReloadTimeZone();
}

TEST(Clock, InjectedClockReplacesSystemClock) {
    ManualClock manual(1000, 5);
    SetClock(&manual);
    EXPECT_EQ(Now(), 1000);
    manual.Advance(2);
    EXPECT_EQ(Now(), 1002);
    EXPECT_EQ(TickMs(), 2005u);
    SetClock(nullptr);
    EXPECT_GT(Now(), 1700000000);
}

}  // namespace
}  // namespace corvane::platform

#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

#include "platform/clock_system.h"

namespace corvane::platform {
namespace {

class SystemClock : public Clock {
public:
    std::int64_t Now() override {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::uint64_t TickMs() override {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
};

SystemClock systemClock;
std::atomic<Clock*> current{&systemClock};

CalendarTime FromTm(const std::tm& tm) {
    CalendarTime c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    c.second = tm.tm_sec;
    c.weekday = tm.tm_wday;
    c.yearDay = tm.tm_yday;
    return c;
}

std::tm ToTm(const CalendarTime& c) {
    std::tm tm{};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    tm.tm_wday = c.weekday;
    tm.tm_yday = c.yearDay;
    tm.tm_isdst = -1;
    return tm;
}

// Days from 1970-01-01 to a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

Clock& CurrentClock() { return *current.load(std::memory_order_acquire); }

void SetClock(Clock* clock) {
    current.store(clock ? clock : &systemClock, std::memory_order_release);
}

ManualClock::ManualClock(std::int64_t now, std::uint64_t tick) : now_(now), tick_(tick) {}

std::int64_t ManualClock::Now() {
    std::lock_guard lock(mutex_);
    return now_;
}
std::uint64_t ManualClock::TickMs() {
    std::lock_guard lock(mutex_);
    return tick_;
}
void ManualClock::Set(std::int64_t now) {
    std::lock_guard lock(mutex_);
    now_ = now;
}
void ManualClock::Advance(std::int64_t seconds) {
    std::lock_guard lock(mutex_);
    now_ += seconds;
    tick_ += static_cast<std::uint64_t>(seconds) * 1000;
}
void ManualClock::SetTick(std::uint64_t tick) {
    std::lock_guard lock(mutex_);
    tick_ = tick;
}

CalendarTime LocalTime(std::int64_t t) {
    std::tm tm{};
    if (!SystemLocalTime(t, &tm)) return UtcTime(t);
    return FromTm(tm);
}

CalendarTime UtcTime(std::int64_t t) {
    // Computed here rather than by the runtime, so that any 64-bit time works.
    std::int64_t days = t / 86400;
    std::int64_t secs = t % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    // Civil date from days since 1970 (Howard Hinnant's algorithm).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);

    CalendarTime c;
    c.year = static_cast<int>(y);
    c.month = static_cast<int>(m);
    c.day = static_cast<int>(d);
    c.hour = static_cast<int>(secs / 3600);
    c.minute = static_cast<int>(secs / 60 % 60);
    c.second = static_cast<int>(secs % 60);
    c.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    c.yearDay = static_cast<int>(days - DaysFromCivil(y, 1, 1));
    return c;
}

std::int64_t FromUtc(const CalendarTime& c) {
    // Normalise the month first so that day and time may run over.
    std::int64_t y = c.year;
    std::int64_t m0 = c.month - 1;
    y += m0 >= 0 ? m0 / 12 : (m0 - 11) / 12;
    m0 = ((m0 % 12) + 12) % 12;
    const std::int64_t days = DaysFromCivil(y, static_cast<unsigned>(m0 + 1), 1) + (c.day - 1);
    return days * 86400 + std::int64_t{c.hour} * 3600 + std::int64_t{c.minute} * 60 + c.second;
}

std::int64_t FromLocal(const CalendarTime& c) {
    std::tm tm = ToTm(c);
    return SystemMakeLocal(&tm);
}

std::size_t FormatTimeInto(char* out, std::size_t size, const char* format, const CalendarTime& c) {
    if (size == 0) return 0;
    std::tm tm = ToTm(c);
    const std::size_t n = std::strftime(out, size, format, &tm);
    out[n] = '\0';
    return n;
}

std::string FormatTime(const char* format, const CalendarTime& c) {
    char out[256];
    return std::string(out, FormatTimeInto(out, sizeof out, format, c));
}

void ReloadTimeZone() { SystemReloadTimeZone(); }

}  // namespace corvane::platform

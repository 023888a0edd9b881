// Wall clock, millisecond tick count and calendar breakdown. The clock can be
// replaced process-wide, so that tests can set the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace corvane::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t Now() = 0;
    // Milliseconds from an arbitrary start, never going back.
    virtual std::uint64_t TickMs() = 0;
};

// The clock in use: the system clock unless a test installed another.
Clock& CurrentClock();
// Installs a clock for the whole process; nullptr restores the system clock.
// Install before starting threads that read the clock.
void SetClock(Clock* clock);

inline std::int64_t Now() { return CurrentClock().Now(); }
inline std::uint64_t TickMs() { return CurrentClock().TickMs(); }

// A clock that only moves when told to. Thread-safe.
class ManualClock : public Clock {
public:
    explicit ManualClock(std::int64_t now = 0, std::uint64_t tick = 0);
    std::int64_t Now() override;
    std::uint64_t TickMs() override;
    void Set(std::int64_t now);
    void Advance(std::int64_t seconds);
    void SetTick(std::uint64_t tick);

private:
    std::mutex mutex_;
    std::int64_t now_;
    std::uint64_t tick_;
};

struct CalendarTime {
    int year = 1970;  // four digits
    int month = 1;    // 1 to 12
    int day = 1;      // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 Sunday
    int yearDay = 0;  // 0 to 365
};

// Breakdown in the computer's time zone, and in UTC.
CalendarTime LocalTime(std::int64_t t);
CalendarTime UtcTime(std::int64_t t);
// Seconds since 1970 of a UTC breakdown (fields out of range are normalised).
std::int64_t FromUtc(const CalendarTime& c);
// Seconds since 1970 of a local-time breakdown; -1 when it does not exist.
std::int64_t FromLocal(const CalendarTime& c);
// strftime-style formatting of a breakdown.
std::string FormatTime(const char* format, const CalendarTime& c);
// The same into a caller's buffer (NUL-terminated); returns the length.
std::size_t FormatTimeInto(char* out, std::size_t size, const char* format, const CalendarTime& c);

// Re-reads the time zone after the TZ environment variable changed (tests).
void ReloadTimeZone();

}  // namespace corvane::platform

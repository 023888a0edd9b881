#include "rinex/rinex3_navigation.h"

#include <cstdio>
#include <cstring>

#include "net/rinex_header_source.h"
#include "platform/clock.h"

namespace corvane {

int ComposeNavigationHeader3(std::int32_t leapSeconds, std::int64_t epochTime, char* out) {
    const platform::CalendarTime c = platform::UtcTime(epochTime);
    const int n = std::snprintf(
        out, kRinexHeaderBufferSize,
        "%9.2f           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE\n"
        "%-40.20s%04d%02d%02d %02d%02d%02d UTC PGM / RUN BY / DATE\n"
        "%6d%54sLEAP SECONDS\n"
        "%60sEND OF HEADER\n",
        3.04, "rtcm2rinex", c.year, c.month, c.day, c.hour, c.minute, c.second, leapSeconds, "",
        "");
    return n > 0 && n < static_cast<int>(kRinexHeaderBufferSize) ? n : 0;
}

int ToRinex3Record(char system, const char* text, int length, char* out) {
    // "PP YY MM DD HH MM SS.S" and the numbers after it.
    constexpr int kEpoch2 = 22;
    if (length < kEpoch2 + 1) return 0;
    int number, yy, month, day, hour, minute;
    double second;
    char head[kEpoch2 + 1];
    std::memcpy(head, text, kEpoch2);
    head[kEpoch2] = '\0';
    if (std::sscanf(head, "%d %d %d %d %d %d %lf", &number, &yy, &month, &day, &hour, &minute,
                    &second) != 7)
        return 0;
    const int year = yy < 80 ? 2000 + yy : 1900 + yy;
    int at = std::snprintf(out, 32, "%c%02d %04d %02d %02d %02d %02d %02d", system, number % 100,
                           year % 10000, month % 100, day % 100, hour % 100, minute % 100,
                           static_cast<int>(second) % 100);
    for (int i = kEpoch2; i < length && at < kNavigationRecord3Size - 1; ++i) {
        out[at++] = text[i];
        // Continuation lines start with four blanks instead of three.
        if (text[i] == '\n' && i + 1 < length && at < kNavigationRecord3Size - 1) out[at++] = ' ';
    }
    return at;
}

}  // namespace corvane

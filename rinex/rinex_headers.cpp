#include "rinex/rinex_headers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace corvane {
namespace {

class HeaderText {
public:
    explicit HeaderText(char* out) : out_(out) {}

    template <typename... Args>
    void Line(const char* format, Args... args) {
        const std::size_t room = kRinexHeaderSize - static_cast<std::size_t>(length_);
        const int n = std::snprintf(out_ + length_, room, format, args...);
        if (n > 0) length_ += std::min(n, static_cast<int>(room) - 1);
    }
    // Line 2, the program and the date of the data.
    void RunBy(const platform::CalendarTime& c) {
        Line("%-40.20s%04d%02d%02d %02d%02d%02d UTC PGM / RUN BY / DATE\n", "rtcm2rinex", c.year,
             c.month, c.day, c.hour, c.minute, c.second);
    }
    void Closing(std::int32_t leapSeconds) {
        Line("%6d%54sLEAP SECONDS\n", leapSeconds, "");
        Line("%60sEND OF HEADER\n", "");
    }
    int Length() const { return length_; }

private:
    char* out_;
    int length_ = 0;
};

}  // namespace

int ComposeObservationHeader(const char* markerName, const StationInfo& s, int typeCount,
                             const char* typeText, std::int32_t leapSeconds, std::int64_t epochTime,
                             char* out) {
    const platform::CalendarTime c = platform::UtcTime(epochTime);
    HeaderText h(out);
    h.Line("%9.2f           OBSERVATION DATA    M (MIXED)           RINEX VERSION / TYPE\n", 2.11);
    h.RunBy(c);
    h.Line("%-60.4sMARKER NAME\n", markerName);
    h.Line("%-60.20sOBSERVER / AGENCY\n", "Quorvel Field Suite");
    h.Line("%-20.20s%-20.20s%-20.20sREC # / TYPE / VERS\n", s.receiverSerial, s.receiverType,
           s.receiverFirmware);
    h.Line("%-20.20s%-40.40sANT # / TYPE\n", s.antennaSerial, s.antennaDescriptor);
    h.Line("%14.4f%14.4f%14.4f                  APPROX POSITION XYZ\n",
           static_cast<double>(s.x) / 10000, static_cast<double>(s.y) / 10000,
           static_cast<double>(s.z) / 10000);
    h.Line("%14.4f        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n",
           static_cast<double>(s.antennaHeight) / 10000);
    h.Line("     1     1%48sWAVELENGTH FACT L1/2\n", "");
    if (typeCount > 0) {
        const std::size_t textLength = std::strlen(typeText);
        h.Line("%6d%-54.54s# / TYPES OF OBSERV\n", typeCount, typeText);
        if (typeCount > 9 && textLength > 54)
            h.Line("      %-54.54s# / TYPES OF OBSERV\n", typeText + 54);
        if (typeCount > 18 && textLength > 108)
            h.Line("      %-54.54s# / TYPES OF OBSERV\n", typeText + 108);
    }
    h.Line("     1.0000%49sINTERVAL\n", "");
    h.Line(
        "  %04d    %02d    %02d    %02d    %02d   %02d.0000000     GPS         TIME OF FIRST OBS\n",
        c.year, c.month, c.day, c.hour, c.minute, c.second);
    h.Closing(leapSeconds);
    return h.Length();
}

int ComposeNavigationHeader(int kind, std::int32_t leapSeconds, std::int64_t epochTime, char* out) {
    HeaderText h(out);
    if (kind == 1) {
        h.Line("%9.2f           N: GPS NAV DATA                         RINEX VERSION / TYPE\n",
               2.11);
    } else {
        h.Line("%9.2f           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n",
               2.11);
    }
    h.RunBy(platform::UtcTime(epochTime));
    h.Closing(leapSeconds);
    return h.Length();
}

}  // namespace corvane

#include "rinex/rinex_headers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace corvane {
namespace {

// Formats one line (its format ends with "\n") into `out` of `size` bytes
// and pads it with blanks to 80 columns before the line end.
template <typename... Args>
int FormatHeaderLine(char* out, std::size_t size, const char* format, Args... args) {
    char line[160];
    int n = std::snprintf(line, sizeof line, format, args...);
    if (n <= 0) return 0;
    n = std::min(n, static_cast<int>(sizeof line) - 1);
    if (line[n - 1] == '\n') --n;
    const int width = std::max(n, kHeaderLineWidth);
    if (static_cast<std::size_t>(width) + 2 > size) return 0;
    std::memcpy(out, line, static_cast<std::size_t>(n));
    std::memset(out + n, ' ', static_cast<std::size_t>(width - n));
    out[width] = '\n';
    out[width + 1] = '\0';
    return width + 1;
}

class HeaderText {
public:
    explicit HeaderText(char* out) : out_(out) {}

    template <typename... Args>
    void Line(const char* format, Args... args) {
        const std::size_t room = kRinexHeaderSize - static_cast<std::size_t>(length_);
        length_ += FormatHeaderLine(out_ + length_, room, format, args...);
    }
    void Text(int n) { length_ += n; }
    char* End() { return out_ + length_; }
    // Line 2, the program and the computer's UTC time of the file's creation.
    void RunBy(std::int64_t created) {
        const platform::CalendarTime c = platform::UtcTime(created);
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

// A 32-byte text field as a RINEX text.
struct Printable {
    explicit Printable(const char* text) { CopyRinexText(text_, sizeof text_, text); }
    const char* c_str() const { return text_; }
    char text_[32];
};

}  // namespace

void CopyRinexText(char* out, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t i = 0;
    for (; i + 1 < size && text[i] != '\0'; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        out[i] = byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : ' ';
    }
    out[i] = '\0';
}

int ComposeMarkerNameLine(const char* markerName, char* out) {
    return FormatHeaderLine(out, kHeaderLineSize, "%-60.4sMARKER NAME\n",
                            Printable(markerName).c_str());
}

int ComposePositionLine(const StationInfo& s, char* out) {
    return FormatHeaderLine(out, kHeaderLineSize,
                            "%14.4f%14.4f%14.4f                  APPROX POSITION XYZ\n",
                            static_cast<double>(s.x) / 10000, static_cast<double>(s.y) / 10000,
                            static_cast<double>(s.z) / 10000);
}

int ComposeObservationHeader(const char* markerName, const StationInfo& s, int typeCount,
                             const char* typeText, std::int32_t leapSeconds,
                             const HeaderTimes& times, char* out) {
    const platform::CalendarTime c = platform::UtcTime(times.first);
    HeaderText h(out);
    h.Line("%9.2f           OBSERVATION DATA    M (MIXED)           RINEX VERSION / TYPE\n", 2.11);
    h.RunBy(times.created);
    h.Text(ComposeMarkerNameLine(markerName, h.End()));
    h.Line("%-60.20sOBSERVER / AGENCY\n", "Quorvel Field Suite");
    h.Line("%-20.20s%-20.20s%-20.20sREC # / TYPE / VERS\n", Printable(s.receiverSerial).c_str(),
           Printable(s.receiverType).c_str(), Printable(s.receiverFirmware).c_str());
    h.Line("%-20.20s%-40.40sANT # / TYPE\n", Printable(s.antennaSerial).c_str(),
           Printable(s.antennaDescriptor).c_str());
    h.Text(ComposePositionLine(s, h.End()));
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
        "  %04d    %02d    %02d    %02d    %02d   %02d.%03d0000     GPS         TIME OF FIRST "
        "OBS\n",
        c.year, c.month, c.day, c.hour, c.minute, c.second, times.firstMillisecond);
    h.Closing(leapSeconds);
    return h.Length();
}

int ComposeNavigationHeader(int kind, std::int32_t leapSeconds, const HeaderTimes& times,
                            char* out) {
    HeaderText h(out);
    if (kind == 1) {
        h.Line("%9.2f           N: GPS NAV DATA                         RINEX VERSION / TYPE\n",
               2.11);
    } else {
        h.Line("%9.2f           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n",
               2.11);
    }
    h.RunBy(times.created);
    h.Closing(leapSeconds);
    return h.Length();
}

}  // namespace corvane

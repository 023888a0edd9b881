// The headers of the converter's three RINEX 2.11 files: observation, GPS
// navigation and GLONASS navigation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// What the station messages 1005 to 1008 and 1033 have told.
struct StationInfo {
    std::int64_t x = 0, y = 0, z = 0;  // ECEF, 0.0001 m
    std::uint64_t antennaHeight = 0;   // 0.0001 m
    char antennaDescriptor[32] = {};
    char antennaSerial[32] = {};
    char receiverType[32] = {};
    char receiverFirmware[32] = {};
    char receiverSerial[32] = {};
};

// Largest header: 16 lines of 80 characters and their line ends.
constexpr std::size_t kRinexHeaderSize = 16 * 81 + 1;

// Header lines are 80 columns: 60 of data, the label in the last 20.
constexpr int kHeaderLineWidth = 80;

// Copies `text` into `out` of `size` bytes, NUL-terminated, with every byte
// outside printable ASCII as a blank: texts from the stream or the user
// (descriptors, mountpoint names) can neither break a line nor bring bytes
// that RINEX files do not hold.
void CopyRinexText(char* out, std::size_t size, const char* text);

// The times a header shows.
struct HeaderTimes {
    std::int64_t first = 0;  // first epoch (or record) of the file, seconds since 1970, GPS scale
    int firstMillisecond = 0;
    std::int64_t created = 0;  // the computer's clock when the file is created, UTC
};

// The observation header. `typeText` holds `typeCount` types of 6
// characters; with none, the TYPES OF OBSERV lines are left out. Returns the
// length written into `out` (kRinexHeaderSize bytes).
int ComposeObservationHeader(const char* markerName, const StationInfo& station, int typeCount,
                             const char* typeText, std::int32_t leapSeconds,
                             const HeaderTimes& times, char* out);

// The GPS (kind 1) or GLONASS (kind 2) navigation header.
int ComposeNavigationHeader(int kind, std::int32_t leapSeconds, const HeaderTimes& times,
                            char* out);

// Size of a buffer for one header line and its line end.
constexpr std::size_t kHeaderLineSize = kHeaderLineWidth + 2;

// The MARKER NAME and APPROX POSITION XYZ lines on their own, as event
// records carry them; each returns the length written into `out`
// (kHeaderLineSize bytes).
int ComposeMarkerNameLine(const char* markerName, char* out);
int ComposePositionLine(const StationInfo& station, char* out);

}  // namespace corvane

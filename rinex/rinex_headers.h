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

// The observation header for the file of the first epoch at `epochTime`
// (seconds since 1970 on the GPS scale). `typeText` holds `typeCount` types
// of 6 characters; with none, the TYPES OF OBSERV lines are left out.
// Returns the length written into `out` (kRinexHeaderSize bytes).
int ComposeObservationHeader(const char* markerName, const StationInfo& station, int typeCount,
                             const char* typeText, std::int32_t leapSeconds, std::int64_t epochTime,
                             char* out);

// The GPS (kind 1) or GLONASS (kind 2) navigation header.
int ComposeNavigationHeader(int kind, std::int32_t leapSeconds, std::int64_t epochTime, char* out);

}  // namespace corvane

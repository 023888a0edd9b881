// One epoch of observations as the converter assembles it from the legacy
// RTCM 3 observation messages, laid out per satellite and signal slot.
#pragma once

#include <cstdint>
#include <cstring>

namespace corvane {

// As many satellites as the 2.11 epoch line can count (two digits): every GPS
// PRN, GLONASS slot and SBAS PRN (95) at once, and room for odd GPS IDs.
constexpr int kEpochSatellites = 99;
constexpr int kSignalSlots = 40;

// The value slots of a satellite. L1 and L2 each have a C/A-code and a
// P-code set of code (metres), phase (cycles), Doppler (Hz) and strength
// (dB-Hz); L5 has one. Doppler and L5 come from MSM only.
enum SignalSlot : int {
    kSlotC1 = 0,
    kSlotL1CA = 1,
    kSlotD1CA = 2,
    kSlotS1CA = 3,
    kSlotC2 = 4,
    kSlotL2CA = 5,
    kSlotD2CA = 6,
    kSlotS2CA = 7,
    kSlotP1 = 8,
    kSlotL1P = 9,
    kSlotD1P = 10,
    kSlotS1P = 11,
    kSlotP2 = 12,
    kSlotL2P = 13,
    kSlotD2P = 14,
    kSlotS2P = 15,
    kSlotC5 = 16,
    kSlotL5 = 17,
    kSlotD5 = 18,
    kSlotS5 = 19,
};

constexpr std::uint64_t SlotBit(int slot) { return std::uint64_t{1} << slot; }

// lockFlags bits.
constexpr std::int32_t kCrossCorrelatedL2 = 1;  // GPS L2 tracked as P(Y) cross-correlated/codeless
constexpr std::int32_t kLossOfLockL1 = 2;
constexpr std::int32_t kLossOfLockL2 = 4;
constexpr std::int32_t kLossOfLockL5 = 8;
constexpr std::int32_t kHalfCycleL1 = 16;  // phase with a half-cycle ambiguity (MSM)
constexpr std::int32_t kHalfCycleL2 = 32;
constexpr std::int32_t kHalfCycleL5 = 64;

// A value slot no type is written from: where a satellite's values came
// from in this epoch. A legacy message's values replace those of MSM for the
// same satellite.
constexpr int kSlotSource = 39;
// Another such slot: the L2 code indicator of a legacy GPS message (0 C/A,
// 1 P, 2 cross-correlated P(Y), 3 codeless P(Y)), which names the RINEX 3
// signal of the L2 values.
constexpr int kSlotL2Indicator = 38;
constexpr double kFromLegacy = 1;
constexpr double kFromMsm = 2;

// An epoch: its time and reference station, then per satellite its signal
// values and indicators.
struct EpochRecord {
    std::int32_t week = 0;          // 0: cleared
    std::int32_t milliseconds = 0;  // of the GPS week
    std::int32_t station = -1;      // reference station ID of its messages, -1 when cleared
    std::int32_t satelliteCount = 0;
    double values[kEpochSatellites][kSignalSlots] = {};
    std::uint64_t signalMask[kEpochSatellites] = {};
    std::int32_t lockFlags[kEpochSatellites] = {};
    // 1-32 GPS PRN, 38-61 GLONASS slot + 37, 0 and 33-37 other GPS-message
    // IDs, 120-158 SBAS PRN (GPS-message IDs 40-63 or MSM).
    std::int32_t satellites[kEpochSatellites] = {};
    std::int32_t strength1[kEpochSatellites] = {};  // digit 1-9, 0 when none
    std::int32_t strength2[kEpochSatellites] = {};

    // Zeroes the record. Rows at and beyond the satellite count are zero
    // already (they are only written when a satellite is appended), so only
    // the rows in use are cleared.
    void Clear() {
        const int n = satelliteCount;
        if (n > 0) {
            std::memset(values, 0, sizeof values[0] * static_cast<std::size_t>(n));
            std::memset(signalMask, 0, sizeof signalMask[0] * static_cast<std::size_t>(n));
            std::memset(lockFlags, 0, sizeof lockFlags[0] * static_cast<std::size_t>(n));
            std::memset(satellites, 0, sizeof satellites[0] * static_cast<std::size_t>(n));
            std::memset(strength1, 0, sizeof strength1[0] * static_cast<std::size_t>(n));
            std::memset(strength2, 0, sizeof strength2[0] * static_cast<std::size_t>(n));
        }
        week = 0;
        milliseconds = 0;
        station = -1;
        satelliteCount = 0;
    }

    // Makes this record equal to `other`, whose rows beyond its count are
    // zero, as are this record's.
    void CopyFrom(const EpochRecord& other) {
        Clear();
        const int n = other.satelliteCount;
        week = other.week;
        milliseconds = other.milliseconds;
        station = other.station;
        satelliteCount = n;
        if (n > 0) {
            const auto rows = static_cast<std::size_t>(n);
            std::memcpy(values, other.values, sizeof values[0] * rows);
            std::memcpy(signalMask, other.signalMask, sizeof signalMask[0] * rows);
            std::memcpy(lockFlags, other.lockFlags, sizeof lockFlags[0] * rows);
            std::memcpy(satellites, other.satellites, sizeof satellites[0] * rows);
            std::memcpy(strength1, other.strength1, sizeof strength1[0] * rows);
            std::memcpy(strength2, other.strength2, sizeof strength2[0] * rows);
        }
    }

    // Empties the values, masks, flags and strengths of satellite i; it
    // keeps its place and number.
    void ClearRow(int i) {
        std::memset(values[i], 0, sizeof values[i]);
        signalMask[i] = 0;
        lockFlags[i] = 0;
        strength1[i] = 0;
        strength2[i] = 0;
    }

    // Index of satellite `number`, appended when absent; -1 when the record
    // is full and the satellite is not in it.
    int IndexOf(std::int32_t number) {
        for (int i = 0; i < satelliteCount; ++i)
            if (satellites[i] == number) return i;
        if (satelliteCount >= kEpochSatellites) return -1;
        satellites[satelliteCount] = number;
        return satelliteCount++;
    }
};

}  // namespace corvane

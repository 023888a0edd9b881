// One Multiple Signal Message (MSM1 to MSM7 of any constellation) decoded
// into metres, metres per second and dB-Hz, cell by cell, for the converter.
// The display decoder keeps its own records; nothing is shared with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

enum MsmSystem : int { kMsmGps, kMsmGlonass, kMsmGalileo, kMsmSbas, kMsmQzss, kMsmBeidou };

constexpr int kMsmMaxCells = 64;

struct MsmSatellite {
    int id = 0;            // 1-based position in the satellite mask
    double roughRange = 0; // metres; 0: not valid
    double roughRate = 0;  // m/s (MSM5, MSM7; 0 when absent or invalid)
    int extended = -1;     // extended satellite information (MSM5, MSM7), -1: absent
};

struct MsmCell {
    int satellite = 0;  // index into MsmFrame::satellites
    int signal = 0;     // 1-based signal ID
    // Full values; NaN where the message has no valid value.
    double pseudorange;  // m
    double phaseRange;   // m
    double rangeRate;    // m/s
    double cnr;          // dB-Hz, 0: none
    int lockTime = 0;    // indicator as sent
    bool halfCycle = false;
    bool hasLock = false;  // MSM2 and up carry lock time and half-cycle flag
};

struct MsmFrame {
    int number = 0;
    int system = 0;  // MsmSystem
    int kind = 0;    // 1 to 7
    int station = 0;  // reference station ID
    std::uint32_t epochTime = 0;  // ms of week; GLONASS: day (3 bits) and ms of day (27 bits)
    bool multipleMessage = false;
    int satelliteCount = 0;
    MsmSatellite satellites[64];
    int cellCount = 0;
    MsmCell cells[kMsmMaxCells];
};

// True for 1071 to 1077, 1081 to 1087 ... 1121 to 1127.
constexpr bool IsMsmNumber(int number) {
    return number >= 1071 && number <= 1127 && number % 10 >= 1 && number % 10 <= 7;
}

// Decodes the message of `length` bytes (payload, starting with the message
// number). False for a message whose masks break the 64-cell limit or that
// is shorter than its masks announce.
bool DecodeMsmFrame(const std::uint8_t* payload, std::size_t length, MsmFrame* out);

// Carrier frequency (Hz) of a signal ID of a constellation; GLONASS FDMA
// signals need the frequency channel k (-7 to +13). 0: unknown signal.
double MsmSignalFrequency(int system, int signal, int glonassChannel);

}  // namespace corvane

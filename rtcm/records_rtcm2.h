// The records of the RTCM 2 decoder: the last message of every kind it
// understands, with scale factors and units applied.
#pragma once

#include <cstdint>

namespace corvane {

inline constexpr int kRtcm2MaxSats = 32;

struct Rec01Sat {
    std::int32_t sat;    // PRN 1 to 32 (the message's 0 stands for 32)
    std::int32_t scale;  // scale factor flag, 0 or 1
    std::int32_t udre;   // UDRE index 0 to 3
    std::int32_t iod;    // issue of data 0 to 255
    double prc;          // pseudorange correction, metres
    double rrc;          // range-rate correction, m/s
};

// Types 1 and 9: differential corrections.
struct Rec01 {
    double zCount;  // seconds: modified Z-count times 0.6
    Rec01Sat sats[kRtcm2MaxSats];
};

// Type 3: reference station position (ECEF, metres).
struct Rec03 {
    double x, y, z;
};

// Type 7: the first beacon of the radiobeacon almanac.
struct Rec07 {
    double latitude;     // degrees
    double longitude;    // degrees
    std::int32_t range;  // km
    double frequency;    // kHz
    std::int16_t health;
    std::int16_t stationId;
    std::int8_t bitRateCode;  // 0 to 7
    std::int8_t modulation;   // 0 MSK, 1 FSK
    std::int8_t syncType;     // 0 asynchronous, 1 synchronous
    std::int8_t coding;       // 0 none, 1 FEC
};

struct Rec18Sat {
    std::int32_t sat;  // PRN 1 to 32 (0 stands for 32), plus 200 for GLONASS
    std::uint8_t multipleMessage;
    std::uint8_t pCode;    // 0 C/A, 1 P
    std::uint8_t quality;  // 0 to 7
    double phase;          // cycles
    std::int32_t lossCount;
};

// Type 18: uncorrected carrier phases of one frequency.
struct Rec18 {
    double time;  // seconds of the hour
    Rec18Sat sats[kRtcm2MaxSats];
};

struct Rec19Sat {
    std::int32_t sat;
    std::uint8_t multipleMessage;
    std::uint8_t pCode;
    std::uint8_t quality;    // 0 to 15
    std::uint8_t multipath;  // 0 to 15
    double pseudorange;      // metres
};

// Type 19: uncorrected pseudoranges of one frequency.
struct Rec19 {
    double time;
    std::int32_t smoothing;  // smoothing interval index 0 to 3
    Rec19Sat sats[kRtcm2MaxSats];
};

struct Rec41Sat {
    std::int32_t sat;   // satellite ID plus the system's offset
    std::int32_t udre;  // 0 to 15
    std::int32_t iod;
    double prc;   // metres
    double iono;  // ionospheric delay field as a count; 0 when absent
};

// Types 41 and 42: multi-system corrections of one system.
struct Rec41 {
    std::int32_t systemId;  // 1 GPS, 2 GLONASS, 3 Galileo, 4 SBAS, 5 QZSS
    std::int32_t health;    // reference-station health 0 to 7
    Rec41Sat sats[kRtcm2MaxSats];
};

struct Rtcm2Records {
    Rec01 rec01;
    Rec03 rec03;
    Rec07 rec07;
    Rec01 rec09;
    Rec18 rec18[2];     // L1, L2
    Rec19 rec19[2];     // L1, L2
    Rec41 rec41[5];     // type 41, system IDs 1 to 5
    Rec41 rec42[5];     // type 42, system IDs 1 to 5
    double lastZCount;  // Z-count × 0.6 of the message stored last (for the text log)
};

}  // namespace corvane

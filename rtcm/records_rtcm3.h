// The decoded RTCM 3 messages: the last message of every kind the decoder
// understands, with scale factors and units applied.
#pragma once

#include <cstdint>

namespace corvane {

struct Rec1004Sat {
    std::int16_t sat;  // satellite ID; IDs of 40 and above plus 80 (SBAS)
    std::uint8_t l1Code;
    std::uint8_t l2Code;
    double l1Pseudorange;  // m, modulo one light-millisecond
    double l1Phase;        // m
    double l1Ambiguity;    // m
    double l1Cnr;          // dB-Hz
    double l2Diff;         // m, L2 minus L1 pseudorange
    double l2Phase;        // m
    double l2Cnr;          // dB-Hz
};

struct Rec1004 {
    std::int32_t satCount;  // 0 to 31
    Rec1004Sat sats[32];    // the first satCount belong to the last message
};

struct Rec1006 {
    double x, y, z;        // m, ECEF antenna reference point
    double antennaHeight;  // m
};

struct Rec1012Sat {
    std::int16_t sat;  // slot; IDs of 40 and above plus 80
    std::uint8_t l1Code;
    std::uint8_t l2Code;
    std::int32_t fcn;      // frequency channel as sent, 0 to 20
    double l1Pseudorange;  // m, modulo 599584.916 m
    double l1Phase;        // m
    double l1Ambiguity;    // m
    double l1Cnr;          // dB-Hz
    double l2Phase;        // m
    double l2Cnr;          // dB-Hz
};

struct Rec1012 {
    std::int32_t satCount;  // 0 to 24
    Rec1012Sat sats[24];
};

struct Rec1013 {
    std::int32_t mjd;
    std::int32_t secondsOfDay;  // UTC
    std::int32_t leapSeconds;   // GPS minus UTC
};

struct Rec1019 {
    std::int32_t week;  // 0: never filled
    std::int32_t accuracy;
    std::int32_t codeOnL2;
    double idot;  // rad/s
    std::int32_t iode;
    std::int32_t toc;  // s
    double af2;        // s/s²
    double af1;        // s/s
    double af0;        // s
    std::int32_t iodc;
    double crs;     // m
    double deltaN;  // rad/s
    double m0;      // rad
    double cuc;     // rad
    double e;
    double cus;        // rad
    double sqrtA;      // m^½
    std::int32_t toe;  // s
    double cic;        // rad
    double omega0;     // rad
    double cis;        // rad
    double i0;         // rad
    double crc;        // m
    double omega;      // rad
    double omegaDot;   // rad/s
    double tgd;        // s
    std::int32_t health;
};

struct Rec1020 {
    std::int32_t fcn;  // frequency channel number, -7 to +24
    std::uint8_t tkHours;
    std::uint8_t tkMinutes;
    std::uint8_t tkHalfMinute;
    std::int32_t tbMinutes;
    double xDot, x, xDDot;  // km/s, km, km/s²
    double yDot, y, yDDot;
    double zDot, z, zDDot;  // xDot 0.0: empty
    double gamma;
    double tau;        // s
    double deltaTau;   // s
    std::int32_t age;  // days
    double tauC;       // s
    double tauGps;     // s
};

struct Rec1033 {
    char antennaDescriptor[32];
    char antennaSerial[32];
    char receiverType[32];
    char receiverFirmware[32];
    char receiverSerial[32];
};

struct Msm4Cell {
    std::int32_t sat;  // satNumber
    char signal[4];    // three-character label and NUL
    std::int32_t roughMs;
    double roughModulo;      // ms
    double finePseudorange;  // ms
    double finePhase;        // ms
    std::int16_t lockTime;   // 0 to 15
    std::int16_t halfCycle;
    std::int32_t cnr;  // dB-Hz
};

struct Msm7Cell {
    std::int32_t sat;
    char signal[4];
    std::int32_t roughMs;
    double roughModulo;      // ms
    std::int32_t roughRate;  // m/s
    double finePseudorange;  // ms
    double finePhase;        // ms
    std::int16_t lockTime;   // 0 to 1023
    std::int16_t halfCycle;
    double cnr;            // dB-Hz
    double finePhaseRate;  // m/s
};

template <typename Cell>
struct RecMsm {
    std::int32_t cellCount;  // 0 to 64
    double epochTime;        // s
    Cell cells[64];
};
using RecMsm4 = RecMsm<Msm4Cell>;
using RecMsm7 = RecMsm<Msm7Cell>;

// Number of constellation indices of MSM messages (GPS, GLONASS, Galileo,
// SBAS, QZSS, BeiDou) and the satNumber offsets of each (0: none).
inline constexpr int kMsmSystems = 6;
inline constexpr int kMsmSatOffset[kMsmSystems] = {1, 41, 81, 0, 121, 161};
// Record slot of each constellation index, -1 for none.
inline constexpr int kMsm4Slot[kMsmSystems] = {0, 1, 2, -1, 3, 4};
inline constexpr int kMsm7Slot[kMsmSystems] = {0, 1, 2, -1, -1, 3};

struct Rtcm3Records {
    std::int32_t gpsWeek;    // from the last 1013; 0: none yet
    std::int32_t gpsSecond;  // seconds of the week
    Rec1004 rec1004;
    Rec1006 rec1006;
    Rec1012 rec1012;
    Rec1013 rec1013;
    std::int32_t lastGpsPrn;   // 1 to 32
    Rec1019 rec1019[32];       // PRN n at n - 1
    std::int32_t lastGloSlot;  // 1 to 24
    Rec1020 rec1020[24];       // slot n at n - 1
    Rec1033 rec1033;
    RecMsm4 msm4[5];  // GPS, GLONASS, Galileo, QZSS, BeiDou
    RecMsm7 msm7[4];  // GPS, GLONASS, Galileo, BeiDou

    // The MSM record of a constellation index, or null when there is none.
    RecMsm4* Msm4(int sysIndex) {
        return sysIndex >= 0 && sysIndex < kMsmSystems && kMsm4Slot[sysIndex] >= 0
                   ? &msm4[kMsm4Slot[sysIndex]]
                   : nullptr;
    }
    RecMsm7* Msm7(int sysIndex) {
        return sysIndex >= 0 && sysIndex < kMsmSystems && kMsm7Slot[sysIndex] >= 0
                   ? &msm7[kMsm7Slot[sysIndex]]
                   : nullptr;
    }
    const RecMsm4* Msm4(int sysIndex) const {
        return const_cast<Rtcm3Records*>(this)->Msm4(sysIndex);
    }
    const RecMsm7* Msm7(int sysIndex) const {
        return const_cast<Rtcm3Records*>(this)->Msm7(sysIndex);
    }
};

}  // namespace corvane

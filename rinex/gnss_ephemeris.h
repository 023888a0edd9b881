// Galileo (1045 F/NAV, 1046 I/NAV), BeiDou (1042) and QZSS (1044)
// ephemerides: their decoding from RTCM 3 and their RINEX 3.04 navigation
// records.
#pragma once

#include <cstdint>

#include "rinex/navigation_records.h"
#include "rtcm/bit_reader.h"

namespace corvane {

enum EphemerisKind : int { kGalileoFnav, kGalileoInav, kBeidou, kQzss, kEphemerisKinds };

constexpr int kEphemerisSatellites = 63;

struct GnssEphemeris {
    std::int32_t lastWrittenToc = kNothingWritten;  // per navigation file, as for GPS
    std::int32_t week = 0;  // Galileo: GPS-continuous week; BeiDou: BDT week; QZSS: GPS week
    std::int32_t toc = 0, toe = 0;  // seconds of the week
    std::int32_t iode = 0, iodc = 0;
    std::int32_t accuracy = 0;  // Galileo SISA index, BeiDou and QZSS URA index
    std::int32_t health = 0;
    std::int32_t dataSources = 0;  // Galileo
    std::int32_t codesOnL2 = 0, l2PFlag = 0, fitInterval = 0;  // QZSS
    double af0 = 0, af1 = 0, af2 = 0;
    double crs = 0, deltaN = 0, m0 = 0, cuc = 0, e = 0, cus = 0, sqrtA = 0, cic = 0;
    double omega0 = 0, cis = 0, i0 = 0, crc = 0, omega = 0, omegaDot = 0, idot = 0;
    double tgd1 = 0, tgd2 = 0;  // Galileo BGD E5a/E1, E5b/E1; BeiDou TGD1, TGD2; QZSS TGD
};

// Decodes message `number` (1042, 1044, 1045, 1046) whose cursor stands
// after the message number into its table (by satellite ID - 1). Returns
// whether an ephemeris new to the current navigation file was stored;
// `kind` and `index` then name it.
bool DecodeGnssEphemeris(BitCursor& in, int number, const ConverterClock& clock,
                         GnssEphemeris (&tables)[kEphemerisKinds][kEphemerisSatellites],
                         int* kind, int* index);

// Composes the RINEX 3.04 record of `eph` (satellite ID `id`) into `out`
// (kNavigationRecordSize + 16 bytes); returns its length.
int ComposeGnssRecord(const GnssEphemeris& eph, int kind, int id, char* out);

}  // namespace corvane

// GPS (1019) and GLONASS (1020) ephemerides: their decoding from an RTCM 3
// message and their RINEX 2.11 navigation records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rinex/converter_clock.h"
#include "rtcm/bit_reader.h"

namespace corvane {

// Held by lastWrittenToc / lastWrittenTb when nothing has been decoded for the
// current navigation file: no toc or tb takes this value, so an ephemeris of
// toc 0 or tb 0 is not taken for a repeat.
constexpr std::int32_t kNothingWritten = -1;

constexpr int kGpsSatellites = 32;
constexpr int kGlonassSlots = 24;

struct GpsEphemeris {
    std::int32_t lastWrittenToc = kNothingWritten;
    std::int32_t flags = 0;  // 1: L2 P data, 2/4: codes on L2, 0x10: fit interval
    std::int32_t iode = 0;
    std::int32_t uraIndex = 0;
    std::int32_t health = 0;
    std::int32_t week = 0;
    std::int32_t iodc = 0;
    std::int32_t toc = 0;
    std::int32_t toe = 0;
    double af0 = 0, af1 = 0, af2 = 0;
    double crs = 0, deltaN = 0, m0 = 0, cuc = 0, e = 0, cus = 0, sqrtA = 0, cic = 0;
    double omega0 = 0, cis = 0, i0 = 0, crc = 0, omega = 0, omegaDot = 0, idot = 0, tgd = 0;
};

struct GlonassEphemeris {
    std::int32_t lastWrittenTb = kNothingWritten;
    bool health = false;
    std::int32_t week = 0;  // converter clock when decoded
    std::int32_t second = 0;
    std::int32_t frequencyNumber = 0;
    std::int32_t tb = 0;  // seconds of the GLONASS day
    std::int32_t tk = 0;
    std::int32_t age = 0;
    double tauN = 0, gammaN = 0;
    double x = 0, vx = 0, ax = 0, y = 0, vy = 0, ay = 0, z = 0, vz = 0, az = 0;
};

// The full GPS week congruent to the broadcast 10-bit week modulo 1024 that
// lies nearest `clockWeek` (never negative).
std::int32_t ResolveGpsWeek(std::int32_t tenBitWeek, std::int32_t clockWeek);

// Decodes a 1019 message whose cursor stands after the message number.
// Returns whether a new ephemeris was stored; `lastIndex` then names its
// entry. A new ephemeris may move the clock (see the .cpp).
bool DecodeGpsEphemeris(BitCursor& in, GpsEphemeris (&table)[kGpsSatellites], int& lastIndex,
                        ConverterClock& clock);

// Decodes a 1020 message whose cursor stands after the message number.
bool DecodeGlonassEphemeris(BitCursor& in, GlonassEphemeris (&table)[kGlonassSlots], int& lastIndex,
                            const ConverterClock& clock);

// Largest record either composer writes.
constexpr std::size_t kNavigationRecordSize = 8 * 80 + 8;

// Compose the record of `prn` (1 to 32) / `slot` (1 to 24) into `out`, which
// holds at least kNavigationRecordSize bytes; return its length. Lines end
// with "\n" and continuation lines start with three blanks.
int ComposeGpsRecord(const GpsEphemeris& eph, int prn, char* out);
// The GLONASS message frame time is written as seconds of the UTC day
// (RINEX 2.11) or of the UTC week (RINEX 3).
enum class FrameTime { kSecondsOfDay, kSecondsOfWeek };
int ComposeGlonassRecord(const GlonassEphemeris& eph, int slot, std::int32_t leapSeconds,
                         FrameTime frameTime, char* out);

}  // namespace corvane

// Legacy RTCM 3 observation messages (GPS 1001 to 1004, GLONASS 1009 to
// 1012) written field by field, with every field under the test's control.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/bit_writer.h"
#include "tests/support/rtcm3_frame_builder.h"

namespace corvane::test {

struct LegacySat {
    int id = 5;
    int l1Code = 0;
    int fcn = 7;                    // GLONASS channel field (k + 7)
    std::uint32_t pr = 1000000;     // 0.02 m
    std::int32_t phaseDiff = 2000;  // 0.0005 m
    int lock1 = 100;
    int ambiguity = 70;
    int cnr1 = 180;  // 0.25 dB-Hz
    int l2Code = 0;
    std::int32_t codeDiff2 = 10;     // 0.02 m
    std::int32_t phaseDiff2 = 3000;  // 0.0005 m
    int lock2 = 100;
    int cnr2 = 160;
};

// The message `number` (1001 to 1004 or 1009 to 1012) at `epochMs`
// (milliseconds of the GPS week, or of the GLONASS day), framed.
inline std::vector<std::uint8_t> LegacyObservation(int number, std::uint32_t epochMs,
                                                   bool synchronous,
                                                   const std::vector<LegacySat>& sats,
                                                   int announced = -1, int station = 0) {
    const bool glonass = number >= 1009;
    const int kind = number % 4;  // 1: L1, 2: L1 extended, 3: L1+L2, 0: L1+L2 extended
    const bool extended = kind == 2 || kind == 0;
    const bool withL2 = kind == 3 || kind == 0;
    BitWriter w;
    w.U(number, 12).U(station, 12).U(epochMs, glonass ? 27 : 30).U(synchronous ? 1 : 0, 1);
    w.U(announced < 0 ? sats.size() : static_cast<std::size_t>(announced), 5).U(0, 4);
    for (const LegacySat& s : sats) {
        w.U(s.id, 6).U(s.l1Code, 1);
        if (glonass) w.U(s.fcn, 5);
        w.U(s.pr, glonass ? 25 : 24).S(s.phaseDiff, 20).U(s.lock1, 7);
        if (extended) w.U(s.ambiguity, glonass ? 7 : 8).U(s.cnr1, 8);
        if (withL2) {
            w.U(s.l2Code, 2).S(s.codeDiff2, 14).S(s.phaseDiff2, 20).U(s.lock2, 7);
            if (kind == 0) w.U(s.cnr2, 8);
        }
    }
    return BuildRtcm3Frame(w.Bytes());
}

}  // namespace corvane::test

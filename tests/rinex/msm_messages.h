// MSM4 and MSM7 messages of any constellation written field by field: each
// satellite with its rough range, each cell with its fine values.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/bit_writer.h"
#include "tests/support/rtcm3_frame_builder.h"

namespace corvane::test {

struct MsmCellSpec {
    int signal = 2;                 // 1-based signal ID
    std::int32_t finePr = 1000;     // MSM4 2^-24 ms, MSM7 2^-29 ms
    std::int32_t finePhase = 2000;  // MSM4 2^-29 ms, MSM7 2^-31 ms
    int lock = 5;
    int half = 0;
    int cnr = 40;                  // MSM4 dB-Hz, MSM7 0.0625 dB-Hz
    std::int32_t fineRate = 1234;  // MSM7 only, 0.0001 m/s
};

struct MsmSatSpec {
    int id = 5;  // 1-based satellite mask position
    int roughMs = 70;
    int roughModulo = 512;  // 2^-10 ms
    int extended = 15;      // MSM7 only (GLONASS: k + 7)
    int roughRate = -200;   // MSM7 only, m/s
    std::vector<MsmCellSpec> cells;  // empty: one cell of the defaults
};

// `number` is 1074, 1077, 1084 ...; `epochTime` the 30-bit time field.
inline std::vector<std::uint8_t> MsmMessage(int number, std::uint32_t epochTime,
                                            bool multipleMessage,
                                            const std::vector<MsmSatSpec>& sats) {
    const bool msm7 = number % 10 == 7;
    static const std::vector<MsmCellSpec> kOneCell(1);
    const auto cellsOf = [](const MsmSatSpec& s) -> const std::vector<MsmCellSpec>& {
        return s.cells.empty() ? kOneCell : s.cells;
    };
    std::uint64_t satMask = 0;
    std::uint32_t sigMask = 0;
    for (const MsmSatSpec& s : sats) {
        satMask |= (std::uint64_t{1} << 63) >> (s.id - 1);
        for (const MsmCellSpec& c : cellsOf(s)) sigMask |= (std::uint32_t{1} << 31) >> (c.signal - 1);
    }
    BitWriter w;
    w.U(number, 12).U(0, 12).U(epochTime, 30).U(multipleMessage ? 1 : 0, 1);
    w.U(0, 3).U(0, 7).U(0, 2).U(0, 2).U(0, 1).U(0, 3);
    w.U(satMask, 64).U(sigMask, 32);
    // Cell mask, satellite-major (satellites are given in mask order).
    std::vector<const MsmCellSpec*> cells;
    for (const MsmSatSpec& s : sats) {
        for (int sig = 1; sig <= 32; ++sig) {
            if (!(sigMask & ((std::uint32_t{1} << 31) >> (sig - 1)))) continue;
            const MsmCellSpec* found = nullptr;
            for (const MsmCellSpec& c : cellsOf(s))
                if (c.signal == sig) found = &c;
            w.U(found ? 1 : 0, 1);
            if (found) cells.push_back(found);
        }
    }
    for (const MsmSatSpec& s : sats) w.U(s.roughMs, 8);
    if (msm7)
        for (const MsmSatSpec& s : sats) w.U(s.extended, 4);
    for (const MsmSatSpec& s : sats) w.U(s.roughModulo, 10);
    if (msm7)
        for (const MsmSatSpec& s : sats) w.S(s.roughRate, 14);
    for (const auto* c : cells) w.S(c->finePr, msm7 ? 20 : 15);
    for (const auto* c : cells) w.S(c->finePhase, msm7 ? 24 : 22);
    for (const auto* c : cells) w.U(c->lock, msm7 ? 10 : 4);
    for (const auto* c : cells) w.U(c->half, 1);
    for (const auto* c : cells) w.U(c->cnr, msm7 ? 10 : 6);
    if (msm7)
        for (const auto* c : cells) w.S(c->fineRate, 15);
    return BuildRtcm3Frame(w.Bytes());
}

}  // namespace corvane::test

// RTCM 3 messages for the decoder tests, written field by field with the bit
// writer in the layouts of RTCM 10403.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bit_writer.h"
#include "tests/support/rtcm3_frame_builder.h"

namespace corvane::test {

inline std::vector<std::uint8_t> Frame(const BitWriter& w) { return BuildRtcm3Frame(w.Bytes()); }

struct Obs1004 {
    int id = 5;
    int l1Code = 0;
    std::uint32_t l1Pr = 1000000;   // 0.02 m
    std::int32_t l1PhaseDiff = -3;  // 0.0005 m
    int ambiguity = 70;
    int l1Cnr = 180;  // 0.25 dB-Hz
    int l2Code = 2;
    std::int32_t l2Diff = -7;       // 0.02 m
    std::int32_t l2PhaseDiff = 11;  // 0.0005 m
    int l2Cnr = 160;
};

inline BitWriter Message1004(const std::vector<Obs1004>& sats, int announced = -1) {
    BitWriter w;
    w.U(1004, 12).U(1234, 12).U(345600000, 30).U(0, 1);
    w.U(announced < 0 ? sats.size() : static_cast<std::size_t>(announced), 5);
    w.U(0, 1).U(0, 3);
    for (const Obs1004& s : sats) {
        w.U(s.id, 6).U(s.l1Code, 1).U(s.l1Pr, 24).S(s.l1PhaseDiff, 20).U(127, 7);
        w.U(s.ambiguity, 8).U(s.l1Cnr, 8).U(s.l2Code, 2).S(s.l2Diff, 14).S(s.l2PhaseDiff, 20);
        w.U(127, 7).U(s.l2Cnr, 8);
    }
    return w;
}

struct Obs1012 {
    int id = 5;
    int l1Code = 1;
    int fcn = 8;
    std::uint32_t l1Pr = 2000000;
    std::int32_t l1PhaseDiff = 5;
    int ambiguity = 33;
    int l1Cnr = 200;
    int l2Code = 3;
    std::int32_t l2PhaseDiff = -9;
    int l2Cnr = 150;
};

inline BitWriter Message1012(const std::vector<Obs1012>& sats, int announced = -1) {
    BitWriter w;
    w.U(1012, 12).U(1234, 12).U(3600000, 27).U(0, 1);
    w.U(announced < 0 ? sats.size() : static_cast<std::size_t>(announced), 5);
    w.U(0, 1).U(0, 3);
    for (const Obs1012& s : sats) {
        w.U(s.id, 6).U(s.l1Code, 1).U(s.fcn, 5).U(s.l1Pr, 25).S(s.l1PhaseDiff, 20).U(0, 7);
        w.U(s.ambiguity, 7).U(s.l1Cnr, 8).U(s.l2Code, 2).S(0, 14).S(s.l2PhaseDiff, 20);
        w.U(0, 7).U(s.l2Cnr, 8);
    }
    return w;
}

inline BitWriter Message1006(std::int64_t x, std::int64_t y, std::int64_t z, int height) {
    BitWriter w;
    w.U(1006, 12).U(1234, 12).U(0, 6).U(1, 1).U(0, 1).U(0, 1).U(0, 1);
    w.S(x, 38).U(0, 2).S(y, 38).U(0, 2).S(z, 38).U(height, 16);
    return w;
}

inline BitWriter Message1013(int mjd, int secondsOfDay, int leap) {
    BitWriter w;
    w.U(1013, 12).U(1234, 12).U(mjd, 16).U(secondsOfDay, 17).U(0, 5).U(leap, 8);
    return w;
}

struct Eph1019 {
    int prn = 5;
    int week = 100;
    int accuracy = 2;
    int codeOnL2 = 1;
    std::int64_t idot = -100;
    int iode = 77;
    int toc = 22500;  // units of 16 s
    std::int64_t af2 = -1, af1 = -2000, af0 = 123456;
    int iodc = 333;
    std::int64_t crs = -5;  // 0xFFFB
    std::int64_t deltaN = 12000, m0 = -1000000000;
    std::int64_t cuc = -300;
    std::uint32_t e = 40000000;
    std::int64_t cus = 600;
    std::uint32_t sqrtA = 2701131776u;
    int toe = 22500;
    std::int64_t cic = 7, omega0 = 2000000000, cis = -8, i0 = 650000000, crc = 6000;
    std::int64_t omega = -12345678, omegaDot = -20000;
    std::int64_t tgd = -11;
    int health = 0;
};

inline BitWriter Message1019(const Eph1019& e) {
    BitWriter w;
    w.U(1019, 12).U(e.prn, 6).U(e.week, 10).U(e.accuracy, 4).U(e.codeOnL2, 2).S(e.idot, 14);
    w.U(e.iode, 8).U(e.toc, 16).S(e.af2, 8).S(e.af1, 16).S(e.af0, 22).U(e.iodc, 10);
    w.S(e.crs, 16).S(e.deltaN, 16).S(e.m0, 32).S(e.cuc, 16).U(e.e, 32).S(e.cus, 16);
    w.U(e.sqrtA, 32).U(e.toe, 16).S(e.cic, 16).S(e.omega0, 32).S(e.cis, 16).S(e.i0, 32);
    w.S(e.crc, 16).S(e.omega, 32).S(e.omegaDot, 24).S(e.tgd, 8).U(e.health, 6);
    w.U(0, 1).U(0, 1);
    return w;
}

struct Eph1020 {
    int slot = 3;
    int fcn = 0;  // field value
    int tkH = 13, tkM = 45, tkHalf = 1;
    int tb = 60;
    std::int64_t xDot = 1000, x = -2000000, xDDot = 3;
    std::int64_t yDot = -4000, y = 5000000, yDDot = -1;
    std::int64_t zDot = 7, z = 12345678, zDDot = 0;
    std::int64_t gamma = -1;  // sign set, magnitude 1
    std::int64_t tau = -12345, deltaTau = 2;
    int age = 4;
    std::int64_t tauC = -99999, tauGps = 321;
};

inline BitWriter Message1020(const Eph1020& g) {
    BitWriter w;
    w.U(1020, 12).U(g.slot, 6).U(g.fcn, 5).U(0, 1).U(0, 1).U(0, 2);
    w.U(g.tkH, 5).U(g.tkM, 6).U(g.tkHalf, 1).U(0, 1).U(0, 1).U(g.tb, 7);
    w.SM(g.xDot, 24).SM(g.x, 27).SM(g.xDDot, 5);
    w.SM(g.yDot, 24).SM(g.y, 27).SM(g.yDDot, 5);
    w.SM(g.zDot, 24).SM(g.z, 27).SM(g.zDDot, 5);
    w.U(0, 1).SM(g.gamma, 11).U(0, 2).U(0, 1).SM(g.tau, 22).SM(g.deltaTau, 5).U(g.age, 5);
    w.U(0, 1).U(0, 4).U(0, 11).U(0, 2).U(0, 1).U(0, 11).SM(g.tauC, 32).U(0, 5);
    w.SM(g.tauGps, 22).U(0, 1).U(0, 7);
    return w;
}

inline BitWriter Message1033(const std::vector<std::string>& texts) {
    BitWriter w;
    w.U(1033, 12).U(1234, 12);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        w.U(texts[i].size(), 8).Text(texts[i].data(), texts[i].size());
        if (i == 0) w.U(0, 8);  // antenna setup ID
    }
    return w;
}

// One MSM cell's signal data and its satellite's data.
struct MsmSat {
    int roughMs = 70;
    int roughModulo = 512;  // 2^-10 ms
    int roughRate = -300;   // MSM7, m/s
};
struct MsmSig {
    std::int64_t finePr = -1000;
    std::int64_t finePhase = 2000;
    int lock = 9;
    int half = 1;
    int cnr = 40;             // MSM4 dB-Hz; MSM7 0.0625 dB-Hz
    std::int64_t rate = -25;  // MSM7, 0.0001 m/s
};

// A message of kind 4 or 7 with the given masks; `sats` has one entry per
// set satellite-mask bit, `cells` one per set cell-mask bit.
inline BitWriter MessageMsm(int number, std::uint32_t epochMs, std::uint64_t satMask,
                            std::uint32_t sigMask, std::uint64_t cellMask, int cellBits,
                            const std::vector<MsmSat>& sats, const std::vector<MsmSig>& cells) {
    const bool seven = number % 10 == 7;
    BitWriter w;
    w.U(number, 12).U(1234, 12).U(epochMs, 30).U(0, 1).U(0, 3).U(0, 7).U(0, 2).U(0, 2).U(0, 1);
    w.U(0, 3).U(satMask, 64).U(sigMask, 32);
    if (cellBits > 0) w.U(cellMask, cellBits);
    for (const MsmSat& s : sats) w.U(s.roughMs, 8);
    if (seven) {
        for (std::size_t i = 0; i < sats.size(); ++i) w.U(0, 4);
    }
    for (const MsmSat& s : sats) w.U(s.roughModulo, 10);
    if (seven) {
        for (const MsmSat& s : sats) w.S(s.roughRate, 14);
    }
    for (const MsmSig& c : cells) w.S(c.finePr, seven ? 20 : 15);
    for (const MsmSig& c : cells) w.S(c.finePhase, seven ? 24 : 22);
    for (const MsmSig& c : cells) w.U(c.lock, seven ? 10 : 4);
    for (const MsmSig& c : cells) w.U(c.half, 1);
    for (const MsmSig& c : cells) w.U(c.cnr, seven ? 10 : 6);
    if (seven) {
        for (const MsmSig& c : cells) w.S(c.rate, 15);
    }
    return w;
}

}  // namespace corvane::test

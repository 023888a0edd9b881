// Decoders of the observation, station and ephemeris messages 1004, 1006,
// 1012, 1013, 1019, 1020 and 1033. Bit positions count from the first bit of
// the message number. A message shorter than the fields it needs is rejected
// before anything is stored.
#include <cstring>

#include "rtcm/bit_reader.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "rtcm/scale.h"

namespace corvane {
namespace {

constexpr double kPi = 3.1415926535898;
constexpr double kLightMs = 299792.458;       // m per millisecond of light travel
constexpr double kGloAmbiguity = 599584.916;  // m, two light-milliseconds

// Reads the fields of one message, bounded by its length.
struct Fields {
    const std::uint8_t* m;
    std::size_t n;
    std::uint64_t U(std::size_t pos, int width) const { return getBitsU(m, n, pos, width); }
    std::int64_t S(std::size_t pos, int width) const { return getBitsS(m, n, pos, width); }
    std::int64_t SM(std::size_t pos, int width) const { return getBitsSM(m, n, pos, width); }
    bool Holds(std::size_t bits) const { return bits <= n * 8; }
};

std::int16_t SatelliteId(std::uint64_t id) {
    return static_cast<std::int16_t>(id < 40 ? id : id + 80);
}

}  // namespace

std::uint32_t RTCM3Dec::Decode1004(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    const int count = static_cast<int>(f.U(55, 5));
    if (!f.Holds(64 + 125 * static_cast<std::size_t>(count))) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Rec1004& r = records_->rec1004;
    r.satCount = count;
    for (int i = 0; i < count; ++i) {
        const std::size_t p = 64 + 125 * static_cast<std::size_t>(i);
        Rec1004Sat& s = r.sats[i];
        s.sat = SatelliteId(f.U(p, 6));
        s.l1Code = static_cast<std::uint8_t>(f.U(p + 6, 1));
        s.l1Pseudorange = static_cast<double>(f.U(p + 7, 24)) * 0.02;
        s.l1Phase = s.l1Pseudorange + static_cast<double>(f.S(p + 31, 20)) * 0.0005;
        s.l1Ambiguity = static_cast<double>(f.U(p + 58, 8)) * kLightMs;
        s.l1Cnr = static_cast<double>(f.U(p + 66, 8)) * 0.25;
        s.l2Code = static_cast<std::uint8_t>(f.U(p + 74, 2));
        s.l2Diff = static_cast<double>(f.S(p + 76, 14)) * 0.02;
        s.l2Phase = s.l1Pseudorange + static_cast<double>(f.S(p + 90, 20)) * 0.0005;
        s.l2Cnr = static_cast<double>(f.U(p + 117, 8)) * 0.25;
    }
    return MessageCode(kKind1004, 0);
}

std::uint32_t RTCM3Dec::Decode1006(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    if (!f.Holds(168)) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Rec1006& r = records_->rec1006;
    r.x = static_cast<double>(f.S(34, 38)) / 10000.0;
    r.y = static_cast<double>(f.S(74, 38)) / 10000.0;
    r.z = static_cast<double>(f.S(114, 38)) / 10000.0;
    r.antennaHeight = static_cast<double>(f.U(152, 16)) / 10000.0;
    return MessageCode(kKind1006, 0);
}

std::uint32_t RTCM3Dec::Decode1012(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    int count = static_cast<int>(f.U(52, 5));
    if (count > 24) count = 24;  // the record has room for 24; the rest is not read
    if (!f.Holds(61 + 130 * static_cast<std::size_t>(count))) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Rec1012& r = records_->rec1012;
    r.satCount = count;
    for (int i = 0; i < count; ++i) {
        const std::size_t p = 61 + 130 * static_cast<std::size_t>(i);
        Rec1012Sat& s = r.sats[i];
        s.sat = SatelliteId(f.U(p, 6));
        s.l1Code = static_cast<std::uint8_t>(f.U(p + 6, 1));
        s.fcn = static_cast<std::int32_t>(f.U(p + 7, 5));
        s.l1Pseudorange = static_cast<double>(f.U(p + 12, 25)) * 0.02;
        s.l1Phase = s.l1Pseudorange + static_cast<double>(f.S(p + 37, 20)) * 0.0005;
        s.l1Ambiguity = static_cast<double>(f.U(p + 64, 7)) * kGloAmbiguity;
        s.l1Cnr = static_cast<double>(f.U(p + 71, 8)) * 0.25;
        s.l2Code = static_cast<std::uint8_t>(f.U(p + 79, 2));
        s.l2Phase = s.l1Pseudorange + static_cast<double>(f.S(p + 95, 20)) * 0.0005;
        s.l2Cnr = static_cast<double>(f.U(p + 122, 8)) * 0.25;
    }
    return MessageCode(kKind1012, 0);
}

std::uint32_t RTCM3Dec::Decode1013(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    if (!f.Holds(70)) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Rec1013& r = records_->rec1013;
    r.mjd = static_cast<std::int32_t>(f.U(24, 16));
    r.secondsOfDay = static_cast<std::int32_t>(f.U(40, 17));
    r.leapSeconds = static_cast<std::int32_t>(f.U(62, 8));
    // Days since 1980-01-06; leap seconds are not applied.
    const std::int32_t days = r.mjd - 44244;
    records_->gpsWeek = days / 7;
    records_->gpsSecond = (days - 7 * records_->gpsWeek) * 86400 + r.secondsOfDay;
    return MessageCode(kKind1013, 0);
}

std::uint32_t RTCM3Dec::Decode1019(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    const int prn = static_cast<int>(f.U(12, 6));
    if (prn < 1 || prn > 32 || !f.Holds(486)) return 0;
    constexpr double p43 = kPi * Pow2(-43);
    constexpr double p31 = kPi * Pow2(-31);
    std::lock_guard<std::mutex> lock(mutex_);
    records_->lastGpsPrn = prn;
    Rec1019& e = records_->rec1019[prn - 1];
    e = Rec1019{};
    e.week = static_cast<std::int32_t>(f.U(18, 10)) + 1024;
    e.accuracy = static_cast<std::int32_t>(f.U(28, 4));
    e.codeOnL2 = static_cast<std::int32_t>(f.U(32, 2));
    e.idot = static_cast<double>(f.S(34, 14)) * p43;
    e.iode = static_cast<std::int32_t>(f.U(48, 8));
    e.toc = static_cast<std::int32_t>(f.U(56, 16)) * 16;
    e.af2 = static_cast<double>(f.S(72, 8)) * Pow2(-55);
    e.af1 = static_cast<double>(f.S(80, 16)) * Pow2(-43);
    e.af0 = static_cast<double>(f.S(96, 22)) * Pow2(-31);
    e.iodc = static_cast<std::int32_t>(f.U(118, 10));
    e.crs = static_cast<double>(f.S(128, 16)) * Pow2(-5);
    e.deltaN = static_cast<double>(f.S(144, 16)) * p43;
    e.m0 = static_cast<double>(f.S(160, 32)) * p31;
    e.cuc = static_cast<double>(f.S(192, 16)) * Pow2(-29);
    e.e = static_cast<double>(f.U(208, 32)) * Pow2(-33);
    e.cus = static_cast<double>(f.S(240, 16)) * Pow2(-29);
    e.sqrtA = static_cast<double>(f.U(256, 32)) * Pow2(-19);
    e.toe = static_cast<std::int32_t>(f.U(288, 16)) * 16;
    e.cic = static_cast<double>(f.S(304, 16)) * Pow2(-29);
    e.omega0 = static_cast<double>(f.S(320, 32)) * p31;
    e.cis = static_cast<double>(f.S(352, 16)) * Pow2(-29);
    e.i0 = static_cast<double>(f.S(368, 32)) * p31;
    e.crc = static_cast<double>(f.S(400, 16)) * Pow2(-5);
    e.omega = static_cast<double>(f.S(416, 32)) * p31;
    e.omegaDot = static_cast<double>(f.S(448, 24)) * p43;
    e.tgd = static_cast<double>(f.S(472, 8)) * Pow2(-31);
    e.health = static_cast<std::int32_t>(f.U(480, 6));
    return MessageCode(kKind1019, 0);
}

std::uint32_t RTCM3Dec::Decode1020(const std::uint8_t* m, std::size_t n) {
    const Fields f{m, n};
    const int slot = static_cast<int>(f.U(12, 6));
    if (slot < 1 || slot > 24 || !f.Holds(352)) return 0;
    auto sm = [&f](std::size_t pos, int width, int exponent) {
        return static_cast<double>(f.SM(pos, width)) * Pow2(exponent);
    };
    std::lock_guard<std::mutex> lock(mutex_);
    records_->lastGloSlot = slot;
    Rec1020& g = records_->rec1020[slot - 1];
    g = Rec1020{};
    g.fcn = static_cast<std::int32_t>(f.U(18, 5)) - 7;
    g.tkHours = static_cast<std::uint8_t>(f.U(27, 5));
    g.tkMinutes = static_cast<std::uint8_t>(f.U(32, 6));
    g.tkHalfMinute = static_cast<std::uint8_t>(f.U(38, 1));
    g.tbMinutes = static_cast<std::int32_t>(f.U(41, 7)) * 15;
    g.xDot = sm(48, 24, -20);
    g.x = sm(72, 27, -11);
    g.xDDot = sm(99, 5, -30);
    g.yDot = sm(104, 24, -20);
    g.y = sm(128, 27, -11);
    g.yDDot = sm(155, 5, -30);
    g.zDot = sm(160, 24, -20);
    g.z = sm(184, 27, -11);
    g.zDDot = sm(211, 5, -30);
    g.gamma = sm(217, 11, -40);
    g.tau = sm(231, 22, -30);
    g.deltaTau = sm(253, 5, -30);
    g.age = static_cast<std::int32_t>(f.U(258, 5));
    g.tauC = sm(293, 32, -31);
    g.tauGps = sm(330, 22, -30);
    return MessageCode(kKind1020, 0);
}

// A chain of counted texts from byte 3 on: antenna descriptor, setup ID (one
// byte, not kept), antenna serial, receiver type, firmware, receiver serial.
// A counter of 32 or more ends the chain: with the first one nothing is
// stored; with the second the descriptor is stored but the message is not
// logged or posted; later ones keep the texts before them and close the
// message. The chain is checked against the message length before anything
// is stored.
std::uint32_t RTCM3Dec::Decode1033(const std::uint8_t* m, std::size_t n) {
    struct Piece {
        std::size_t at;
        std::size_t count;
    };
    Piece pieces[5] = {};
    int stored = 0;
    std::size_t pos = 3;
    for (int i = 0; i < 5; ++i) {
        if (pos >= n) return 0;
        const std::size_t count = m[pos];
        if (count >= 32) break;
        if (count > n - pos - 1) return 0;
        pieces[i] = {pos + 1, count};
        ++stored;
        pos += 1 + count;
        if (i == 0) pos += 1;  // antenna setup ID
    }
    if (stored == 0) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Rec1033& r = records_->rec1033;
    char* texts[5] = {r.antennaDescriptor, r.antennaSerial, r.receiverType, r.receiverFirmware,
                      r.receiverSerial};
    for (int i = 0; i < stored; ++i) {
        std::memset(texts[i], 0, sizeof r.antennaDescriptor);
        std::memcpy(texts[i], m + pieces[i].at, pieces[i].count);
    }
    return stored == 1 ? 0 : MessageCode(kKind1033, 0);
}

}  // namespace corvane

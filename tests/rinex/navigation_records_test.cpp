#include "rinex/navigation_records.h"

#include <gtest/gtest.h>

#include <string>

#include "rinex/rinex_number_format.h"
#include "tests/support/bit_writer.h"

namespace corvane {
namespace {

using test::BitWriter;

std::string Number(double v) {
    char out[kRinexNumberWidth];
    FormatRinexNumber(v, out);
    return std::string(out, kRinexNumberWidth);
}

TEST(RinexNumberFormat, NineteenCharactersWithDExponent) {
    EXPECT_EQ(Number(1234.5), " 1.234500000000D+03");
    EXPECT_EQ(Number(-1.23456789e-5), "-1.234567890000D-05");
    EXPECT_EQ(Number(0.0), " 0.000000000000D+00");
    EXPECT_EQ(Number(-0.0), " 0.000000000000D+00");
    EXPECT_EQ(Number(-1.2345678900e-11), "-1.234567890000D-11");
    EXPECT_EQ(Number(1376), " 1.376000000000D+03");
    // Rounding that carries into the exponent.
    EXPECT_EQ(Number(9.9999999999999), " 1.000000000000D+01");
    // Nothing a broadcast field can hold needs three exponent digits; such
    // values still keep the width.
    EXPECT_EQ(Number(1e-200).size(), 19u);
    EXPECT_EQ(Number(-1e200).size(), 19u);
}

// A 1019 message body after the message number.
struct Gps1019 {
    int id = 7, week = 352, ura = 0, codes = 0, idot = 0, iode = 1, toc = 900;
    int af2 = 0, af1 = 0, af0 = 0, iodc = 1, crs = 0, deltaN = 0;
    std::int64_t m0 = 0;
    int cuc = 0;
    std::uint64_t e = 0;
    int cus = 0;
    std::uint64_t sqrtA = 0;
    int toe = 900, cic = 0;
    std::int64_t omega0 = 0;
    int cis = 0;
    std::int64_t i0 = 0;
    int crc = 0;
    std::int64_t omega = 0;
    int omegaDot = 0, tgd = 0, health = 0, l2p = 0, fit = 0;

    std::vector<std::uint8_t> Bytes() const {
        BitWriter w;
        w.U(id, 6).U(week, 10).U(ura, 4).U(codes, 2).S(idot, 14).U(iode, 8).U(toc, 16);
        w.S(af2, 8).S(af1, 16).S(af0, 22).U(iodc, 10).S(crs, 16).S(deltaN, 16).S(m0, 32);
        w.S(cuc, 16).U(e, 32).S(cus, 16).U(sqrtA, 32).U(toe, 16).S(cic, 16).S(omega0, 32);
        w.S(cis, 16).S(i0, 32).S(crc, 16).S(omega, 32).S(omegaDot, 24).S(tgd, 8);
        w.U(health, 6).U(l2p, 1).U(fit, 1);
        return w.Bytes();
    }
};

struct GpsFixture : ::testing::Test {
    GpsEphemeris table[kGpsSatellites];
    int last = -1;
    ConverterClock clock{1376, 0, 14};

    bool Decode(const Gps1019& m) {
        const auto bytes = m.Bytes();
        BitCursor in(bytes.data(), bytes.size());
        return DecodeGpsEphemeris(in, table, last, clock);
    }
    std::string Record(int index) {
        char out[kNavigationRecordSize];
        const int n = ComposeGpsRecord(table[index], index + 1, out);
        return std::string(out, static_cast<std::size_t>(n));
    }
};

TEST_F(GpsFixture, RecordOfPrn7Week352Toc900) {
    Gps1019 m;
    m.af1 = -1;  // -2^-43
    m.codes = 3;
    m.l2p = 1;
    m.fit = 1;
    m.ura = 2;
    m.health = 5;
    m.iodc = 300;
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(last, 6);
    EXPECT_EQ(table[6].week, 1376);
    const std::string r = Record(6);
    EXPECT_EQ(r.substr(0, 22 + 19), "07 06 05 21 04 00 00.0 0.000000000000D+00");
    EXPECT_EQ(r.substr(41, 19), "-1.136868377216D-13");
    const std::string line6 =
        "\n    0.000000000000D+00 3.000000000000D+00 1.376000000000D+03"
        " 1.000000000000D+00";
    EXPECT_NE(r.find(line6), std::string::npos) << r;
    const std::string line7 =
        "\n    4.850000000000D+00 5.000000000000D+00 0.000000000000D+00"
        " 3.000000000000D+02";
    EXPECT_NE(r.find(line7), std::string::npos) << r;
    const std::string tail = "\n    1.440000000000D+04 6.000000000000D+00\n";
    ASSERT_GE(r.size(), tail.size());
    EXPECT_EQ(r.substr(r.size() - tail.size()), tail);
    EXPECT_EQ(r.size(), 79u + 6 * 80 + 1 + 41 + 1);
}

TEST_F(GpsFixture, WeekIsTheOneNearestTheClock) {
    EXPECT_EQ(ResolveGpsWeek(352, 1376), 1376);
    EXPECT_EQ(ResolveGpsWeek(352, 2400), 2400);   // January 2026
    EXPECT_EQ(ResolveGpsWeek(1023, 2048), 2047);  // just before a rollover
    EXPECT_EQ(ResolveGpsWeek(0, 2047), 2048);     // just after one
    EXPECT_EQ(ResolveGpsWeek(1000, 0), 1000);     // never negative
    clock = {2400, 0, 18};
    Gps1019 m;
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(Record(6).substr(0, 22), "07 26 01 04 04 00 00.0");
}

TEST_F(GpsFixture, EphemerisOfTheNextWeekSentAtTheEndOfThisOne) {
    Gps1019 m;
    m.toc = 0;
    m.toe = 0;
    m.week = 2009 % 1024;
    clock = {2009, 604200, 18};  // Saturday 23:50
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(table[6].week, 2010);
    EXPECT_EQ(Record(6).substr(0, 22), "07 18 07 15 00 00 00.0");
    // The same after the rollover, still with the old week.
    m.toc = 7200 / 16;
    clock = {2010, 600, 18};
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(table[6].week, 2010);
    // Half a week ahead of the clock: the week before; a clock weeks away
    // leaves the week as sent.
    m.toc = 900;
    m.toe = 600000 / 16;
    clock = {2009, 1000, 18};
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(table[6].week, 2008);
    m.toc = 1000;
    clock = {2014, 1000, 18};
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(table[6].week, 2009);
}

TEST_F(GpsFixture, RepeatsAndIdsAndTheResetValue) {
    Gps1019 m;
    m.id = 5;
    m.toc = 0;  // start of the week: no longer taken for a repeat
    EXPECT_TRUE(Decode(m));
    EXPECT_FALSE(Decode(m));
    m.toc = 1;
    EXPECT_TRUE(Decode(m));
    table[4].lastWrittenToc = kNothingWritten;  // a new navigation file
    EXPECT_TRUE(Decode(m));
    last = -1;
    m.id = 0;
    EXPECT_FALSE(Decode(m));
    m.id = 33;
    EXPECT_FALSE(Decode(m));
    EXPECT_EQ(last, -1);
}

TEST_F(GpsFixture, ClockMovesOnlyForAnEphemerisSevenToTenHoursAhead) {
    clock = {1376, 0, 14};
    Gps1019 m;
    m.toe = 25200 / 16;  // 25200 s: one second too early
    m.toc = 1;
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(clock.gpsSecond, 0);
    m.toe = 25216 / 16;
    m.toc = 2;
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(clock.gpsWeek, 1376);
    EXPECT_EQ(clock.gpsSecond, 25216);
}

TEST_F(GpsFixture, TruncatedMessageReadsZeros) {
    Gps1019 m;
    m.sqrtA = 0xFFFFFFFF;
    auto bytes = m.Bytes();
    bytes.resize(10);
    BitCursor in(bytes.data(), bytes.size());
    ASSERT_TRUE(DecodeGpsEphemeris(in, table, last, clock));
    EXPECT_EQ(table[6].sqrtA, 0.0);
}

struct Glo1020 {
    int slot = 3, channel = 7 + 2, hours = 3, minutes = 0, half = 1, bn = 1, tb = 1;
    int vx = 0, x = 0, ax = 0, vy = 0, y = 0, ay = 0, vz = 0, z = 0, az = 0;
    int gamma = 0, tau = 0, age = 4;
    std::vector<std::uint8_t> Bytes() const {
        BitWriter w;
        w.U(slot, 6).U(channel, 5).U(0, 2).U(0, 2).U(hours, 5).U(minutes, 6).U(half, 1);
        w.U(bn, 1).U(0, 1).U(tb, 7);
        w.SM(vx, 24).SM(x, 27).SM(ax, 5).SM(vy, 24).SM(y, 27).SM(ay, 5);
        w.SM(vz, 24).SM(z, 27).SM(az, 5).U(0, 1).SM(gamma, 11).U(0, 3).SM(tau, 22);
        w.U(0, 5).U(age, 5).U(0, 32);
        return w.Bytes();
    }
};

struct GlonassFixture : ::testing::Test {
    GlonassEphemeris table[kGlonassSlots];
    int last = -1;
    // 2026-01-05 (Monday) 20:50:00 UTC with 18 leap seconds.
    ConverterClock clock{2400, 86400 + 20 * 3600 + 50 * 60 + 18, 18};

    bool Decode(const Glo1020& m) {
        const auto bytes = m.Bytes();
        BitCursor in(bytes.data(), bytes.size());
        return DecodeGlonassEphemeris(in, table, last, clock);
    }
    std::string Record(int index, FrameTime frameTime = FrameTime::kSecondsOfDay) {
        char out[kNavigationRecordSize];
        const int n =
            ComposeGlonassRecord(table[index], index + 1, clock.leapSeconds, frameTime, out);
        return std::string(out, static_cast<std::size_t>(n));
    }
};

TEST_F(GlonassFixture, Tb900AtTwentyFiftyUtcIsTheNextGlonassDay) {
    Glo1020 m;
    m.tau = -(1 << 20);  // tau = -2^-10 s, written negated
    m.x = 2048 * 100;
    m.vx = -(1 << 19);
    ASSERT_TRUE(Decode(m));
    EXPECT_EQ(last, 2);
    const std::string r = Record(2);
    EXPECT_EQ(r,
              "03 26 01 05 21 15 00.0 9.765625000000D-04 0.000000000000D+00 3.000000000000D+01\n"
              "    1.000000000000D+02-5.000000000000D-01 0.000000000000D+00 1.000000000000D+00\n"
              "    0.000000000000D+00 0.000000000000D+00 0.000000000000D+00 2.000000000000D+00\n"
              "    0.000000000000D+00 0.000000000000D+00 0.000000000000D+00 4.000000000000D+00\n");
}

TEST_F(GlonassFixture, DayResolutionBothWaysAndFrameTime) {
    // tb 23:45 GLONASS (20:45 UTC) decoded at 00:59 UTC next day (03:59 GLONASS).
    clock.gpsSecond = 2 * 86400 + 3540 + 18;
    Glo1020 m;
    m.tb = 95;  // 85500 s
    m.hours = 1;
    m.half = 0;
    ASSERT_TRUE(Decode(m));
    const std::string r = Record(2);
    EXPECT_EQ(r.substr(0, 22), "03 26 01 05 20 45 00.0");
    EXPECT_EQ(r.substr(60, 19), " 7.920000000000D+04");  // tk 1 h 0 min 0 s
    // RINEX 3: of the UTC week, whose Monday (day 1) the frame began in.
    EXPECT_EQ(Record(2, FrameTime::kSecondsOfWeek).substr(60, 19), " 1.656000000000D+05");
}

TEST_F(GlonassFixture, RepeatsResetValueAndIds) {
    Glo1020 m;
    m.tb = 0;  // 00:00 Moscow time: written now that the reset value is not 0
    EXPECT_TRUE(Decode(m));
    EXPECT_FALSE(Decode(m));
    m.tb = 4;
    EXPECT_TRUE(Decode(m));
    m.slot = 25;
    EXPECT_FALSE(Decode(m));
    m.slot = 0;
    EXPECT_FALSE(Decode(m));
}

}  // namespace
}  // namespace corvane

// MSM observations in the converter's epochs: values in the 2.11 slots, the
// multiple-message bit, epoch times by constellation, the GLONASS frequency
// channel, and legacy messages winning over MSM.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rinex/observation_columns.h"
#include "rinex/rtcm3_rinex.h"
#include "tests/rinex/legacy_observation_messages.h"
#include "tests/rinex/msm_messages.h"

namespace corvane {
namespace {

using test::MsmCellSpec;
using test::MsmMessage;
using test::MsmSatSpec;

constexpr double kRangeMs = 299792.458;
constexpr double kC = 299792458.0;
// Monday 2026-01-05 03:46:40 GPS time.
constexpr std::int64_t kStart = 315964800 + 2400LL * 604800 + 100000;

class MsmAssembly : public ::testing::Test {
protected:
    void Feed(const std::vector<std::uint8_t>& frame) {
        rinex.Input(frame.data(), static_cast<int>(frame.size()));
    }
    // Index of satellite `number` in the ready epoch, -1 when absent.
    int Find(int number) const {
        const EpochRecord& r = rinex.observations.ready;
        for (int i = 0; i < r.satelliteCount; ++i)
            if (r.satellites[i] == number) return i;
        return -1;
    }
    bool Has(int i, int slot) const {
        return (rinex.observations.ready.signalMask[i] & SlotBit(slot)) != 0;
    }
    double Value(int i, int slot) const { return rinex.observations.ready.values[i][slot]; }

    RTCM3Rinex rinex{nullptr, kStart};
};

std::vector<std::uint8_t> Glonass1020(int slot, int k) {
    test::BitWriter w;
    w.U(1020, 12).U(slot, 6).U(k + 7, 5).Zeros(340);
    return test::BuildRtcm3Frame(w.Bytes());
}

// An epoch at 100000 s: a GPS MSM4 with the multiple-message bit, then a
// GLONASS MSM7 without it; one more GPS message starts the next epoch.
TEST_F(MsmAssembly, Msm4AndMsm7OfTwoConstellationsFormOneEpoch) {
    MsmSatSpec g;  // G05: L1 C/A and L2 P(Y) (signals 2 and 10)
    g.cells = {MsmCellSpec{}, MsmCellSpec{10, -500, -900, 6, 1, 35, 0}};
    MsmSatSpec r;
    r.id = 7;
    r.extended = 7 + 3;  // k = 3
    const std::uint32_t glonassTod = (100000 - 18 + 10800) % 86400 * 1000;  // Monday 06:46:22 Moscow
    Feed(MsmMessage(1074, 100000000, true, {g}));
    EXPECT_EQ(rinex.observations.ready.satelliteCount, 0);  // not complete yet
    Feed(MsmMessage(1087, (1u << 27) | glonassTod, false, {r}));

    const EpochRecord& e = rinex.observations.ready;
    ASSERT_EQ(e.satelliteCount, 2);
    EXPECT_EQ(e.week, 2400);
    EXPECT_EQ(e.milliseconds, 100000000);
    const int gi = Find(5), ri = Find(7 + 37);
    ASSERT_GE(gi, 0);
    ASSERT_GE(ri, 0);
    const double rough = (70 + 512 / 1024.0) * kRangeMs;
    EXPECT_DOUBLE_EQ(Value(gi, kSlotC1), rough + 1000 * std::ldexp(kRangeMs, -24));
    EXPECT_NEAR(Value(gi, kSlotL1CA),
                (rough + 2000 * std::ldexp(kRangeMs, -29)) / (kC / 1575.42e6), 1e-6);
    EXPECT_EQ(Value(gi, kSlotS1CA), 40);
    EXPECT_FALSE(Has(gi, kSlotD1CA));  // MSM4 has no Doppler
    EXPECT_TRUE(Has(gi, kSlotP2));
    EXPECT_NEAR(Value(gi, kSlotL2P), (rough - 900 * std::ldexp(kRangeMs, -29)) / (kC / 1227.60e6),
                1e-6);
    EXPECT_EQ(e.lockFlags[gi] & (kHalfCycleL2 | kHalfCycleL1), kHalfCycleL2);
    // GLONASS MSM7: channel from the extended information, Doppler from the
    // rough and fine rates.
    const double l1 = kC / (1602.0e6 + 3 * 0.5625e6);
    EXPECT_DOUBLE_EQ(Value(ri, kSlotC1), rough + 1000 * std::ldexp(kRangeMs, -29));
    EXPECT_NEAR(Value(ri, kSlotL1CA), (rough + 2000 * std::ldexp(kRangeMs, -31)) / l1, 1e-6);
    EXPECT_NEAR(Value(ri, kSlotD1CA), -(-200 + 0.1234) / l1, 1e-9);
    EXPECT_EQ(Value(ri, kSlotS1CA), 40 * 0.0625);
}

TEST_F(MsmAssembly, GlonassPhaseWaitsForTheFrequencyChannel) {
    MsmSatSpec r;
    r.id = 7;
    const std::uint32_t tod = (100000 - 18 + 10800) % 86400 * 1000;
    Feed(MsmMessage(1084, (1u << 27) | tod, false, {r}));
    int i = Find(44);
    ASSERT_GE(i, 0);
    EXPECT_TRUE(Has(i, kSlotC1));
    EXPECT_FALSE(Has(i, kSlotL1CA));

    Feed(Glonass1020(7, -4));
    Feed(MsmMessage(1084, (1u << 27) | (tod + 1000), false, {r}));
    i = Find(44);
    ASSERT_GE(i, 0);
    ASSERT_TRUE(Has(i, kSlotL1CA));
    const double rough = (70 + 512 / 1024.0) * kRangeMs;
    EXPECT_NEAR(Value(i, kSlotL1CA),
                (rough + 2000 * std::ldexp(kRangeMs, -29)) / (kC / (1602.0e6 - 4 * 0.5625e6)),
                1e-6);
}

// Epoch times of each constellation, with the clock at Monday 03:46:40 of
// week 2400 or at the very end of the week.
struct TimeCase {
    const char* name;
    int number;
    std::uint32_t epochTime;
    std::int64_t clockSecond;
    std::int32_t week;
    std::int32_t milliseconds;  // of the week
};

class MsmTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(MsmTime, EpochTime) {
    const TimeCase& c = GetParam();
    RTCM3Rinex rinex(nullptr, 315964800 + 2400LL * 604800 + c.clockSecond);
    const auto frame = MsmMessage(c.number, c.epochTime, false, {MsmSatSpec{}});
    rinex.Input(frame.data(), static_cast<int>(frame.size()));
    EXPECT_EQ(rinex.observations.ready.week, c.week);
    EXPECT_EQ(rinex.observations.ready.milliseconds, c.milliseconds);
}

INSTANTIATE_TEST_SUITE_P(
    Constellations, MsmTime,
    ::testing::Values(
        TimeCase{"Gps", 1077, 100000500, 100000, 2400, 100000500},
        TimeCase{"Galileo", 1094, 100001000, 100000, 2400, 100001000},
        TimeCase{"Qzss", 1114, 99999000, 100000, 2400, 99999000},
        TimeCase{"Sbas", 1104, 100000000, 100000, 2400, 100000000},
        // BeiDou time runs 14 s behind GPS time.
        TimeCase{"Beidou", 1124, 99986000, 100000, 2400, 100000000},
        // Days 1 (Monday) and 06:46:22 on the GLONASS clock.
        TimeCase{"Glonass", 1084, (1u << 27) | 24382250u, 100000, 2400, 100000250},
        // BeiDou's last seconds of its week are the first of the next GPS week.
        TimeCase{"BeidouIntoNextWeek", 1127, 604795000, 604790, 2401, 9000},
        // A GPS time just after the week's end moves the week on; one just
        // before it, read while the clock is past the end, moves it back.
        TimeCase{"GpsWeekWrap", 1074, 2000, 604795, 2401, 2000},
        TimeCase{"GpsBeforeWrap", 1074, 604799000, 604800 + 3, 2400, 604799000}),
    [](const auto& info) { return std::string(info.param.name); });

// One GPS satellite in a legacy 1004 and in an MSM of the same epoch, in
// either order: the legacy values are written.
TEST_F(MsmAssembly, LegacyWinsOverMsmForTheSameSatellite) {
    for (const bool legacyFirst : {true, false}) {
        SCOPED_TRACE(legacyFirst ? "1004 first" : "MSM first");
        RTCM3Rinex converter(nullptr, kStart);
        test::LegacySat legacy;  // G05, pr 1000000 x 0.02 m, ambiguity 70
        MsmSatSpec msm;          // G05 and G09
        MsmSatSpec other;
        other.id = 9;
        const auto frame1004 = test::LegacyObservation(1004, 100000000, true, {legacy});
        const auto frameMsm = MsmMessage(1077, 100000000, true, {msm, other});
        const auto next = MsmMessage(1077, 100001000, true, {other});
        for (const auto* f : legacyFirst ? std::vector{&frame1004, &frameMsm}
                                         : std::vector{&frameMsm, &frame1004})
            converter.Input(f->data(), static_cast<int>(f->size()));
        converter.Input(next.data(), static_cast<int>(next.size()));

        const EpochRecord& e = converter.observations.ready;
        ASSERT_EQ(e.satelliteCount, 2);
        const int i = e.satellites[0] == 5 ? 0 : 1;
        EXPECT_EQ(e.values[i][kSlotC1], 20000.0 + 70 * kRangeMs);
        EXPECT_TRUE(e.signalMask[i] & SlotBit(kSlotC2));
        EXPECT_FALSE(e.signalMask[i] & SlotBit(kSlotD1CA));  // nothing of the MSM
        EXPECT_TRUE(e.signalMask[1 - i] & SlotBit(kSlotD1CA));  // G09 from MSM
    }
}

// An epoch of legacy GPS IDs 1 to 62, GLONASS slots 1 to 24 and SBAS PRNs
// 120 to 158 (MSM): more satellites than the 2.11 epoch line can count, so
// the 100th (S58) is not taken. GPS IDs 38 and 39 name no satellite and
// leave GLONASS slots 1 and 2 (rows 38 and 39) alone.
TEST_F(MsmAssembly, AnEpochHoldsNinetyNineSatellites) {
    std::vector<test::LegacySat> gps1(31), gps2(31);
    for (int n = 0; n < 31; ++n) gps1[n].id = n + 1, gps2[n].id = n + 32;
    const auto msm = [](int count) {
        std::vector<MsmSatSpec> sats(static_cast<std::size_t>(count));
        for (int n = 0; n < count; ++n) sats[static_cast<std::size_t>(n)].id = n + 1;
        return sats;
    };
    const std::uint32_t glonassTod = (100000 - 18 + 10800) % 86400 * 1000;
    Feed(test::LegacyObservation(1004, 100000000, true, gps1));
    Feed(test::LegacyObservation(1004, 100000000, true, gps2));
    Feed(MsmMessage(1084, (1u << 27) | glonassTod, true, msm(24)));
    Feed(MsmMessage(1104, 100000000, false, msm(39)));

    const EpochRecord& e = rinex.observations.ready;
    ASSERT_EQ(e.satelliteCount, 99);
    EXPECT_EQ(Find(158), -1);
    ASSERT_GE(Find(38), 0);
    EXPECT_EQ(Value(Find(38), kSlotSource), kFromMsm);
    EXPECT_EQ(Value(Find(39), kSlotSource), kFromMsm);
    ObservationColumns columns;
    columns.Build(SlotBit(kSlotC1));
    static char out[kEpochRecordTextSize];
    const std::string text(out, static_cast<std::size_t>(columns.ComposeEpoch(
                                    e, platform::CalendarTime{2026, 1, 5, 3, 46, 40}, out)));
    EXPECT_EQ(text.substr(0, 41), " 26 01 05 03 46 40.0000000 00 99G01G02G03");
    EXPECT_NE(text.find("\n" + std::string(32, ' ') + "S55S56S57\n"), std::string::npos);
}

// Cells whose values the message marks invalid, and a satellite whose rough
// range is invalid, leave their slots empty.
TEST_F(MsmAssembly, InvalidFieldsLeaveSlotsEmpty) {
    MsmSatSpec good, noRange;
    good.cells = {MsmCellSpec{2, -524288, -8388608, 5, 0, 0, -16384}};
    noRange.id = 9;
    noRange.roughMs = 255;
    Feed(MsmMessage(1077, 100000000, false, {good, noRange}));
    const int i = Find(5), j = Find(9);
    ASSERT_GE(i, 0);
    ASSERT_GE(j, 0);
    EXPECT_EQ(rinex.observations.ready.signalMask[i], 0u);
    EXPECT_EQ(rinex.observations.ready.signalMask[j], SlotBit(kSlotD1CA) | SlotBit(kSlotS1CA));
}

}  // namespace
}  // namespace corvane

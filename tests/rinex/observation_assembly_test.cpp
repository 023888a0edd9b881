// Epoch assembly from the legacy observation messages: the arithmetic of the
// values, the indicators, the time tags and when an epoch is complete.
#include "rinex/observation_assembly.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/rinex/legacy_observation_messages.h"

namespace corvane {
namespace {

using test::LegacyObservation;
using test::LegacySat;

constexpr double kL1 = 0.19029367279836487;

class Assembly : public ::testing::Test {
protected:
    // Decodes one message; returns whether an epoch became ready.
    bool Decode(int number, std::uint32_t epochMs, bool synchronous,
                const std::vector<LegacySat>& sats, int station = 0) {
        const auto frame = LegacyObservation(number, epochMs, synchronous, sats, -1, station);
        BitCursor in(frame.data() + 3, frame.size() - 6, 12);
        return number >= 1009 ? assembly.DecodeGlonass(in, number, clock)
                              : assembly.DecodeGps(in, number, clock);
    }
    const EpochRecord& Ready() const { return assembly.ready; }

    ObservationAssembly assembly;
    ConverterClock clock{2400, 100000, 18};
};

TEST_F(Assembly, ValuesOf1004WithAmbiguityAndWithInvalidFields) {
    LegacySat s;  // pr 1000000, phase difference 2000, ambiguity 70
    LegacySat invalid;
    invalid.id = 12;
    invalid.phaseDiff = -524288;
    invalid.codeDiff2 = -8192;
    invalid.phaseDiff2 = -524288;
    invalid.cnr1 = 0;
    ASSERT_TRUE(Decode(1004, 100000000, false, {s, invalid}));
    const EpochRecord& r = Ready();
    ASSERT_EQ(r.satelliteCount, 2);
    EXPECT_NEAR(r.values[0][kSlotC1], 21005472.06, 1e-6);
    EXPECT_NEAR(r.values[0][kSlotL1CA], 21005473.06 / kL1, 1e-6);
    EXPECT_NEAR(r.values[0][kSlotL1CA], 110384505.964, 1e-3);
    EXPECT_NEAR(r.values[0][kSlotS1CA], 45.0, 1e-12);
    EXPECT_EQ(r.strength1[0], 9);  // 180 / 16 = 11, limited to 9
    EXPECT_EQ(r.strength2[0], 9);
    EXPECT_NEAR(r.values[0][kSlotC2], 20000.2 + 70 * 299792.458, 1e-6);
    EXPECT_EQ(r.signalMask[0], SlotBit(kSlotC1) | SlotBit(kSlotL1CA) | SlotBit(kSlotS1CA) |
                                   SlotBit(kSlotC2) | SlotBit(kSlotL2CA) | SlotBit(kSlotS2CA));
    // Invalid phase: the code stays, only the phase slot is empty.
    EXPECT_EQ(r.signalMask[1], SlotBit(kSlotC1) | SlotBit(kSlotS2CA));
    EXPECT_NEAR(r.values[1][kSlotC1], 21005472.06, 1e-6);
    EXPECT_EQ(r.strength1[1], 0);
}

TEST_F(Assembly, AmbiguityZeroAndMessagesWithoutStrength) {
    LegacySat s;
    s.ambiguity = 0;
    s.cnr1 = 20;  // 20 / 16 = 1
    ASSERT_TRUE(Decode(1002, 100000000, false, {s}));
    EXPECT_NEAR(Ready().values[0][kSlotC1], 20000.0, 1e-9);
    EXPECT_EQ(Ready().strength1[0], 1);
    s.cnr1 = 8;  // below 16: still digit 1
    ASSERT_TRUE(Decode(1002, 100001000, false, {s}));
    EXPECT_EQ(Ready().strength1[0], 1);
    ASSERT_TRUE(Decode(1001, 100002000, false, {s}));
    EXPECT_EQ(Ready().strength1[0], 0);
    EXPECT_EQ(Ready().signalMask[0], SlotBit(kSlotC1) | SlotBit(kSlotL1CA));
    s.l1Code = 1;
    s.l2Code = 1;
    ASSERT_TRUE(Decode(1003, 100003000, false, {s}));
    EXPECT_EQ(Ready().signalMask[0],
              SlotBit(kSlotP1) | SlotBit(kSlotL1P) | SlotBit(kSlotP2) | SlotBit(kSlotL2P));
    EXPECT_EQ(Ready().strength2[0], 0);
}

TEST_F(Assembly, LockTimeFlagsAgainstThePreviousMessage) {
    LegacySat s;
    s.lock1 = 0;
    s.lock2 = 50;
    s.l2Code = 2;  // cross-correlated P(Y)
    ASSERT_TRUE(Decode(1004, 100000000, false, {s}));
    EXPECT_EQ(Ready().lockFlags[0], kLossOfLockL1 | kCrossCorrelatedL2);
    s.lock1 = 10;  // grew
    s.lock2 = 50;  // equal
    s.l2Code = 1;
    ASSERT_TRUE(Decode(1004, 100001000, false, {s}));
    EXPECT_EQ(Ready().lockFlags[0], 0);
    s.lock1 = 9;   // shrank
    s.lock2 = 40;  // shrank
    ASSERT_TRUE(Decode(1004, 100002000, false, {s}));
    EXPECT_EQ(Ready().lockFlags[0], kLossOfLockL1 | kLossOfLockL2);
    // A 1001 carries no L2: the L2 lock time of the 1004 before it stays.
    ASSERT_TRUE(Decode(1001, 100003000, false, {s}));
    s.lock2 = 39;
    ASSERT_TRUE(Decode(1004, 100004000, false, {s}));
    EXPECT_EQ(Ready().lockFlags[0], kLossOfLockL2);
}

// Lock times are kept per satellite and band: what happens to one message
// never stands for a satellite it does not carry.
TEST_F(Assembly, LockTimesPerSatelliteAcrossMessages) {
    struct Step {
        std::uint32_t ms;
        bool synchronous;
        std::vector<std::pair<int, int>> sats;  // id, L1 lock time
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int id;        // the satellite looked at in the last epoch
        bool slipped;  // its L1 loss of lock
    };
    const Case cases[] = {
        // One epoch in two messages (S = 1, then S = 0); G12 drops in the second.
        {"split epoch",
         {{100000000, true, {{5, 50}}},
          {100000000, false, {{12, 50}}},
          {100001000, true, {{5, 51}}},
          {100001000, false, {{12, 20}}}},
         12,
         true},
        {"split epoch, no drop",
         {{100000000, true, {{5, 50}}},
          {100000000, false, {{12, 50}}},
          {100001000, true, {{5, 51}}},
          {100001000, false, {{12, 51}}}},
         12,
         false},
        // G12 absent for one message, back with a smaller lock time.
        {"absent and back",
         {{100000000, false, {{5, 50}, {12, 50}}},
          {100001000, false, {{5, 51}}},
          {100002000, false, {{5, 52}, {12, 40}}}},
         12,
         true},
        // Back after a gap longer than the indicator can tell: nothing to
        // compare with.
        {"back after 938 s",
         {{100000000, false, {{12, 127}}}, {100938000, false, {{12, 100}}}},
         12,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        assembly = ObservationAssembly{};
        for (const Step& step : c.steps) {
            std::vector<LegacySat> sats;
            for (auto [id, lock] : step.sats) {
                LegacySat s;
                s.id = id;
                s.lock1 = lock;
                sats.push_back(s);
            }
            Decode(1004, step.ms, step.synchronous, sats);
        }
        const EpochRecord& r = Ready();
        int i = 0;
        while (i < r.satelliteCount && r.satellites[i] != c.id) ++i;
        ASSERT_LT(i, r.satelliteCount);
        EXPECT_EQ((r.lockFlags[i] & kLossOfLockL1) != 0, c.slipped);
    }
}

TEST_F(Assembly, AnotherStationEndsTheEpochAndFlagsEverySatellite) {
    LegacySat a, b;
    b.id = 12;
    EXPECT_TRUE(Decode(1004, 100000000, false, {a, b}));
    EXPECT_TRUE(Decode(1004, 100001000, false, {a, b}));
    EXPECT_EQ(Ready().lockFlags[0], 0);
    EXPECT_EQ(Ready().station, 0);
    // The same time from station 59: a new epoch, not a merge.
    EXPECT_FALSE(Decode(1004, 100001000, true, {a}, 59));
    EXPECT_TRUE(Decode(1004, 100002000, false, {a, b}, 59));
    EXPECT_EQ(Ready().station, 59);
    EXPECT_EQ(Ready().satelliteCount, 1);
    EXPECT_EQ(Ready().lockFlags[0], kLossOfLockL1 | kLossOfLockL2);
    // G12's first observation from station 59 is flagged too, G05's second not.
    EXPECT_TRUE(Decode(1004, 100003000, false, {a}, 59));
    EXPECT_EQ(Ready().lockFlags[0], 0);
    EXPECT_EQ(Ready().lockFlags[1], kLossOfLockL1 | kLossOfLockL2);
}

TEST_F(Assembly, SynchronousFlagMergesMessagesOfOneEpoch) {
    LegacySat a, b, c;
    b.id = 12;
    c.id = 1;
    c.fcn = 7;
    EXPECT_FALSE(Decode(1004, 100000000, true, {a, b}));
    // GLONASS of the same second joins the epoch (GLONASS time 3 h ahead,
    // 18 leap seconds behind).
    const std::uint32_t glonassMs = ((100000 - 86400 + 10800 - 18) % 86400) * 1000;
    EXPECT_FALSE(Decode(1012, glonassMs, true, {c}));
    LegacySat later = a;
    later.pr = 1000100;
    EXPECT_TRUE(Decode(1004, 100000000, false, {later}));
    const EpochRecord& r = Ready();
    ASSERT_EQ(r.satelliteCount, 3);
    EXPECT_EQ(r.satellites[0], 5);
    EXPECT_EQ(r.satellites[1], 12);
    EXPECT_EQ(r.satellites[2], 38);
    EXPECT_EQ(r.week, 2400);
    EXPECT_EQ(r.milliseconds, 100000000);
    // A satellite in both messages keeps the later values.
    EXPECT_NEAR(r.values[0][kSlotC1], 20002.0 + 70 * 299792.458, 1e-6);
    EXPECT_EQ(assembly.pending.week, 0);
}

TEST_F(Assembly, FiveHertzEpochsKeepTheirMilliseconds) {
    LegacySat s;
    EXPECT_TRUE(Decode(1004, 10200, false, {s}));
    EXPECT_EQ(Ready().milliseconds, 10200);
    EXPECT_TRUE(Decode(1004, 10600, false, {s}));
    EXPECT_EQ(Ready().milliseconds, 10600);
    EXPECT_EQ(clock.gpsSecond, 10);
    // Flag 1 throughout: each message of a later instant hands the one
    // before over and stays pending itself.
    EXPECT_FALSE(Decode(1004, 10800, true, {s}));
    EXPECT_TRUE(Decode(1004, 11000, true, {s}));
    EXPECT_EQ(Ready().milliseconds, 10800);
    EXPECT_EQ(assembly.pending.milliseconds, 11000);
    EXPECT_EQ(assembly.pending.satelliteCount, 1);
    // GLONASS of the same instant joins the GPS epoch.
    const std::uint32_t glonassMs = (11 + 10800 - 18) * 1000;
    EXPECT_TRUE(Decode(1012, glonassMs, false, {s}));
    EXPECT_EQ(Ready().milliseconds, 11000);
    EXPECT_EQ(Ready().satelliteCount, 2);
}

TEST_F(Assembly, WeekWrapOfGpsTime) {
    LegacySat s;
    Decode(1004, 604799000, false, {s});
    EXPECT_EQ(clock.gpsWeek, 2400);
    EXPECT_EQ(clock.gpsSecond, 604799);
    Decode(1004, 1000, false, {s});
    EXPECT_EQ(clock.gpsWeek, 2401);
    EXPECT_EQ(clock.gpsSecond, 1);
    EXPECT_EQ(Ready().week, 2401);
}

TEST_F(Assembly, GlonassDayResolution) {
    LegacySat s;
    s.id = 7;
    Decode(1012, 24382000, false, {s});
    EXPECT_EQ(clock.gpsWeek, 2400);
    EXPECT_EQ(clock.gpsSecond, 100000);
    EXPECT_EQ(Ready().satellites[0], 44);

    // 23:59:50 on the GLONASS clock; tk 100 s belongs to the next day.
    const std::int32_t day = 100000 / 86400 * 86400;
    clock.gpsSecond = day + 86400 - 10800 + 18 - 10;
    Decode(1012, 100000, false, {s});
    EXPECT_EQ(clock.gpsSecond, day + 86400 - 10800 + 18 + 100);
    // And the other way: 00:00:10 on the clock, tk 23:59:00 of the day before.
    clock.gpsSecond = day + 86400 - 10800 + 18 + 10;
    Decode(1012, 86340000, false, {s});
    EXPECT_EQ(clock.gpsSecond, day + 86400 - 10800 + 18 - 60);
}

TEST_F(Assembly, SatelliteNumbersAndDroppedSlots) {
    std::vector<LegacySat> gps(3);
    gps[0].id = 40;
    gps[1].id = 63;
    gps[2].id = 33;
    ASSERT_TRUE(Decode(1004, 100000000, false, gps));
    EXPECT_EQ(Ready().satellites[0], 120);
    EXPECT_EQ(Ready().satellites[1], 143);
    EXPECT_EQ(Ready().satellites[2], 33);

    std::vector<LegacySat> glonass(4);
    glonass[0].id = 0;
    glonass[1].id = 24;
    glonass[2].id = 25;
    glonass[3].id = 1;
    ASSERT_TRUE(Decode(1012, 24383000, false, glonass));
    ASSERT_EQ(Ready().satelliteCount, 2);
    EXPECT_EQ(Ready().satellites[0], 61);
    EXPECT_EQ(Ready().satellites[1], 38);
    // Nothing of a dropped slot remains in the unused rows.
    EXPECT_EQ(Ready().signalMask[2], 0u);
    EXPECT_EQ(Ready().values[2][kSlotC1], 0.0);
}

}  // namespace
}  // namespace corvane

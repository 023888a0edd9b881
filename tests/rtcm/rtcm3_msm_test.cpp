// MSM4 and MSM7: the cell walk, satellite numbers, signal labels, scaling,
// and the messages whose cells would not fit the record.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/rtcm3_test_messages.h"

namespace corvane {
namespace {

using test::Frame;
using test::MsmSat;
using test::MsmSig;

void Feed(RTCM3Dec& dec, const std::vector<std::uint8_t>& frame) {
    dec.Input(frame.data(), static_cast<int>(frame.size()));
}

constexpr std::uint64_t Sat(int id) { return 1ull << (64 - id); }
constexpr std::uint32_t Sig(int id) { return 1u << (32 - id); }

std::vector<MsmSig> Cells(int n) {
    std::vector<MsmSig> cells(n);
    for (int i = 0; i < n; ++i) {
        cells[i].finePr = -100 * (i + 1);
        cells[i].finePhase = 1000 * (i + 1);
        cells[i].lock = i + 1;
        cells[i].half = i % 2;
        cells[i].cnr = 30 + i;
        cells[i].rate = -7 * (i + 1);
    }
    return cells;
}

TEST(Rtcm3Msm, Msm4CellWalkWithAllCells) {
    RTCM3Dec dec(nullptr);
    std::vector<MsmSat> sats(2);
    sats[0] = {70, 512, 0};
    sats[1] = {255, 1023, 0};
    Feed(dec, Frame(test::MessageMsm(1074, 345600123, Sat(3) | Sat(17), Sig(2) | Sig(9), 0xF, 4,
                                     sats, Cells(4))));
    const RecMsm4& r = dec.Records().msm4[0];
    EXPECT_DOUBLE_EQ(r.epochTime, 345600.123);
    ASSERT_EQ(r.cellCount, 4);
    const int sat[] = {3, 3, 17, 17};
    const char* sig[] = {"L1C", "L2P", "L1C", "L2P"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.cells[i].sat, sat[i]);
        EXPECT_STREQ(r.cells[i].signal, sig[i]);
        EXPECT_DOUBLE_EQ(r.cells[i].finePseudorange, -100.0 * (i + 1) / 16777216.0);
        EXPECT_DOUBLE_EQ(r.cells[i].finePhase, 1000.0 * (i + 1) / 536870912.0);
        EXPECT_EQ(r.cells[i].lockTime, i + 1);
        EXPECT_EQ(r.cells[i].halfCycle, i % 2);
        EXPECT_EQ(r.cells[i].cnr, 30 + i);
    }
    EXPECT_EQ(r.cells[0].roughMs, 70);
    EXPECT_DOUBLE_EQ(r.cells[1].roughModulo, 0.5);
    EXPECT_EQ(r.cells[3].roughMs, 255);
    EXPECT_DOUBLE_EQ(r.cells[2].roughModulo, 1023.0 / 1024.0);
}

TEST(Rtcm3Msm, Msm4CellWalkWithACellMissing) {
    RTCM3Dec dec(nullptr);
    // Cell bits 1011: the pair (3, L2P) has no signal data.
    Feed(dec, Frame(test::MessageMsm(1074, 0, Sat(3) | Sat(17), Sig(2) | Sig(9), 0xB, 4, {{}, {}},
                                     Cells(3))));
    const RecMsm4& r = dec.Records().msm4[0];
    ASSERT_EQ(r.cellCount, 3);
    EXPECT_EQ(r.cells[0].sat, 3);
    EXPECT_STREQ(r.cells[0].signal, "L1C");
    EXPECT_EQ(r.cells[1].sat, 17);
    EXPECT_STREQ(r.cells[1].signal, "L1C");
    EXPECT_EQ(r.cells[2].sat, 17);
    EXPECT_STREQ(r.cells[2].signal, "L2P");
    EXPECT_EQ(r.cells[2].cnr, 32);
    EXPECT_EQ(r.cells[2].lockTime, 3);
}

TEST(Rtcm3Msm, Msm7FieldsAndSatelliteNumbers) {
    RTCM3Dec dec(nullptr);
    std::vector<MsmSat> sats = {{10, 100, -8192}, {20, 200, 8191}};
    std::vector<MsmSig> cells = Cells(2);
    cells[1].finePr = -524288;
    cells[1].lock = 1023;
    cells[1].cnr = 1023;
    Feed(dec,
         Frame(test::MessageMsm(1087, 86400000, Sat(1) | Sat(24), Sig(2), 0x3, 2, sats, cells)));
    const RecMsm7& r = dec.Records().msm7[1];
    ASSERT_EQ(r.cellCount, 2);
    EXPECT_DOUBLE_EQ(r.epochTime, 86400.0);
    EXPECT_EQ(r.cells[0].sat, 41);
    EXPECT_EQ(r.cells[1].sat, 64);
    EXPECT_STREQ(r.cells[0].signal, "G1C");
    EXPECT_EQ(r.cells[0].roughMs, 10);
    EXPECT_DOUBLE_EQ(r.cells[0].roughModulo, 100.0 / 1024.0);
    EXPECT_EQ(r.cells[0].roughRate, -8192);
    EXPECT_EQ(r.cells[1].roughRate, 8191);
    EXPECT_DOUBLE_EQ(r.cells[0].finePseudorange, -100.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(r.cells[1].finePseudorange, -524288.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(r.cells[1].finePhase, 2000.0 / 2147483648.0);
    EXPECT_EQ(r.cells[1].lockTime, 1023);
    EXPECT_EQ(r.cells[1].halfCycle, 1);
    EXPECT_DOUBLE_EQ(r.cells[0].cnr, 30 * 0.0625);
    EXPECT_DOUBLE_EQ(r.cells[1].cnr, 1023 * 0.0625);
    EXPECT_DOUBLE_EQ(r.cells[0].finePhaseRate, -0.0007);
    EXPECT_DOUBLE_EQ(r.cells[1].finePhaseRate, -0.0014);

    Feed(dec, Frame(test::MessageMsm(1127, 0, Sat(1), Sig(1) | Sig(2), 0x3, 2, {{}}, Cells(2))));
    const RecMsm7& b = dec.Records().msm7[3];
    ASSERT_EQ(b.cellCount, 2);
    EXPECT_EQ(b.cells[0].sat, 161);
    EXPECT_STREQ(b.cells[0].signal, "   ");  // BeiDou signal ID 1 has no label
    EXPECT_STREQ(b.cells[1].signal, "B1I");
}

TEST(Rtcm3Msm, EveryConstellationLandsInItsRecord) {
    RTCM3Dec dec(nullptr);
    const int numbers[] = {1074, 1084, 1094, 1114, 1124};
    const int first[] = {1, 41, 81, 121, 161};
    for (int i = 0; i < 5; ++i) {
        Feed(dec, Frame(test::MessageMsm(numbers[i], 0, Sat(1), Sig(2), 1, 1, {{}}, Cells(1))));
        EXPECT_EQ(dec.Records().msm4[i].cellCount, 1);
        EXPECT_EQ(dec.Records().msm4[i].cells[0].sat, first[i]);
    }
    EXPECT_STREQ(dec.Records().msm4[3].cells[0].signal, "L1C");
    EXPECT_STREQ(MsmSignalLabel(0, 1), "   ");
    EXPECT_STREQ(MsmSignalLabel(0, 32), "L1X");
    EXPECT_STREQ(MsmSignalLabel(2, 24), "E5X");
    EXPECT_STREQ(MsmSignalLabel(3, 2), "   ");
    EXPECT_STREQ(MsmSignalLabel(4, 11), "L6X");
}

TEST(Rtcm3Msm, SixtyFourCellsAreTakenMoreAreRejected) {
    RTCM3Dec dec(nullptr);
    // 8 satellites x 8 signals, all cells: the largest message that fits.
    std::uint64_t sats = 0;
    for (int s = 1; s <= 8; ++s) sats |= Sat(s);
    std::uint32_t sigs = 0;
    for (int s = 1; s <= 8; ++s) sigs |= Sig(s);
    Feed(dec, Frame(test::MessageMsm(1077, 0, sats, sigs, ~0ull, 64, std::vector<MsmSat>(8),
                                     Cells(64))));
    const RecMsm7& r = dec.Records().msm7[0];
    ASSERT_EQ(r.cellCount, 64);
    EXPECT_EQ(r.cells[63].sat, 8);
    EXPECT_EQ(r.cells[63].lockTime, 64);

    // 9 x 8 = 72 mask bits: rejected, the record stays as it was.
    Feed(dec, Frame(test::MessageMsm(1077, 0, sats | Sat(9), sigs, 0, 0, {}, {})));
    EXPECT_EQ(r.cellCount, 64);
    // A message cut inside its signal data is rejected too.
    auto w = test::MessageMsm(1074, 0, Sat(1), Sig(2), 1, 1, {{}}, Cells(1));
    auto bytes = w.Bytes();
    bytes.resize(bytes.size() - 3);
    Feed(dec, test::BuildRtcm3Frame(bytes));
    EXPECT_EQ(dec.Records().msm4[0].cellCount, 0);
}

}  // namespace
}  // namespace corvane

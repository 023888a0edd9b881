// The legacy RTCM 3 messages against hand-computed values, and the messages
// the decoder must reject without a trace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "net/ntrip_channel.h"
#include "platform/queue_window_receiver.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/rtcm3_test_messages.h"

namespace corvane {
namespace {

using test::Frame;

void Feed(RTCM3Dec& dec, const std::vector<std::uint8_t>& frame) {
    dec.Input(frame.data(), static_cast<int>(frame.size()));
}

// A decoder with a channel whose window collects the notifications.
struct Harness {
    platform::QueueWindowReceiver window;
    NtripChannel channel{&window, ChannelContext{}};
    MountpointEntry entry;
    RTCM3Dec* dec;
    Harness() {
        channel.entry = &entry;
        channel.rtcm3 = std::make_unique<RTCM3Dec>(&channel);
        dec = static_cast<RTCM3Dec*>(channel.rtcm3.get());
    }
    std::vector<std::uint32_t> Codes() {
        std::vector<std::uint32_t> codes;
        for (const auto& m : window.Drain()) codes.push_back(static_cast<std::uint32_t>(m.lParam));
        return codes;
    }
};

TEST(Rtcm3Messages, Observations1004) {
    Harness h;
    test::Obs1004 a;
    test::Obs1004 b;
    b.id = 45;
    b.l1Code = 1;
    b.l1Pr = 0xFFFFFF;
    b.l1PhaseDiff = -524288;
    b.ambiguity = 255;
    b.l2Diff = 8191;
    Feed(*h.dec, Frame(test::Message1004({a, b})));
    const Rec1004& r = h.dec->Records().rec1004;
    ASSERT_EQ(r.satCount, 2);
    EXPECT_EQ(r.sats[0].sat, 5);
    EXPECT_EQ(r.sats[0].l1Code, 0);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Pseudorange, 20000.0);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Phase, 20000.0 - 0.0015);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Ambiguity, 70 * 299792.458);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Cnr, 45.0);
    EXPECT_EQ(r.sats[0].l2Code, 2);
    EXPECT_DOUBLE_EQ(r.sats[0].l2Diff, -0.14);
    EXPECT_DOUBLE_EQ(r.sats[0].l2Phase, 20000.0 + 0.0055);
    EXPECT_DOUBLE_EQ(r.sats[0].l2Cnr, 40.0);
    EXPECT_EQ(r.sats[1].sat, 125);  // SBAS IDs from 40 on
    EXPECT_EQ(r.sats[1].l1Code, 1);
    EXPECT_DOUBLE_EQ(r.sats[1].l1Pseudorange, 16777215 * 0.02);
    EXPECT_DOUBLE_EQ(r.sats[1].l1Phase, 16777215 * 0.02 - 262.144);
    EXPECT_DOUBLE_EQ(r.sats[1].l1Ambiguity, 255 * 299792.458);
    EXPECT_DOUBLE_EQ(r.sats[1].l2Diff, 8191 * 0.02);
    EXPECT_EQ(h.Codes(), std::vector<std::uint32_t>{0x80010000u});

    // No satellites: the count drops to 0, older slots stay.
    Feed(*h.dec, Frame(test::Message1004({})));
    EXPECT_EQ(r.satCount, 0);
    EXPECT_EQ(h.Codes().size(), 1u);
}

TEST(Rtcm3Messages, StationAndSystemParameters) {
    Harness h;
    // -4052052.7461 m, a western position; Y positive; Z the largest negative value.
    Feed(*h.dec, Frame(test::Message1006(-40520527461LL, 12345, -(1LL << 37), 65535)));
    const Rec1006& s = h.dec->Records().rec1006;
    EXPECT_DOUBLE_EQ(s.x, -4052052.7461);
    EXPECT_DOUBLE_EQ(s.y, 1.2345);
    EXPECT_DOUBLE_EQ(s.z, -13743895.3472);
    EXPECT_DOUBLE_EQ(s.antennaHeight, 6.5535);

    Feed(*h.dec, Frame(test::Message1013(44251, 3600, 18)));
    EXPECT_EQ(h.dec->Records().rec1013.mjd, 44251);
    EXPECT_EQ(h.dec->Records().rec1013.secondsOfDay, 3600);
    EXPECT_EQ(h.dec->Records().rec1013.leapSeconds, 18);
    EXPECT_EQ(h.dec->Records().gpsWeek, 1);
    EXPECT_EQ(h.dec->Records().gpsSecond, 3600);
    Feed(*h.dec, Frame(test::Message1013(60000, 86399, 18)));
    EXPECT_EQ(h.dec->Records().gpsWeek, 2250);  // 15756 days
    EXPECT_EQ(h.dec->Records().gpsSecond, 6 * 86400 + 86399);
    EXPECT_EQ(h.Codes(), (std::vector<std::uint32_t>{0x80020000u, 0x80100000u, 0x80100000u}));
}

TEST(Rtcm3Messages, GlonassObservations1012) {
    Harness h;
    std::vector<test::Obs1012> sats(26);
    for (int i = 0; i < 26; ++i) sats[i].id = i + 1;
    sats[1].id = 41;
    sats[0].fcn = 0;
    sats[0].l1Pr = (1u << 25) - 1;
    sats[0].ambiguity = 127;
    Feed(*h.dec, Frame(test::Message1012(sats)));
    const Rec1012& r = h.dec->Records().rec1012;
    ASSERT_EQ(r.satCount, 24);  // 26 announced, the first 24 kept
    EXPECT_EQ(r.sats[0].sat, 1);
    EXPECT_EQ(r.sats[1].sat, 121);
    EXPECT_EQ(r.sats[23].sat, 24);
    EXPECT_EQ(r.sats[0].fcn, 0);
    EXPECT_EQ(r.sats[2].fcn, 8);
    EXPECT_EQ(r.sats[2].l1Code, 1);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Pseudorange, 33554431 * 0.02);
    EXPECT_DOUBLE_EQ(r.sats[0].l1Ambiguity, 127 * 599584.916);
    EXPECT_DOUBLE_EQ(r.sats[2].l1Pseudorange, 40000.0);
    EXPECT_DOUBLE_EQ(r.sats[2].l1Phase, 40000.0025);
    EXPECT_DOUBLE_EQ(r.sats[2].l1Cnr, 50.0);
    EXPECT_EQ(r.sats[2].l2Code, 3);
    EXPECT_DOUBLE_EQ(r.sats[2].l2Phase, 40000.0 - 0.0045);
    EXPECT_DOUBLE_EQ(r.sats[2].l2Cnr, 37.5);
    EXPECT_EQ(h.Codes(), std::vector<std::uint32_t>{0x80080000u});
}

TEST(Rtcm3Messages, GpsEphemeris1019) {
    Harness h;
    test::Eph1019 e;
    Feed(*h.dec, Frame(test::Message1019(e)));
    e.prn = 7;
    e.week = 1023;
    e.health = 63;
    Feed(*h.dec, Frame(test::Message1019(e)));
    const Rtcm3Records& r = h.dec->Records();
    EXPECT_EQ(r.lastGpsPrn, 7);
    const Rec1019& p = r.rec1019[4];
    const double pi = 3.1415926535898;
    EXPECT_EQ(p.week, 1124);
    EXPECT_EQ(p.accuracy, 2);
    EXPECT_EQ(p.codeOnL2, 1);
    EXPECT_DOUBLE_EQ(p.idot, -100 * pi / 8796093022208.0);
    EXPECT_EQ(p.iode, 77);
    EXPECT_EQ(p.toc, 360000);
    EXPECT_DOUBLE_EQ(p.af2, -1.0 / 36028797018963968.0);
    EXPECT_DOUBLE_EQ(p.af1, -2000.0 / 8796093022208.0);
    EXPECT_DOUBLE_EQ(p.af0, 123456.0 / 2147483648.0);
    EXPECT_EQ(p.iodc, 333);
    EXPECT_DOUBLE_EQ(p.crs, -5.0 / 32);
    EXPECT_DOUBLE_EQ(p.deltaN, 12000 * pi / 8796093022208.0);
    EXPECT_DOUBLE_EQ(p.m0, -1000000000 * pi / 2147483648.0);
    EXPECT_DOUBLE_EQ(p.cuc, -300.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(p.e, 40000000.0 / 8589934592.0);
    EXPECT_DOUBLE_EQ(p.cus, 600.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(p.sqrtA, 5152.0);
    EXPECT_EQ(p.toe, 360000);
    EXPECT_DOUBLE_EQ(p.cic, 7.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(p.omega0, 2000000000 * pi / 2147483648.0);
    EXPECT_DOUBLE_EQ(p.cis, -8.0 / 536870912.0);
    EXPECT_DOUBLE_EQ(p.i0, 650000000 * pi / 2147483648.0);
    EXPECT_DOUBLE_EQ(p.crc, 6000.0 / 32);
    EXPECT_DOUBLE_EQ(p.omega, -12345678 * pi / 2147483648.0);
    EXPECT_DOUBLE_EQ(p.omegaDot, -20000 * pi / 8796093022208.0);
    EXPECT_DOUBLE_EQ(p.tgd, -11.0 / 2147483648.0);
    EXPECT_EQ(p.health, 0);
    EXPECT_EQ(r.rec1019[6].week, 2047);
    EXPECT_EQ(r.rec1019[6].health, 63);
    EXPECT_EQ(r.rec1019[5].week, 0);
    EXPECT_EQ(h.Codes(), (std::vector<std::uint32_t>{0x80200000u, 0x80200000u}));
}

TEST(Rtcm3Messages, GlonassEphemeris1020) {
    Harness h;
    test::Eph1020 g;
    Feed(*h.dec, Frame(test::Message1020(g)));
    const Rtcm3Records& r = h.dec->Records();
    EXPECT_EQ(r.lastGloSlot, 3);
    const Rec1020& e = r.rec1020[2];
    EXPECT_EQ(e.fcn, -7);
    EXPECT_EQ(e.tkHours, 13);
    EXPECT_EQ(e.tkMinutes, 45);
    EXPECT_EQ(e.tkHalfMinute, 1);
    EXPECT_EQ(e.tbMinutes, 900);
    EXPECT_DOUBLE_EQ(e.xDot, 1000.0 / 1048576.0);
    EXPECT_DOUBLE_EQ(e.x, -2000000.0 / 2048.0);
    EXPECT_DOUBLE_EQ(e.xDDot, 3.0 / 1073741824.0);
    EXPECT_DOUBLE_EQ(e.yDot, -4000.0 / 1048576.0);
    EXPECT_DOUBLE_EQ(e.y, 5000000.0 / 2048.0);
    EXPECT_DOUBLE_EQ(e.yDDot, -1.0 / 1073741824.0);
    EXPECT_DOUBLE_EQ(e.zDot, 7.0 / 1048576.0);
    EXPECT_DOUBLE_EQ(e.z, 12345678.0 / 2048.0);
    EXPECT_DOUBLE_EQ(e.zDDot, 0.0);
    EXPECT_DOUBLE_EQ(e.gamma, -std::ldexp(1.0, -40));
    EXPECT_DOUBLE_EQ(e.tau, -12345.0 / 1073741824.0);
    EXPECT_DOUBLE_EQ(e.deltaTau, 2.0 / 1073741824.0);
    EXPECT_EQ(e.age, 4);
    EXPECT_DOUBLE_EQ(e.tauC, -99999.0 / 2147483648.0);
    EXPECT_DOUBLE_EQ(e.tauGps, 321.0 / 1073741824.0);
    EXPECT_EQ(h.Codes(), std::vector<std::uint32_t>{0x80400000u});
}

TEST(Rtcm3Messages, Descriptors1033) {
    Harness h;
    const std::string d31(31, 'A');
    Feed(*h.dec, Frame(test::Message1033({d31, "SN1", "TRIMBLE NETR9", "5.10", "RX42"})));
    const Rec1033& r = h.dec->Records().rec1033;
    EXPECT_STREQ(r.antennaDescriptor, d31.c_str());
    EXPECT_STREQ(r.antennaSerial, "SN1");
    EXPECT_STREQ(r.receiverType, "TRIMBLE NETR9");
    EXPECT_STREQ(r.receiverFirmware, "5.10");
    EXPECT_STREQ(r.receiverSerial, "RX42");
    // A shorter descriptor leaves nothing of the longer one.
    Feed(*h.dec, Frame(test::Message1033({"AB", "", "R", "F", "S"})));
    EXPECT_EQ(std::memcmp(r.antennaDescriptor, "AB\0\0\0\0\0\0", 8), 0);
    EXPECT_STREQ(r.antennaSerial, "");
    EXPECT_EQ(h.Codes().size(), 2u);

    // A descriptor of 32 characters: nothing changes, nothing is posted.
    Feed(*h.dec, Frame(test::Message1033({std::string(32, 'B'), "X", "X", "X", "X"})));
    EXPECT_STREQ(r.antennaDescriptor, "AB");
    // A serial of 32: the descriptor is kept, nothing is posted.
    Feed(*h.dec, Frame(test::Message1033({"NEW", std::string(32, 'C'), "X", "X", "X"})));
    EXPECT_STREQ(r.antennaDescriptor, "NEW");
    EXPECT_STREQ(r.antennaSerial, "");
    EXPECT_STREQ(r.receiverType, "R");
    EXPECT_TRUE(h.Codes().empty());
    // A firmware text of 32: the texts before it are stored and the message closes.
    Feed(*h.dec, Frame(test::Message1033({"D2", "S2", "T2", std::string(40, 'F'), "Z"})));
    EXPECT_STREQ(r.receiverType, "T2");
    EXPECT_STREQ(r.receiverFirmware, "F");
    EXPECT_STREQ(r.receiverSerial, "S");
    EXPECT_EQ(h.Codes(), std::vector<std::uint32_t>{0x80800000u});
}

// Messages shorter than their fields, and ephemerides of satellites out of
// range, change nothing and post nothing.
TEST(Rtcm3Messages, ShortAndOutOfRangeMessagesAreRejected) {
    Harness h;
    auto cut = [](test::BitWriter w, std::size_t bytes) {
        auto b = w.Bytes();
        b.resize(bytes);
        return test::BuildRtcm3Frame(b);
    };
    test::Obs1004 o;
    // Three satellites announced, two present.
    Feed(*h.dec, Frame(test::Message1004({o, o}, 3)));
    Feed(*h.dec, Frame(test::Message1012({test::Obs1012{}}, 2)));
    Feed(*h.dec, cut(test::Message1006(1, 2, 3, 4), 20));
    Feed(*h.dec, cut(test::Message1013(50000, 1, 2), 8));
    Feed(*h.dec, cut(test::Message1019(test::Eph1019{}), 60));
    Feed(*h.dec, cut(test::Message1020(test::Eph1020{}), 43));
    Feed(*h.dec, cut(test::Message1033({"ANT", "S", "R", "F", "N"}), 12));
    test::Eph1019 e0;
    e0.prn = 0;
    Feed(*h.dec, Frame(test::Message1019(e0)));
    test::Eph1020 g25;
    g25.slot = 25;
    Feed(*h.dec, Frame(test::Message1020(g25)));
    test::Eph1020 g0;
    g0.slot = 0;
    Feed(*h.dec, Frame(test::Message1020(g0)));
    EXPECT_TRUE(h.Codes().empty());
    const Rtcm3Records& r = h.dec->Records();
    EXPECT_EQ(r.rec1004.satCount, 0);
    EXPECT_EQ(r.rec1012.satCount, 0);
    EXPECT_EQ(r.rec1006.x, 0.0);
    EXPECT_EQ(r.rec1013.mjd, 0);
    EXPECT_EQ(r.lastGpsPrn, 0);
    EXPECT_EQ(r.lastGloSlot, 0);
    EXPECT_STREQ(r.rec1033.antennaDescriptor, "");
}

TEST(Rtcm3Messages, ReadersCopyRecordsUnderTheLock) {
    Harness h;
    Feed(*h.dec, Frame(test::Message1006(10000, 20000, 30000, 0)));
    const Rec1006 copy = h.dec->Copy(&Rtcm3Records::rec1006);
    EXPECT_DOUBLE_EQ(copy.z, 3.0);
    const Rec1006 read = h.dec->Read([](const Rtcm3Records& r) { return r.rec1006; });
    EXPECT_DOUBLE_EQ(read.y, 2.0);
    auto lock = h.dec->Lock();
    EXPECT_TRUE(lock.owns_lock());
}

}  // namespace
}  // namespace corvane

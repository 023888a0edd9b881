#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "platform/queue_window_receiver.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm2_words.h"
#include "tests/support/rtcm2_builder.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using test::PackDataWords;
using test::Rtcm2Builder;

// A decoder with a channel as its owner, so that its notifications can be
// counted; the text log stays off.
struct Rig {
    Rig() : channel(&window, ChannelContext{}), decoder(&channel) { channel.entry = &entry; }
    void Feed(const std::string& bytes, std::size_t block = 2048) {
        for (std::size_t i = 0; i < bytes.size(); i += block) {
            const std::size_t n = std::min(block, bytes.size() - i);
            decoder.Input(reinterpret_cast<const std::uint8_t*>(bytes.data() + i),
                          static_cast<int>(n));
        }
    }
    std::vector<std::uint32_t> Codes() {
        std::vector<std::uint32_t> codes;
        for (const auto& m : window.Drain())
            if (m.message == WM_RTCM_DECODED) codes.push_back(static_cast<std::uint32_t>(m.lParam));
        return codes;
    }
    platform::QueueWindowReceiver window;
    MountpointEntry entry;
    NtripChannel channel;
    RTCM2Dec decoder;
};

TEST(Rtcm2Words, BuilderWordsPassParityAndInvertBack) {
    Rtcm2Builder b;
    for (std::uint32_t d : {0x000001u, 0xFFFFFFu, 0x123456u, 0x800000u}) b.Word(d);
    std::uint32_t acc = 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(b.Bytes().data());
    for (std::uint32_t d : {0x000001u, 0xFFFFFFu, 0x123456u, 0x800000u}) {
        rtcm2::AssembleWord(acc, bytes);
        EXPECT_TRUE(rtcm2::ParityOk(acc));
        EXPECT_EQ((acc >> 6) & 0xFFFFFF, d);
        bytes += 5;
    }
    rtcm2::AssembleWord(acc, reinterpret_cast<const std::uint8_t*>("@@@@A"));
    EXPECT_FALSE(rtcm2::ParityOk(acc));
    const std::uint32_t words[2] = {0x3FFFFFC0u, 0};  // d1..d24 all set
    EXPECT_EQ(rtcm2::uint32Bits(words, 20, 8), 0xF0u);
    EXPECT_EQ(rtcm2::int32Bits(words, 0, 4), -1);
}

TEST(Rtcm2Dec, Type1WithScaleZeroIdAndSatelliteCount) {
    Rig rig;
    // Three satellites fill five words exactly; in six words a fourth would
    // need 160 of 144 bits.
    auto sat = [](int scale, int udre, int id, int prc, int rrc, int iod) {
        return std::vector<std::pair<std::int64_t, int>>{
            {scale, 1}, {udre, 2}, {id, 5}, {prc & 0xFFFF, 16}, {rrc & 0xFF, 8}, {iod, 8}};
    };
    std::vector<std::pair<std::int64_t, int>> fields;
    for (const auto& s :
         {sat(1, 1, 0, -100, -3, 7), sat(0, 2, 5, 1234, 10, 255), sat(0, 3, 31, -1, 0, 0)})
        fields.insert(fields.end(), s.begin(), s.end());
    Rtcm2Builder b;
    b.Raw("\x12\x34\r\n");  // bytes outside the six-of-eight range are skipped
    b.Message(1, 5, 1000, 0, 0, PackDataWords(fields));
    auto six = PackDataWords(fields);
    six.push_back(0);
    b.Message(9, 5, 1001, 1, 0, six);
    rig.Feed(b.Bytes());
    EXPECT_EQ(rig.Codes(), (std::vector<std::uint32_t>{MessageCode(kKindRtcm2Type1, 0),
                                                       MessageCode(kKindRtcm2Type9, 0)}));
    const Rec01& r = rig.decoder.Records().rec01;
    EXPECT_DOUBLE_EQ(r.zCount, 600.0);
    EXPECT_EQ(r.sats[0].sat, 32);
    EXPECT_DOUBLE_EQ(r.sats[0].prc, -32.0);
    EXPECT_DOUBLE_EQ(r.sats[0].rrc, -0.096);
    EXPECT_EQ(r.sats[0].iod, 7);
    EXPECT_NEAR(r.sats[1].prc, 24.68, 1e-9);
    EXPECT_NEAR(r.sats[1].rrc, 0.02, 1e-12);
    EXPECT_EQ(r.sats[2].sat, 31);
    EXPECT_EQ(r.sats[2].udre, 3);
    EXPECT_EQ(r.sats[3].sat, 0);
    EXPECT_EQ(rig.decoder.Records().rec09.sats[3].sat, 0);
    EXPECT_EQ(rig.decoder.Records().rec09.sats[2].sat, 31);
}

TEST(Rtcm2Dec, Types3And7) {
    Rig rig;
    Rtcm2Builder b;
    b.Message(3, 1, 10, 0, 0, PackDataWords({{-305000012, 32}, {412345678, 32}, {379000000, 32}}));
    b.Message(
        7, 1, 11, 0, 0,
        PackDataWords({{static_cast<std::int64_t>(std::lround(33.5 * 32767 / 90)) & 0xFFFF, 16},
                       {static_cast<std::int64_t>(std::lround(-126.5 * 32767 / 180)) & 0xFFFF, 16},
                       {300, 10},
                       {1234, 12},
                       {0, 2},
                       {777, 10},
                       {4, 3},
                       {1, 1},
                       {0, 1},
                       {1, 1}}));
    rig.Feed(b.Bytes(), 7);
    EXPECT_EQ(rig.Codes().size(), 2u);
    const Rtcm2Records& r = rig.decoder.Records();
    EXPECT_DOUBLE_EQ(r.rec03.x, -3050000.12);
    EXPECT_DOUBLE_EQ(r.rec03.y, 4123456.78);
    EXPECT_NEAR(r.rec07.latitude, 33.50, 0.005);
    EXPECT_NEAR(r.rec07.longitude, -126.50, 0.005);
    EXPECT_NEAR(r.rec07.frequency, 313.4, 1e-9);
    EXPECT_EQ(r.rec07.range, 300);
    EXPECT_EQ(r.rec07.stationId, 777);
    EXPECT_EQ(r.rec07.bitRateCode, 4);
    EXPECT_EQ(r.rec07.modulation, 1);
    EXPECT_EQ(r.rec07.coding, 1);
}

TEST(Rtcm2Dec, Types18And19AndTheirConditions) {
    Rig rig;
    Rtcm2Builder b;
    // Type 18 on L2, one GLONASS satellite (ID 0 = 32) then one more.
    b.Message(18, 1, 100, 0, 0,
              PackDataWords({{1, 1},
                             {0, 1},
                             {0, 2},
                             {123456, 20},
                             {1, 1},
                             {1, 1},
                             {1, 1},
                             {0, 5},
                             {5, 3},
                             {17, 5},
                             {-512, 32},
                             {0, 1},
                             {0, 1},
                             {0, 1},
                             {7, 5},
                             {1, 3},
                             {2, 5},
                             {1000, 32}}));
    // N = 4 (even): consumed without effect.
    b.Message(18, 1, 101, 0, 0, {0, 0, 0, 0});
    // Type 19 on L1, smoothing 2.
    b.Message(19, 1, 102, 0, 0,
              PackDataWords({{0, 1},
                             {0, 1},
                             {2, 2},
                             {500000, 20},
                             {0, 1},
                             {1, 1},
                             {0, 1},
                             {12, 5},
                             {9, 4},
                             {14, 4},
                             {1100000000, 32}}));
    // d2 of the frequency indicator set: ignored.
    b.Message(19, 1, 103, 0, 0, PackDataWords({{1, 2}, {0, 22}, {0, 24}, {0, 24}}));
    rig.Feed(b.Bytes(), 1);
    EXPECT_EQ(rig.Codes(), (std::vector<std::uint32_t>{MessageCode(kKindRtcm2Type18, 2),
                                                       MessageCode(kKindRtcm2Type19, 1)}));
    const Rtcm2Records& r = rig.decoder.Records();
    EXPECT_EQ(r.rec18[0].sats[0].sat, 0);  // L1 untouched
    const Rec18& l2 = r.rec18[1];
    EXPECT_NEAR(l2.time, 60.0 + 0.123456, 1e-9);
    EXPECT_EQ(l2.sats[0].sat, 232);
    EXPECT_EQ(l2.sats[1].sat, 207);  // the first satellite's GLONASS flag holds for all
    EXPECT_EQ(l2.sats[0].quality, 5);
    EXPECT_EQ(l2.sats[0].lossCount, 17);
    EXPECT_DOUBLE_EQ(l2.sats[0].phase, -2.0);
    const Rec19& l1 = r.rec19[0];
    EXPECT_EQ(l1.smoothing, 2);
    EXPECT_EQ(l1.sats[0].sat, 12);
    EXPECT_EQ(l1.sats[0].multipath, 14);
    EXPECT_DOUBLE_EQ(l1.sats[0].pseudorange, 22000000.0);
}

TEST(Rtcm2Dec, Types41And42BySystem) {
    Rig rig;
    Rtcm2Builder b;
    // System 3 with the ionosphere flag: 46 bits per satellite from bit 13.
    b.Message(41, 1, 200, 0, 5,
              PackDataWords({{3, 4},
                             {0, 8},
                             {1, 1},
                             {9, 6},
                             {15, 4},
                             {1000, 10},
                             {-50, 14},
                             {-7, 12},
                             {10, 6},
                             {3, 4},
                             {1, 10},
                             {50, 14},
                             {7, 12}}));
    // System 4 without the flag: 32 bits per satellite, IDs plus 100.
    b.Message(42, 1, 201, 0, 2,
              PackDataWords({{4, 4}, {0, 8}, {0, 1}, {20, 6}, {3, 4}, {200, 8}, {100, 14}}));
    b.Message(41, 1, 202, 0, 0, PackDataWords({{6, 4}, {0, 20}}));  // no such system
    rig.Feed(b.Bytes());
    EXPECT_EQ(rig.Codes(), (std::vector<std::uint32_t>{MessageCode(kKindRtcm2Type41, 3),
                                                       MessageCode(kKindRtcm2Type42, 4)}));
    const Rec41& g = rig.decoder.Records().rec41[2];
    EXPECT_EQ(g.systemId, 3);
    EXPECT_EQ(g.health, 5);
    EXPECT_EQ(g.sats[0].sat, 9);
    EXPECT_EQ(g.sats[0].udre, 15);
    EXPECT_EQ(g.sats[0].iod, 1000);
    EXPECT_DOUBLE_EQ(g.sats[0].prc, -1.0);
    EXPECT_DOUBLE_EQ(g.sats[0].iono, -7.0);
    EXPECT_EQ(g.sats[1].sat, 10);
    const Rec41& s = rig.decoder.Records().rec42[3];
    EXPECT_EQ(s.sats[0].sat, 120);
    EXPECT_DOUBLE_EQ(s.sats[0].prc, 2.0);
    EXPECT_EQ(s.sats[0].iono, 0.0);
}

TEST(Rtcm2Dec, ParityFailuresAndSyncRecovery) {
    Rig rig;
    Rtcm2Builder b;
    const auto words = PackDataWords({{0, 1}, {0, 2}, {3, 5}, {10, 16}, {0, 8}, {1, 8}});
    b.Message(1, 1, 1, 0, 0, words);
    const std::size_t corruptData = b.Bytes().size() - 3;  // inside its data word
    b.Message(1, 1, 2, 0, 0, words);
    const std::size_t corruptHeader = b.Bytes().size() + 2;  // inside the next header
    b.Message(1, 1, 3, 0, 0, words);
    b.Message(1, 1, 4, 0, 0, words);
    b.CorruptByte(corruptData);
    b.CorruptByte(corruptHeader);
    rig.Feed(b.Bytes(), 3);
    // The first message fails its data parity, the third its header parity;
    // the second and the fourth come through.
    EXPECT_EQ(rig.Codes(), (std::vector<std::uint32_t>(2, MessageCode(kKindRtcm2Type1, 0))));
    EXPECT_DOUBLE_EQ(rig.decoder.Records().rec01.zCount, 2.4);
}

// Counts of decoded messages per kind (RTCM 2 type) for a recording.
std::map<int, int> CountTypes(const std::string& file) {
    std::string bytes;
    EXPECT_TRUE(test::ReadFile(test::SharedDataFile(file), &bytes)) << file;
    Rig rig;
    rig.Feed(bytes);
    std::map<int, int> counts;
    for (std::uint32_t code : rig.Codes()) {
        static const std::map<std::uint32_t, int> types = {
            {kKindRtcm2Type1, 1},   {kKindRtcm2Type3, 3},   {kKindRtcm2Type7, 7},
            {kKindRtcm2Type9, 9},   {kKindRtcm2Type18, 18}, {kKindRtcm2Type19, 19},
            {kKindRtcm2Type41, 41}, {kKindRtcm2Type42, 42}};
        ++counts[types.at(KindOf(code))];
    }
    return counts;
}

TEST(Rtcm2RealData, CountsMatchTheInventory) {
    CORVANE_REQUIRE_SHARED_DATA();
    EXPECT_EQ(CountTypes("rtcm2/gpsd_sample.rtcm2"), (std::map<int, int>{{9, 131}}));
    EXPECT_EQ(CountTypes("rtcm2/gpsd_naujoks-rtcm2.log"), (std::map<int, int>{{1, 41}, {3, 6}}));
    EXPECT_EQ(CountTypes("rtcm2/gpsd_rtcm2.bend.log"),
              (std::map<int, int>{{1, 28}, {3, 5}, {18, 56}, {19, 56}}));
    EXPECT_EQ(CountTypes("rtcm2/rtklib_testglo.rtcm2"),
              (std::map<int, int>{{1, 185}, {3, 18}, {18, 744}, {19, 744}}));
}

// gpsd's decoding of the same recording (gpsdecode's output, as shipped
// beside it): every type 9 message's Z-count and satellites.
TEST(Rtcm2RealData, Type9AgreesWithGpsd) {
    CORVANE_REQUIRE_SHARED_DATA();
    std::string bytes, json;
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile("rtcm2/gpsd_sample.rtcm2"), &bytes));
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile("rtcm2/gpsd_sample.rtcm2.chk"), &json));

    // Ours, message by message (a byte at a time, so each record is read
    // before the next message replaces it).
    Rig rig;
    std::vector<Rec01> ours;
    for (char c : bytes) {
        rig.decoder.Input(reinterpret_cast<const std::uint8_t*>(&c), 1);
        for (std::uint32_t code : rig.Codes())
            if (KindOf(code) == kKindRtcm2Type9)
                ours.push_back(rig.decoder.Copy(&Rtcm2Records::rec09));
    }

    // gpsd writes one JSON object a line, keys in a fixed order.
    auto number = [](const std::string& text, const std::string& key, std::size_t from) {
        const std::size_t at = text.find("\"" + key + "\":", from);
        return at == std::string::npos ? std::nan("") : std::stod(text.substr(at + key.size() + 3));
    };
    std::size_t index = 0;
    std::size_t lineStart = 0;
    while (lineStart < json.size()) {
        std::size_t lineEnd = json.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = json.size();
        const std::string line = json.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.find("\"type\":9,") == std::string::npos) continue;
        ASSERT_LT(index, ours.size());
        const Rec01& r = ours[index];
        EXPECT_NEAR(r.zCount, number(line, "zcount", 0), 1e-6) << "message " << index;
        int i = 0;
        for (std::size_t at = line.find("{\"ident\":"); at != std::string::npos;
             at = line.find("{\"ident\":", at + 1), ++i) {
            EXPECT_EQ(r.sats[i].sat, number(line, "ident", at)) << "message " << index;
            EXPECT_EQ(r.sats[i].udre, number(line, "udre", at));
            EXPECT_EQ(r.sats[i].iod, number(line, "iod", at));
            EXPECT_NEAR(r.sats[i].prc, number(line, "prc", at), 1e-9);
            EXPECT_NEAR(r.sats[i].rrc, number(line, "rrc", at), 1e-9);
        }
        EXPECT_EQ(r.sats[i].sat, 0);
        ++index;
    }
    EXPECT_EQ(index, 131u);
}

}  // namespace
}  // namespace corvane

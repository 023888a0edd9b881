// Recorded RTCM 3 streams: every file decodes without harm and yields the
// messages its inventory lists; gpsd's gpsdecode as a peer for the values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

// Message number of a message code.
int NumberOf(std::uint32_t code) {
    switch (KindOf(code)) {
        case kKind1004:
            return 1004;
        case kKind1006:
            return 1006;
        case kKind1012:
            return 1012;
        case kKind1013:
            return 1013;
        case kKind1019:
            return 1019;
        case kKind1020:
            return 1020;
        case kKind1033:
            return 1033;
        case kKindMsm4:
            return 1074 + 10 * (static_cast<int>(IndexOf(code)) - 1);
        case kKindMsm7:
            return 1077 + 10 * (static_cast<int>(IndexOf(code)) - 1);
        default:
            return -1;
    }
}

// Counts the notifications per message number and keeps a copy of the
// observation, station and descriptor records at each of them.
class Recorder : public platform::WindowReceiver {
public:
    void Post(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) override {
        if (message != WM_RTCM_DECODED) return;
        const std::uint32_t code = static_cast<std::uint32_t>(lParam);
        ++counts[NumberOf(code)];
        const Rtcm3Records& r = dec->Records();
        switch (KindOf(code)) {
            case kKind1004:
                obs1004.push_back(r.rec1004);
                break;
            case kKind1012:
                obs1012.push_back(r.rec1012);
                break;
            case kKind1006:
                rec1006.push_back(r.rec1006);
                break;
            case kKind1033:
                rec1033.push_back(r.rec1033);
                break;
            default:
                break;
        }
    }
    const RTCM3Dec* dec = nullptr;
    std::map<int, int> counts;
    std::vector<Rec1004> obs1004;
    std::vector<Rec1012> obs1012;
    std::vector<Rec1006> rec1006;
    std::vector<Rec1033> rec1033;
};

// Feeds a file in blocks of 2048 bytes, as the channel receives them.
void Decode(const std::string& relative, Recorder& recorder) {
    std::string bytes;
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile(relative), &bytes)) << relative;
    NtripChannel channel(&recorder, ChannelContext{});
    MountpointEntry entry;
    channel.entry = &entry;
    RTCM3Dec dec(&channel);
    recorder.dec = &dec;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += 2048) {
        const std::size_t n = std::min<std::size_t>(2048, bytes.size() - at);
        const int held = dec.Input(data + at, static_cast<int>(n));
        ASSERT_GE(held, 0);
        ASSERT_LT(held, static_cast<int>(RTCM3Dec::kMaxFrame));
    }
    recorder.dec = nullptr;
}

struct Inventory {
    const char* file;
    std::map<int, int> counts;
};

// The decoded kinds of the inventory of the shared data; kinds without a
// record (1005, 1007, 1104, 1107, 1117, ...) must not show up. Of the 1020
// messages, 16 of swift_eph.rtcm (400 in all) and one of gpsd_rtcm3.2.log (24)
// carry a slot number outside 1 to 24 and are rejected.
const Inventory kInventory[] = {
    {"rtcm3/rtklib_testglo.rtcm3", {{1004, 186}, {1012, 186}, {1019, 19}, {1020, 19}}},
    {"rtcm3/rtklib_GMSD7_20121014.rtcm3",
     {{1019, 15}, {1020, 16}, {1033, 28}, {1077, 257}, {1087, 257}, {1127, 257}}},
    {"rtcm3/rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3",
     {{1004, 129},
      {1012, 129},
      {1019, 35},
      {1020, 8},
      {1074, 129},
      {1077, 129},
      {1084, 129},
      {1087, 129},
      {1094, 129},
      {1097, 129},
      {1114, 129},
      {1124, 129},
      {1127, 129}}},
    {"rtcm3/swift_switch-legacy-msm-legacy-msm.rtcm",
     {{1004, 253},
      {1006, 24},
      {1012, 254},
      {1013, 24},
      {1033, 51},
      {1074, 118},
      {1077, 48},
      {1084, 119},
      {1087, 48},
      {1094, 119},
      {1097, 48},
      {1114, 113},
      {1124, 119},
      {1127, 48}}},
    {"rtcm3/swift_dropped-packets-STR24.rtcm3",
     {{1006, 131},
      {1013, 132},
      {1019, 363},
      {1020, 242},
      {1033, 131},
      {1074, 1311},
      {1084, 1312},
      {1094, 1312},
      {1114, 1312},
      {1124, 1312}}},
    {"rtcm3/swift_week-rollover-STR24.rtcm3",
     {{1006, 113},
      {1013, 113},
      {1019, 314},
      {1020, 205},
      {1033, 114},
      {1074, 1133},
      {1084, 1134},
      {1094, 1134},
      {1114, 1134},
      {1124, 1134}}},
    {"rtcm3/swift_missing-beidou-STR17.rtcm3",
     {{1006, 17},
      {1013, 501},
      {1019, 51},
      {1020, 17},
      {1033, 17},
      {1077, 502},
      {1087, 502},
      {1097, 502},
      {1127, 502}}},
    {"rtcm3/swift_eph.rtcm", {{1019, 512}, {1020, 384}}},
    {"rtcm3/swift_1012_first.rtcm", {{1004, 148}, {1006, 15}, {1012, 148}, {1033, 3}}},
    {"rtcm3/swift_geo++_SOK.rtcm", {{1004, 33}, {1012, 33}, {1013, 3}, {1033, 2}}},
    {"rtcm3/swift_navcom.rtcm", {{1004, 65}, {1012, 64}, {1013, 7}, {1033, 4}}},
    {"rtcm3/swift_trimble.rtcm",
     {{1006, 15}, {1013, 15}, {1033, 16}, {1074, 153}, {1084, 153}, {1094, 153}, {1124, 153}}},
    {"rtcm3/swift_mixed-msm-legacy.rtcm",
     {{1004, 34}, {1006, 3}, {1012, 34}, {1033, 3}, {1077, 34}, {1087, 34}}},
    {"rtcm3/swift_hemi.rtcm", {{1004, 7}, {1033, 1}, {1074, 7}}},
    {"rtcm3/swift_missing-gps.rtcm", {{1006, 6}, {1074, 50}, {1084, 50}, {1094, 50}}},
    {"rtcm3/swift_msm7.rtcm", {{1006, 1}, {1077, 35}, {1087, 36}, {1097, 36}, {1127, 36}}},
    {"rtcm3/gpsd_rtcm3.2.log",
     {{1019, 32}, {1020, 23}, {1033, 3}, {1077, 23}, {1087, 24}, {1097, 24}}},
    {"rtcm3/gpsd_rtcm3.bndm.log", {{1004, 33}, {1006, 8}, {1012, 33}, {1013, 7}, {1033, 6}}},
    {"rtcm3/pyrtcm_NTRIP-USCL00CHL0.rtcm3",
     {{1004, 1},
      {1006, 1},
      {1012, 1},
      {1013, 1},
      {1019, 1},
      {1020, 1},
      {1033, 1},
      {1077, 1},
      {1087, 1},
      {1097, 1},
      {1127, 1}}},
};

TEST(Rtcm3RealData, EveryFileYieldsTheMessagesOfItsInventory) {
    CORVANE_REQUIRE_SHARED_DATA();
    for (const Inventory& inv : kInventory) {
        Recorder recorder;
        Decode(inv.file, recorder);
        EXPECT_EQ(recorder.counts, inv.counts) << inv.file;
    }
}

TEST(Rtcm3RealData, SingleFramesOfEveryType) {
    CORVANE_REQUIRE_SHARED_DATA();
    const int decoded[] = {1004, 1006, 1012, 1013, 1019, 1020, 1033, 1074,
                           1077, 1084, 1087, 1094, 1097, 1114, 1124, 1127};
    int files = 0;
    for (int number = 1001; number <= 1230; ++number) {
        const std::string name = "rtcm3/frames/" + std::to_string(number) + "_frame.bin";
        std::string bytes;
        if (!test::ReadFile(test::SharedDataFile(name), &bytes)) continue;
        ++files;
        Recorder recorder;
        Decode(name, recorder);
        std::map<int, int> expected;
        for (int d : decoded) {
            if (d == number) expected[number] = 1;
        }
        EXPECT_EQ(recorder.counts, expected) << name;
    }
    EXPECT_EQ(files, 69);
}

// ---- gpsdecode as a peer ----

// The numbers of a JSON text in order (values after a ':'), and the strings.
std::vector<double> NumbersOf(const std::string& s) {
    std::vector<double> out;
    for (std::size_t i = s.find(':'); i != std::string::npos; i = s.find(':', i + 1)) {
        const char* p = s.c_str() + i + 1;
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end != p) out.push_back(v);
    }
    return out;
}
std::string StringOf(const std::string& line, const std::string& key) {
    const std::string k = "\"" + key + "\":\"";
    const std::size_t at = line.find(k);
    if (at == std::string::npos) return "<missing>";
    const std::size_t from = at + k.size();
    return line.substr(from, line.find('"', from) - from);
}
// The satellite objects of a line.
std::vector<std::string> Satellites(const std::string& line) {
    std::vector<std::string> sats;
    std::size_t at = line.find("{\"ident\":");
    while (at != std::string::npos) {
        const std::size_t next = line.find("{\"ident\":", at + 1);
        sats.push_back(line.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next;
    }
    return sats;
}

// gpsdecode's lines of one message type for a file; false without gpsdecode.
bool GpsdecodeLines(const std::string& relative, int type, std::vector<std::string>* lines) {
#if defined(_WIN32)
    (void)relative, (void)type, (void)lines;
    return false;
#else
    if (std::system("command -v gpsdecode >/dev/null 2>&1") != 0) return false;
    const std::string cmd = "gpsdecode < '" + test::SharedDataFile(relative) + "' 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (pipe == nullptr) return false;
    const std::string tag = "\"type\":" + std::to_string(type) + ",";
    std::string line;
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        line += chunk;
        if (line.empty() || line.back() != '\n') continue;
        if (line.find(tag) != std::string::npos) lines->push_back(line);
        line.clear();
    }
    pclose(pipe);
    return true;
#endif
}

#define REQUIRE_GPSDECODE(file, type, lines)   \
    if (!GpsdecodeLines(file, type, &lines))   \
    GTEST_SKIP() << "gpsdecode not installed " \
                    "(Debian package gpsd-clients)"

TEST(Rtcm3Gpsdecode, GpsAndGlonassObservations) {
    CORVANE_REQUIRE_SHARED_DATA();
    const char* file = "rtcm3/rtklib_testglo.rtcm3";
    std::vector<std::string> gps, glo;
    REQUIRE_GPSDECODE(file, 1004, gps);
    REQUIRE_GPSDECODE(file, 1012, glo);
    Recorder ours;
    Decode(file, ours);
    ASSERT_EQ(gps.size(), ours.obs1004.size());
    ASSERT_EQ(glo.size(), ours.obs1012.size());
    int checked = 0;
    for (std::size_t m = 0; m < gps.size(); ++m) {
        const auto sats = Satellites(gps[m]);
        ASSERT_EQ(static_cast<int>(sats.size()), ours.obs1004[m].satCount);
        for (std::size_t i = 0; i < sats.size(); ++i) {
            // ident, L1 ind prange delta lockt amb CNR, L2 ind prange delta lockt CNR
            const auto v = NumbersOf(sats[i]);
            ASSERT_EQ(v.size(), 12u) << sats[i];
            const Rec1004Sat& s = ours.obs1004[m].sats[i];
            EXPECT_EQ(s.sat, v[0] < 40 ? v[0] : v[0] + 80);
            EXPECT_EQ(s.l1Code, v[1]);
            EXPECT_NEAR(s.l1Pseudorange, v[2], 0.006);
            EXPECT_NEAR(s.l1Phase - s.l1Pseudorange, v[3], 0.00006);
            EXPECT_NEAR(s.l1Ambiguity, v[5] * 299792.458, 1e-6);
            EXPECT_DOUBLE_EQ(s.l1Cnr, v[6]);
            EXPECT_EQ(s.l2Code, v[7]);
            // gpsdecode prints the 14-bit L2-L1 difference without its sign.
            const double wrapped = std::fmod(s.l2Diff - v[8] + 2 * 327.68, 327.68);
            EXPECT_TRUE(wrapped < 0.006 || wrapped > 327.68 - 0.006) << s.l2Diff << " " << v[8];
            EXPECT_NEAR(s.l2Phase - s.l1Pseudorange, v[9], 0.00006);
            EXPECT_DOUBLE_EQ(s.l2Cnr, v[11]);
            ++checked;
        }
    }
    for (std::size_t m = 0; m < glo.size(); ++m) {
        const auto sats = Satellites(glo[m]);
        ASSERT_EQ(static_cast<int>(sats.size()), ours.obs1012[m].satCount);
        for (std::size_t i = 0; i < sats.size(); ++i) {
            // ident channel, L1 ind prange delta lockt amb CNR, L2 ind prange delta lockt CNR
            const auto v = NumbersOf(sats[i]);
            ASSERT_EQ(v.size(), 13u) << sats[i];
            const Rec1012Sat& s = ours.obs1012[m].sats[i];
            EXPECT_EQ(s.sat, v[0]);
            // gpsdecode prints the channel (field minus 7) as an unsigned 32-bit number.
            EXPECT_EQ(static_cast<std::int32_t>(static_cast<std::uint32_t>(s.fcn - 7)),
                      static_cast<std::int32_t>(static_cast<std::uint32_t>(v[1])));
            EXPECT_EQ(s.l1Code, v[2]);
            EXPECT_NEAR(s.l1Pseudorange, v[3], 0.006);
            EXPECT_NEAR(s.l1Phase - s.l1Pseudorange, v[4], 0.00006);
            EXPECT_NEAR(s.l1Ambiguity, v[6] * 599584.916, 1e-6);
            EXPECT_DOUBLE_EQ(s.l1Cnr, v[7]);
            EXPECT_EQ(s.l2Code, v[8]);
            EXPECT_NEAR(s.l2Phase - s.l1Pseudorange, v[10], 0.00006);
            EXPECT_DOUBLE_EQ(s.l2Cnr, v[12]);
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

// The test file above has no 1006 or 1033; a Geo++ stream has both.
TEST(Rtcm3Gpsdecode, StationAndDescriptors) {
    CORVANE_REQUIRE_SHARED_DATA();
    const char* file = "rtcm3/swift_1012_first.rtcm";
    std::vector<std::string> stations, descriptors;
    REQUIRE_GPSDECODE(file, 1006, stations);
    REQUIRE_GPSDECODE(file, 1033, descriptors);
    Recorder ours;
    Decode(file, ours);
    ASSERT_EQ(stations.size(), ours.rec1006.size());
    ASSERT_EQ(descriptors.size(), ours.rec1033.size());
    ASSERT_FALSE(stations.empty());
    for (std::size_t m = 0; m < stations.size(); ++m) {
        auto number = [&](const char* key) {
            const std::string k = std::string("\"") + key + "\":";
            return std::strtod(stations[m].c_str() + stations[m].find(k) + k.size(), nullptr);
        };
        EXPECT_NEAR(ours.rec1006[m].x, number("x"), 5e-5);
        EXPECT_NEAR(ours.rec1006[m].y, number("y"), 5e-5);
        EXPECT_NEAR(ours.rec1006[m].z, number("z"), 5e-5);
        EXPECT_NEAR(ours.rec1006[m].antennaHeight, number("h"), 5e-5);
    }
    for (std::size_t m = 0; m < descriptors.size(); ++m) {
        EXPECT_EQ(StringOf(descriptors[m], "desc"), ours.rec1033[m].antennaDescriptor);
        EXPECT_EQ(StringOf(descriptors[m], "serial"), ours.rec1033[m].antennaSerial);
        EXPECT_EQ(StringOf(descriptors[m], "receiver"), ours.rec1033[m].receiverType);
        EXPECT_EQ(StringOf(descriptors[m], "firmware"), ours.rec1033[m].receiverFirmware);
    }
}

}  // namespace
}  // namespace corvane

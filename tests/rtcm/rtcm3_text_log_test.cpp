// The decoded-text log of RTCM 3 messages, byte for byte, and its hourly
// files.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "net/hourly_file.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/clock.h"
#include "platform/queue_window_receiver.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/rtcm3_test_messages.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using test::Frame;

// The file in text mode has the system's line ends; the expected texts
// have "\n".
std::string WithoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

ChannelContext ContextIn(const std::string& dir) {
    ChannelContext context;
    context.outputDir = dir;
    return context;
}

// A channel with the text log on, in Seoul's time zone, at 10:59:59 local
// time of 2026-12-09 on a clock that only moves when told.
class TextLog : public ::testing::Test {
protected:
    TextLog() {
        platform::CalendarTime c;
        c.year = 2026, c.month = 12, c.day = 9, c.hour = 10, c.minute = 59, c.second = 59;
        start_ = platform::FromLocal(c);
        clock_.Set(start_);
        platform::SetClock(&clock_);
        std::snprintf(entry_.name, sizeof entry_.name, "SEOUL");
        channel_.entry = &entry_;
        channel_.textEnabled = true;
        channel_.rtcm3 = std::make_unique<RTCM3Dec>(&channel_);
    }
    ~TextLog() override {
        channel_.textFile.Close();
        platform::SetClock(nullptr);
    }

    void Feed(const std::vector<std::uint8_t>& frame) {
        channel_.rtcm3->Input(frame.data(), static_cast<int>(frame.size()));
    }
    std::string FileText(std::int64_t t) {
        channel_.textFile.file.Flush();
        std::string text;
        test::ReadFile(HourlyFileName(dir_.Path(), "SEOUL", t, "txt"), &text);
        return WithoutCr(text);
    }
    std::string Text() { return FileText(start_); }

    test::ScopedEnv tz_{"TZ", "KST-9"};
    test::TempDir dir_;
    platform::ManualClock clock_;
    std::int64_t start_ = 0;
    platform::QueueWindowReceiver window_;
    NtripChannel channel_{&window_, ContextIn(dir_.Path())};
    MountpointEntry entry_;
};

const char* const kRow1019Prn5 =
    "   5  360000               5.7488679885864e-05 -2.2737367544323e-10 -2.7755575615629e-17  "
    "360000               5.1520000000000e+03  4.2858928103530e-09 -1.4629180792672e+00\n"
    "      4.6566128730774e-03  2.9258361585343e+00  1.1175870895386e-06 -5.5879354476929e-07  "
    "1.8750000000000e+02 -1.5625000000000e-01  1.3038516044617e-08 -1.4901161193848e-08\n"
    "      9.5089675152366e-01 -3.5715773419608e-11 -1.8060715547011e-02 -7.1431546839217e-09 "
    "-5.1222741603851e-09  333                   77\n";
const char* const kRow1019Prn7 =
    "   7  360000               5.7488679885864e-05 -2.2737367544323e-10 -2.7755575615629e-17  "
    "360000               5.1520000000000e+03  4.2858928103530e-09 -1.4629180792672e+00\n"
    "      4.6566128730774e-03  2.9258361585343e+00  1.1175870895386e-06 -5.5879354476929e-07  "
    "1.8750000000000e+02 -1.5625000000000e-01  1.3038516044617e-08 -1.4901161193848e-08\n"
    "      9.5089675152366e-01 -3.5715773419608e-11 -1.8060715547011e-02 -7.1431546839217e-09 "
    "-5.1222741603851e-09  333                   77\n";
const char* const kHeader1019 =
    "\nMT1019 2026-12-09 10:59:59\n"
    "  SV  Toc                  Af0                  Af1                  Af2                  Toe "
    "                 sqrtA                deltaN               m0\n"
    "      Eccentr              Omega                Cus                  Cuc                  Crc "
    "                 Crs                  Cic                  Cis\n"
    "      i0                   IDOT                 Aop                  OmegaDot             Tgd "
    "                 IODC                 IODE \n";
const char* const kHeader1020 =
    "\nMT1020 2026-12-09 10:59:59\n"
    "  SV  XnFD                 Xn                   XnSD                 YnFD                 Yn  "
    "                 YnSD                 ZnFD                 Zn\n"
    "      ZnSD                 GamNTb               TauTb                DeltaTauTb           "
    "TauC                 En                   FreqCh               Tb\n";
const char* const kRow1020 =
    "  43  9.5367431640625e-04 -9.7656250000000e+02  2.7939677238464e-09 -3.8146972656250e-03  "
    "2.4414062500000e+03 -9.3132257461548e-10  6.6757202148438e-06  6.0281630859375e+03\n"
    "      0.0000000000000e+00 -9.0949470177293e-13 -1.1497177183628e-05  1.8626451492310e-09 "
    "-4.6565663069487e-05   4                   -7                   900\n";

TEST_F(TextLog, ObservationStationAndSystemLayouts) {
    test::Obs1004 b;
    b.id = 45;
    b.l1Code = 1;
    b.l2Code = 3;
    Feed(Frame(test::Message1004({test::Obs1004{}, b})));
    Feed(Frame(test::Message1004({})));
    Feed(Frame(test::Message1006(-40520527461LL, 12345, 47000000000LL, 15000)));
    // GLONASS slot 5 on channel +1 (field 8).
    Feed(Frame(test::Message1012({test::Obs1012{}})));
    Feed(Frame(test::Message1013(44251, 3600, 18)));
    Feed(Frame(test::Message1013(44244, 0, 0)));  // week 0: no date line
    EXPECT_EQ(Text(),
              "\n"
              "MT1004 2026-12-09 10:59:59\n"
              "  SV  L1-Code  L1-PR       L1-Phase       L1-AMB        L1-CNR  L2-Code  L2-L1-Diff "
              " L2-Phase      L2-CNR\n"
              "   5  C/A       20000.000   19999.99850   20985472.060  45.00   P(Yc)   -0.140      "
              "  20000.00550  40.00\n"
              " 125  P(Yd)     20000.000   19999.99850   20985472.060  45.00   P/Y     -0.140      "
              "  20000.00550  40.00\n"
              "\n"
              "MT1004 2026-12-09 10:59:59\n"
              "  SV  L1-Code  L1-PR       L1-Phase       L1-AMB        L1-CNR  L2-Code  L2-L1-Diff "
              " L2-Phase      L2-CNR\n"
              "\n"
              "MT1006 2026-12-09 10:59:59\n"
              "  X  -4052052.7461\n"
              "  Y         1.2345\n"
              "  Z   4700000.0000\n"
              "  H         1.5000\n"
              "\n"
              "MT1012 2026-12-09 10:59:59\n"
              "  SV  L1-Code  L1-Freq    L1-Pseudo   L1-Phase      L1-AMB        L1-CNR  L2-Code  "
              "L2-Freq    L2-Phase      L2-CNR\n"
              "  45  P(Yd)    1602.5625   40000.000   40000.00250  19786302.228  50.00   P/Y      "
              "1246.4375   39999.99550  37.50\n"
              "\n"
              "MT1013 2026-12-09 10:59:59\n"
              "  Modifyed Julian Day Number 44251\n"
              "  Seconds of Day             3600\n"
              "  Leap Seconds\t\t\t\t 18\n"
              "  Current Date/Time\t\t\t 1980-01-13 01:00:00\n"
              "\n"
              "MT1013 2026-12-09 10:59:59\n"
              "  Modifyed Julian Day Number 44244\n"
              "  Seconds of Day             0\n"
              "  Leap Seconds\t\t\t\t 0\n");
}

TEST_F(TextLog, EphemerisRunsShareOneHeader) {
    test::Eph1019 e;
    Feed(Frame(test::Message1019(e)));
    e.prn = 7;
    Feed(Frame(test::Message1019(e)));
    test::Eph1019 none;
    none.prn = 0;  // ignored: no text, the run goes on
    Feed(Frame(test::Message1019(none)));
    Feed(Frame(test::Message1019(e)));
    Feed(Frame(test::Message1006(1, 2, 3, 4)));
    Feed(Frame(test::Message1019(e)));
    Feed(Frame(test::Message1020(test::Eph1020{})));
    Feed(Frame(test::Message1020(test::Eph1020{})));
    EXPECT_EQ(Text(), std::string(kHeader1019) + kRow1019Prn5 + kRow1019Prn7 + kRow1019Prn7 +
                          "\nMT1006 2026-12-09 10:59:59\n"
                          "  X         0.0001\n"
                          "  Y         0.0002\n"
                          "  Z         0.0003\n"
                          "  H         0.0004\n" +
                          kHeader1019 + kRow1019Prn7 + kHeader1020 + kRow1020 + kRow1020);
    EXPECT_EQ(channel_.lastTextCode, 0x80400000u);
}

TEST_F(TextLog, DescriptorAndMsmLayouts) {
    Feed(Frame(test::Message1033({"TRM59800.00     SCIS", "1440", "TRIMBLE NETR9", "5.10", "55"})));
    // GPS satellites 3 and 17, signals 2 and 9, the cell (3, L2P) missing.
    Feed(Frame(test::MessageMsm(1074, 0, 1ull << 61 | 1ull << 47, 1u << 30 | 1u << 23, 0xB, 4,
                                {{70, 512, 0}, {80, 10, 0}}, {{}, {}, {}})));
    Feed(Frame(test::MessageMsm(1127, 0, 1ull << 63, 1u << 30 | 1u << 23, 0x3, 2, {{70, 512, -300}},
                                {{}, {}})));
    EXPECT_EQ(
        Text(),
        "\n"
        "MT1033 2026-12-09 10:59:59\n"
        "  Antenna Descriptor        TRM59800.00     SCIS\n"
        "  Antenna Serial Number     1440\n"
        "  Receiver Type Descriptor  TRIMBLE NETR9\n"
        "  Receiver Firmware Version 5.10\n"
        "  Receiver Serial Number    55\n"
        "\n"
        "MT1074 2026-12-09 10:59:59\n"
        "  SV  RoughRange  RoughModulo  SIG  PseudoRange      PhaseRange       Lock  Amb  CNR\n"
        "   3   70         0.500000000  L1C -5.960464478e-05  3.725290298e-06   9    1    40\n"
        "  17   80         0.009765625  L1C -5.960464478e-05  3.725290298e-06   9    1    40\n"
        "                               L2P -5.960464478e-05  3.725290298e-06   9    1    40\n"
        "\n"
        "MT1127 2026-12-09 10:59:59\n"
        "  SV  RoughRange  RoughModulo  RoughRate  SIG  PseudoRange      PhaseRange       Lock  "
        "CNR      PhaseRate\n"
        " 161   70         0.500000000  -300       B1I -1.862645149e-06  9.313225746e-07   9    "
        "2.5000  -0.0025\n"
        "                                          B6Q -1.862645149e-06  9.313225746e-07   9    "
        "2.5000  -0.0025\n");
}

TEST_F(TextLog, FilesChangeAtTheFullHour) {
    Feed(Frame(test::Message1006(1, 2, 3, 4)));
    clock_.Advance(1);  // 11:00:00
    Feed(Frame(test::Message1006(1, 2, 3, 4)));
    clock_.Advance(3599);  // 11:59:59: same file
    Feed(Frame(test::Message1006(1, 2, 3, 4)));
    channel_.textFile.Close();
    std::string first, second;
    ASSERT_TRUE(test::ReadFile(HourlyFileName(dir_.Path(), "SEOUL", start_, "txt"), &first));
    ASSERT_TRUE(test::ReadFile(HourlyFileName(dir_.Path(), "SEOUL", start_ + 1, "txt"), &second));
    EXPECT_NE(
        HourlyFileName(dir_.Path(), "SEOUL", start_ + 1, "txt").find("SEOUL_20261209_110000.txt"),
        std::string::npos);
    first = WithoutCr(first);
    second = WithoutCr(second);
    EXPECT_EQ(first.find("MT1006 2026-12-09 10:59:59\n"), 1u);
    EXPECT_EQ(second.find("\nMT1006 2026-12-09 11:00:00\n"), 0u);
    EXPECT_NE(second.find("\nMT1006 2026-12-09 11:59:59\n"), std::string::npos);
}

TEST_F(TextLog, NothingIsWrittenWithTheLogOff) {
    channel_.textEnabled = false;
    Feed(Frame(test::Message1006(1, 2, 3, 4)));
    EXPECT_FALSE(channel_.textFile.IsOpen());
    EXPECT_EQ(channel_.lastTextCode, 0u);
    EXPECT_EQ(window_.Size(), 1u);  // still posted
}

// A channel that opens its outputs for an RTCM 3.1 mountpoint with the text
// log creates the decoder, and the blocks it is handed end up in the log.
class Rtcm3Outputs : public ChannelOutputFactory {
public:
    std::unique_ptr<StreamDecoder> CreateDecoder(int version, NtripChannel& owner) const override {
        return version == 3 ? std::make_unique<RTCM3Dec>(&owner) : nullptr;
    }
    std::unique_ptr<StreamDecoder> CreateRinex(NtripChannel&) const override { return nullptr; }
};

TEST(TextLogChannel, ProcessBlockDecodesAndLogs) {
    test::ScopedEnv tz("TZ", "UTC0");
    test::TempDir dir;
    Rtcm3Outputs outputs;
    ChannelContext context = ContextIn(dir.Path());
    context.outputs = &outputs;
    platform::QueueWindowReceiver window;
    NtripChannel channel(&window, context);
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "MP");
    entry.formatVersion = 3.1f;
    entry.outputs = kOutputText;
    platform::ManualClock clock(1765278000);  // 2025-12-09 11:00:00 UTC
    platform::SetClock(&clock);
    channel.OpenOutputs(&entry);
    ASSERT_NE(channel.rtcm3, nullptr);
    runFlag = 1;
    const auto frame = Frame(test::Message1006(10000, 20000, 30000, 40000));
    channel.ProcessBlock(frame.data(), 10);
    channel.ProcessBlock(frame.data() + 10, static_cast<int>(frame.size() - 10));
    runFlag = 0;
    channel.Stop();
    platform::SetClock(nullptr);
    std::string text;
    ASSERT_TRUE(test::ReadFile(dir.File("MP_20251209_110000.txt"), &text));
    EXPECT_EQ(WithoutCr(text),
              "\nMT1006 2025-12-09 11:00:00\n  X         1.0000\n  Y         2.0000\n"
              "  Z         3.0000\n  H         4.0000\n");
    const auto posted = window.Drain();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().message, WM_RTCM_DECODED);
    EXPECT_EQ(posted.back().lParam, static_cast<std::intptr_t>(MessageCode(kKind1006, 0)));
}

}  // namespace
}  // namespace corvane

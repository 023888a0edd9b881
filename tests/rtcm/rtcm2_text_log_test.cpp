#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "platform/queue_window_receiver.h"
#include "platform/text_encoding.h"
#include "rtcm/rtcm2_dec.h"
#include "tests/support/rtcm2_builder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using test::PackDataWords;

// A channel whose RTCM 2 decoder writes the text log into a temporary folder
// at a fixed time (2026-01-05 03:46:40 UTC).
class Rtcm2TextLog : public ::testing::Test {
protected:
    Rtcm2TextLog() : tz_("TZ", "UTC0"), clock_(1767584800), channel_(&window_, Context()) {
        platform::SetClock(&clock_);
        std::snprintf(entry_.name, sizeof entry_.name, "MP2");
        channel_.entry = &entry_;
        channel_.textEnabled = true;
        channel_.rtcm2 = std::make_unique<RTCM2Dec>(&channel_);
    }
    ~Rtcm2TextLog() override {
        channel_.Stop();
        platform::SetClock(nullptr);
    }
    ChannelContext Context() {
        ChannelContext c;
        c.outputDir = dir_.Path();
        return c;
    }
    std::string Log(test::Rtcm2Builder& b) {
        channel_.rtcm2->Input(reinterpret_cast<const std::uint8_t*>(b.Bytes().data()),
                              static_cast<int>(b.Bytes().size()));
        channel_.textFile.Close();
        std::string text;
        EXPECT_TRUE(test::ReadFile(dir_.File("MP2_20260105_034640.txt"), &text));
        // Text mode: line ends are the system's (CR LF on Windows).
        std::erase(text, '\r');
        return text;
    }

    test::TempDir dir_;
    test::ScopedEnv tz_;
    platform::ManualClock clock_;
    platform::QueueWindowReceiver window_;
    MountpointEntry entry_;
    NtripChannel channel_;
};

TEST_F(Rtcm2TextLog, CorrectionsPositionAndBeacon) {
    test::Rtcm2Builder b;
    b.Message(1, 5, 1000, 0, 0,
              PackDataWords({{1, 1}, {1, 2}, {0, 5}, {-100 & 0xFFFF, 16}, {3, 8}, {7, 8}}));
    b.Message(3, 5, 1001, 0, 0, PackDataWords({{-305000012, 32}, {412345678, 32}, {1, 32}}));
    b.Message(7, 5, 1002, 0, 0,
              PackDataWords({{12197, 16},
                             {23030, 16},
                             {300, 10},
                             {1234, 12},
                             {0, 2},
                             {777, 10},
                             {7, 3},
                             {0, 1},
                             {1, 1},
                             {0, 1}}));
    const std::string e = platform::WideToNarrow(u"ε");
    EXPECT_EQ(Log(b),
              "MT01  600.0 2026-01-05 03:46:40\n"
              "  SV  ZCount  PRC      RRC      IOD  UDRE\n"
              "  32   600.0  -32.000   0.0960    71<" +
                  e +
                  "<=4\n"
                  "\n"
                  "MT03  600.6 2026-01-05 03:46:40\n"
                  "  X  -3050000.120\n  Y   4123456.780\n  Z         0.010\n\n"
                  "MT07  601.2 2026-01-05 03:46:40\n"
                  "  Latitude     33.50\n  Longitude   126.51\n  RadioRange  300 km\n"
                  "  Frequency   313.4 kHz\n  StationID  777\n  Bit Rate    300 bps\n"
                  "  Modulation  MSK\n  Sync Type   Sync\n  Coding      \n\n");
}

TEST_F(Rtcm2TextLog, MultiSystemUdreRanges) {
    test::Rtcm2Builder b;
    // Health 6: the row ends after the ionosphere column.
    b.Message(41, 5, 10, 0, 6,
              PackDataWords({{1, 4}, {0, 8}, {0, 1}, {7, 6}, {3, 4}, {9, 8}, {50, 14}}));
    // Health 2: udre 3 lies between 0.048 and 0.074; udre 0 and 15 at the ends.
    b.Message(42, 5, 11, 0, 2,
              PackDataWords({{5, 4},
                             {0, 8},
                             {0, 1},
                             {1, 6},
                             {3, 4},
                             {1, 8},
                             {-5, 14},
                             {2, 6},
                             {0, 4},
                             {2, 8},
                             {0, 14},
                             {3, 6},
                             {15, 4},
                             {3, 8},
                             {1, 14}}));
    const std::string e = platform::WideToNarrow(u"ε");
    EXPECT_EQ(Log(b),
              "MT41    6.0 2026-01-05 03:46:40\n  SID  SV  IOD PRC      IONO  UDRE\n"
              "  GPS   7   9    1.000   0.0\n\n"
              "MT42    6.6 2026-01-05 03:46:40\n  SID  SV  IOD PRC      IONO  UDRE\n"
              "  QUZ 181   1   -0.100   0.00.048<" +
                  e +
                  "<=0.074\n"
                  "  QUZ 182   2    0.000   0.0" +
                  e +
                  "<=0.020\n"
                  "  QUZ 183   3    0.020   0.0" +
                  e + ">9.240\n\n");
}

TEST_F(Rtcm2TextLog, PhasesAndPseudoranges) {
    test::Rtcm2Builder b;
    b.Message(18, 5, 100, 0, 0,
              PackDataWords({{0, 1},
                             {0, 1},
                             {0, 2},
                             {250000, 20},
                             {1, 1},
                             {1, 1},
                             {0, 1},
                             {4, 5},
                             {7, 3},
                             {2, 5},
                             {256, 32}}));
    b.Message(19, 5, 100, 0, 0,
              PackDataWords({{1, 1},
                             {0, 1},
                             {3, 2},
                             {0, 20},
                             {0, 1},
                             {0, 1},
                             {0, 1},
                             {4, 5},
                             {15, 4},
                             {15, 4},
                             {100, 32}}));
    EXPECT_EQ(Log(b),
              "MT18   60.0 2026-01-05 03:46:40\n"
              "  SV  ZCount  Freq  Code Quality    CarrierPhase       CLOCI MMI\n"
              "   4    60.2  L1    P    > 0.12480         1.00000000   2    1\n\n"
              "MT19   60.0 2026-01-05 03:46:40\n"
              "  SV  ZCount  Freq  SMooth Code Quality  MPathErr  PseudoRange   MMI\n"
              "   4    60.0  L2    -      C/A  > 5.409                   2.000  0\n\n");
}

}  // namespace
}  // namespace corvane

// The converter as a channel runs it: the frame search over blocks, the
// station messages, and the hourly observation and navigation files.
#include "rinex/rtcm3_rinex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/queue_window_receiver.h"
#include "tests/net/channel_test_support.h"
#include "tests/rinex/legacy_observation_messages.h"
#include "tests/rinex/recorded_frames.h"
#include "tests/rtcm/rtcm3_test_messages.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using test::BitWriter;
using test::Frame;
using test::LegacyObservation;
using test::LegacySat;

constexpr std::int64_t kGpsEpochUnix = 315964800;

// A text file's lines ended by LF alone, as on Linux (Windows writes CR LF).
std::string LfLines(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// Seconds since 1970 of a calendar time read on the GPS scale.
std::int64_t GpsTime(int year, int month, int day, int hour, int minute, int second) {
    return platform::FromUtc({year, month, day, hour, minute, second});
}

// The system's line end in text files ("\n" or "\r\n").
std::string TextLineEnd(const std::string& folder) {
    platform::OutputFile f;
    const std::string path = folder + "/line-end.txt";
    f.Open(path, platform::FileMode::WriteText);
    f.Write("\n");
    f.Close();
    std::string text;
    test::ReadFile(path, &text);
    std::filesystem::remove(path);
    return text;
}

std::string WithLineEnds(const std::string& text, const std::string& end) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += end;
        } else {
            out += c;
        }
    }
    return out;
}

// A converter on a channel named SEOUL-RTCM32 in Seoul's time zone, its
// clock started at 2026-01-01 00:00:00 GPS time.
class Converter : public ::testing::Test {
protected:
    Converter() {
        runFlag = 1;
        std::snprintf(entry_.name, sizeof entry_.name, "SEOUL-RTCM32");
        channel_.OpenOutputs(&entry_);
    }
    ~Converter() override {
        channel_.Stop();
        runFlag = 0;
    }

    int Feed(const std::vector<std::uint8_t>& bytes) {
        return rinex_.Input(bytes.data(), static_cast<int>(bytes.size()));
    }
    // A 1004 epoch with satellites G05 and G12 at GPS time t, completed by
    // its own message.
    void Epoch(std::int64_t t) {
        LegacySat a, b;
        b.id = 12;
        const auto ms = static_cast<std::uint32_t>((t - kGpsEpochUnix) % 604800 * 1000);
        Feed(LegacyObservation(1004, ms, false, {a, b}));
    }
    // Writes three epochs that are never written, so that the next is.
    void PassFirstEpochs(std::int64_t t) {
        for (int i = 3; i > 0; --i) Epoch(t - i);
    }
    std::string File(std::int64_t gpsTime, const char* extension) {
        for (auto& f : channel_.rinexFiles) f.Flush();
        std::string text;
        if (!test::ReadFile(HourlyFileName(dir_.Path(), entry_.name, gpsTime, extension), &text))
            return "<absent>";
        return text;
    }
    int FileCount() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.Path())) ++n;
        return n;
    }

    test::ScopedEnv tz_{"TZ", "KST-9"};
    test::TempDir dir_;
    platform::QueueWindowReceiver window_;
    NtripChannel channel_{&window_, [this] {
                              ChannelContext c;
                              c.outputDir = dir_.Path();
                              return c;
                          }()};
    MountpointEntry entry_;
    const std::int64_t start_ = GpsTime(2026, 1, 1, 0, 0, 0);
    RTCM3Rinex rinex_{&channel_, start_ - 10};
};

TEST_F(Converter, ClockStartsFromTheGivenTimeOrTheComputer) {
    EXPECT_EQ(rinex_.clock.gpsWeek, (start_ - 10 - kGpsEpochUnix) / 604800);
    EXPECT_EQ(rinex_.clock.gpsSecond, (start_ - 10 - kGpsEpochUnix) % 604800);
    platform::ManualClock computer(GpsTime(2026, 12, 9, 12, 0, 0));
    platform::SetClock(&computer);
    const RTCM3Rinex live(&channel_);
    platform::SetClock(nullptr);
    // 2026-12-09 12:00:18 GPS time: Wednesday of week 2448.
    EXPECT_EQ(live.clock.gpsWeek, 2448);
    EXPECT_EQ(live.clock.gpsSecond, 3 * 86400 + 12 * 3600 + 18);
}

TEST_F(Converter, FrameSearchOverBlocks) {
    const auto station = Frame(test::Message1006(11, 22, 33, 44));
    // A frame split over blocks is decoded when its last CRC byte arrives.
    EXPECT_EQ(Feed({station.begin(), station.end() - 1}), static_cast<int>(station.size() - 1));
    EXPECT_EQ(rinex_.station.x, 0);
    EXPECT_EQ(Feed({station.back()}), 0);
    EXPECT_EQ(rinex_.station.antennaHeight, 44u);

    // A false preamble announcing 1023 bytes holds the search until they
    // are buffered; the frame inside is then found.
    std::vector<std::uint8_t> stream = {0xD3, 0x03, 0xFF};
    const auto moved = Frame(test::Message1006(-5, 6, 7, 8));
    stream.insert(stream.end(), moved.begin(), moved.end());
    Feed(stream);
    EXPECT_EQ(rinex_.station.x, 11);
    Feed(std::vector<std::uint8_t>(1023 + 6 - stream.size(), 0));
    EXPECT_EQ(rinex_.station.x, -5);

    // Two frames back to back in one block, behind a corrupted one.
    auto corrupted = Frame(test::Message1006(1, 1, 1, 1));
    corrupted[8] ^= 0x40;
    stream = corrupted;
    test::Append(stream, Frame(test::Message1013(60000, 3600, 17)));
    test::Append(stream, Frame(test::Message1033({"ANT", "SN1", "RX", "FW", "RXSN"})));
    Feed(stream);
    EXPECT_EQ(rinex_.station.x, -5);
    EXPECT_EQ(rinex_.clock.gpsWeek, 2250);
    EXPECT_EQ(rinex_.clock.gpsSecond, 522000);
    EXPECT_EQ(rinex_.clock.leapSeconds, 17);
    EXPECT_STREQ(rinex_.station.receiverSerial, "RXSN");
}

TEST_F(Converter, StationMessages) {
    Feed(Frame(test::Message1006(-30000000000, 40000000000, 37000000000, 15000)));
    BitWriter m1005;
    m1005.U(1005, 12).U(0, 22).S(1, 38).U(0, 2).S(2, 38).U(0, 2).S(3, 38);
    Feed(Frame(m1005));
    EXPECT_EQ(rinex_.station.x, 1);
    EXPECT_EQ(rinex_.station.z, 3);
    EXPECT_EQ(rinex_.station.antennaHeight, 15000u);  // the 1006's stays

    const std::string long40(40, 'A');
    Feed(Frame(test::Message1033({long40, "SERIAL", "RECEIVER", "1.0", "R1"})));
    EXPECT_EQ(std::string(rinex_.station.antennaDescriptor), std::string(31, 'A'));
    EXPECT_STREQ(rinex_.station.antennaSerial, "SERIAL");  // read after the long text
    EXPECT_STREQ(rinex_.station.receiverType, "RECEIVER");

    // 1007 changes the descriptor only; a text running past the frame
    // reads zeros.
    BitWriter m1007;
    m1007.U(1007, 12).U(0, 12).U(20, 8).Text("SHORT", 5);
    Feed(Frame(m1007));
    EXPECT_STREQ(rinex_.station.antennaDescriptor, "SHORT");
    EXPECT_STREQ(rinex_.station.antennaSerial, "SERIAL");
}

TEST_F(Converter, FirstTextOfTheHourOpensThreeFilesNamedInLocalTime) {
    platform::ManualClock computer(GpsTime(2026, 12, 10, 6, 30, 5));
    platform::SetClock(&computer);
    // An ephemeris before any epoch opens the files at the clock's time
    // (2025-12-31 23:59:50, 08:59:50 in Seoul) and is written at once.
    Feed(Frame(test::Message1019({})));
    Feed(Frame(test::Message1019({})));  // its repeat: not again in the files it opened
    EXPECT_EQ(FileCount(), 3);
    const std::int64_t before = start_ - 10;
    const std::string nav = File(before, "n");
    EXPECT_NE(nav.find("\n05 "), std::string::npos);
    EXPECT_EQ(nav.find("\n05 ", nav.find("\n05 ") + 1), std::string::npos);
    PassFirstEpochs(start_);
    Epoch(start_);  // the next hour: the next three files
    EXPECT_EQ(FileCount(), 6);
    platform::SetClock(nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir_.File("SEOUL-RTCM32_20260101_090000.o")));
    const std::string le = TextLineEnd(dir_.Path());
    const auto line = [&](const std::string& text, const std::string& label) {
        std::string padded = text;
        padded.resize(60, ' ');
        padded += label;
        padded.resize(80, ' ');
        return WithLineEnds(padded + "\n", le);
    };
    // The observation file of the hour without epochs holds its header only.
    const std::string empty = File(before, "o");
    EXPECT_NE(empty.find(
                  line("  2025    12    31    23    59   50.0000000     GPS", "TIME OF FIRST OBS")),
              std::string::npos);
    EXPECT_EQ(empty.substr(empty.size() - line("", "END OF HEADER").size()),
              line("", "END OF HEADER"));
    // The created date is the computer's, in UTC.
    const std::string obs = File(start_, "o");
    EXPECT_NE(obs.find(line("rtcm2rinex                              20261210 063005 UTC",
                            "PGM / RUN BY / DATE") +
                       WithLineEnds("SEOU        ", le)),
              std::string::npos);
    EXPECT_NE(
        obs.find(line("  2026    01    01    00    00   00.0000000     GPS", "TIME OF FIRST OBS")),
        std::string::npos);
    EXPECT_NE(obs.find(line("     6    C1    L1    S1    C2    L2    S2", "# / TYPES OF OBSERV")),
              std::string::npos);
    EXPECT_NE(obs.find(line("", "END OF HEADER") +
                       WithLineEnds(" 26 01 01 00 00 00.0000000 00 02G05G12\n", le)),
              std::string::npos);
    EXPECT_NE(File(start_, "n").find("N: GPS NAV DATA"), std::string::npos);
    EXPECT_NE(File(start_, "g").find("G: GLONASS NAV DATA"), std::string::npos);
}

TEST_F(Converter, FilesChangeWithTheHourOfDataTime) {
    const std::int64_t t1 = GpsTime(2026, 1, 1, 10, 59, 59);
    PassFirstEpochs(t1);
    Epoch(t1);
    Epoch(t1 + 1);
    const std::int64_t t3 = GpsTime(2026, 1, 1, 14, 23, 10);
    Epoch(t3);
    Epoch(t3 + 1);
    EXPECT_EQ(FileCount(), 9);
    const auto records = [](const std::string& text) {
        int n = 0;
        for (std::size_t at = 0; (at = text.find(" 26 01 01 ", at)) != std::string::npos; ++at) ++n;
        return n;
    };
    EXPECT_EQ(records(File(t1, "o")), 1);
    EXPECT_EQ(records(File(t1 + 1, "o")), 1);
    EXPECT_EQ(records(File(t3, "o")), 2);
    EXPECT_NE(File(t1 + 1, "o").find("  2026    01    01    11    00   00.0000000"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir_.File("SEOUL-RTCM32_20260101_232310.g")));
}

TEST_F(Converter, NavigationRecordsOncePerFileAndTocZero) {
    PassFirstEpochs(start_);
    Epoch(start_);
    test::Eph1019 eph;
    eph.prn = 5;
    eph.toc = 0;  // start of the GPS week
    eph.week = 2399 % 1024;
    Feed(Frame(test::Message1019(eph)));
    Feed(Frame(test::Message1019(eph)));  // a repeat
    test::Eph1020 glo;
    glo.tb = 0;
    Feed(Frame(test::Message1020(glo)));
    Feed(Frame(test::Message1020(glo)));
    const auto count = [](const std::string& text, const char* start) {
        int n = 0;
        for (std::size_t at = 0; (at = text.find(start, at)) != std::string::npos; ++at) ++n;
        return n;
    };
    EXPECT_EQ(count(File(start_, "n"), "\n05 25 12 28 00 00 00.0"), 1);
    EXPECT_EQ(count(File(start_, "g"), "\n03 "), 1);
    EXPECT_EQ(rinex_.gps[4].week, 2399);  // the full week nearest the clock

    // The next hour's files receive the same ephemerides again.
    const std::int64_t next = start_ + 3600;
    Epoch(next);
    Feed(Frame(test::Message1019(eph)));
    Feed(Frame(test::Message1020(glo)));
    EXPECT_EQ(count(File(next, "n"), "\n05 25 12 28 00 00 00.0"), 1);
    EXPECT_EQ(count(File(next, "g"), "\n03 "), 1);
}

TEST_F(Converter, StoppedChannelStopsTheConverter) {
    PassFirstEpochs(start_);
    runFlag = 0;
    Epoch(start_);
    EXPECT_EQ(FileCount(), 0);
    runFlag = 1;
}

// Labels of the observation header's lines.
const std::set<std::string> kObservationLabels = {"RINEX VERSION / TYPE",
                                                  "PGM / RUN BY / DATE",
                                                  "MARKER NAME",
                                                  "OBSERVER / AGENCY",
                                                  "REC # / TYPE / VERS",
                                                  "ANT # / TYPE",
                                                  "APPROX POSITION XYZ",
                                                  "ANTENNA: DELTA H/E/N",
                                                  "WAVELENGTH FACT L1/2",
                                                  "# / TYPES OF OBSERV",
                                                  "INTERVAL",
                                                  "TIME OF FIRST OBS",
                                                  "LEAP SECONDS",
                                                  "END OF HEADER"};

TEST_F(Converter, DescriptorTextsCannotBreakTheHeader) {
    // A 1008 whose descriptor holds a line feed and 0xFF, and a 1033 whose
    // receiver type holds a carriage return and a NUL.
    BitWriter m1008;
    const char descriptor[] = "ANT\nMARKER NAME\xFF";
    m1008.U(1008, 12).U(0, 12).U(sizeof descriptor - 1, 8).Text(descriptor, sizeof descriptor - 1);
    m1008.U(0, 8).U(3, 8).Text("S\rN", 3);
    Feed(Frame(test::Message1033({"A", "B", std::string("RX\r\0X", 5), "FW", "SN"})));
    Feed(Frame(m1008));
    PassFirstEpochs(start_);
    Epoch(start_);
    std::string obs = File(start_, "o");
    obs.erase(std::remove(obs.begin(), obs.end(), '\r'), obs.end());  // the system's line ends
    std::istringstream in(obs);
    int lines = 0;
    for (std::string line; std::getline(in, line) && line.find("END OF HEADER") != 0;) {
        ++lines;
        ASSERT_EQ(line.size(), 80u) << line;
        std::string label = line.substr(60);
        label.erase(label.find_last_not_of(' ') + 1);
        EXPECT_EQ(kObservationLabels.count(label), 1u) << line;
        for (char c : line) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << line;
        if (label == "END OF HEADER") break;
    }
    EXPECT_EQ(lines, 14);
    EXPECT_NE(obs.find("\nSN                  RX  X               FW "), std::string::npos);
    EXPECT_NE(obs.find("\nS N                 ANT MARKER NAME     "), std::string::npos);
}

TEST_F(Converter, FiveHertzEpochsWithTheirFractions) {
    PassFirstEpochs(start_);
    LegacySat sat;
    const auto ms = static_cast<std::uint32_t>((start_ - kGpsEpochUnix) % 604800 * 1000);
    for (std::uint32_t fifth = 0; fifth < 6; ++fifth)
        Feed(LegacyObservation(1004, ms + 200 * fifth, false, {sat}));
    const std::string obs = File(start_, "o");
    std::size_t at = 0;
    for (const char* second : {"00.0", "00.2", "00.4", "00.6", "00.8", "01.0"}) {
        at = obs.find(std::string(" 26 01 01 00 00 ") + second + "000000 00 01G05", at);
        EXPECT_NE(at, std::string::npos) << second;
    }
    EXPECT_NE(obs.find("   00.0000000     GPS         TIME OF FIRST OBS"), std::string::npos);
}

TEST_F(Converter, StoppingWritesThePendingEpoch) {
    channel_.rinex = std::make_unique<RTCM3Rinex>(&channel_, start_ - 10);
    PassFirstEpochs(start_);  // through the other converter: no file
    std::vector<std::uint8_t> stream;
    for (int i = -3; i <= 0; ++i) {
        const auto ms = static_cast<std::uint32_t>((start_ + i - kGpsEpochUnix) % 604800 * 1000);
        // Synchronous flag set: each epoch waits for the next one's first message.
        test::Append(stream, LegacyObservation(1004, ms, true, {LegacySat{}}));
    }
    channel_.ProcessBlock(stream.data(), static_cast<int>(stream.size()));
    EXPECT_EQ(FileCount(), 0);
    channel_.Stop();
    EXPECT_NE(File(start_, "o").find(" 26 01 01 00 00 00.0000000 00 01G05"), std::string::npos);
}

TEST_F(Converter, ClockMovedAWeekBackOpensFilesOfTheEarlierHour) {
    PassFirstEpochs(start_);
    Epoch(start_);
    // 2025-12-25: MJD 61034.
    Feed(Frame(test::Message1013(61034, 0, 18)));
    const std::int64_t earlier = start_ - 604800 + 5;
    Epoch(earlier);
    EXPECT_EQ(FileCount(), 6);
    EXPECT_NE(File(earlier, "o").find(" 25 12 25 00 00 05.0000000 00 02G05G12"), std::string::npos);
    EXPECT_EQ(File(start_, "o").find(" 25 12 25 "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir_.File("SEOUL-RTCM32_20251225_090005.o")));
}

TEST_F(Converter, EpochsInterleavingAcrossTheHourKeepOneSetOfFiles) {
    PassFirstEpochs(start_);
    Epoch(start_);
    Epoch(start_ + 3600);
    Epoch(start_ + 3600 - 14);  // another time scale's epoch, just before the hour
    Epoch(start_ + 3601);
    EXPECT_EQ(FileCount(), 6);
    EXPECT_NE(File(start_ + 3600, "o").find(" 26 01 01 00 59 46.0000000"), std::string::npos);
    EXPECT_NE(File(start_ + 3600, "o").find(" 26 01 01 01 00 01.0000000"), std::string::npos);
}

TEST_F(Converter, ChangeOfStationIsAnEventWithTheNewPosition) {
    PassFirstEpochs(start_);
    Epoch(start_);
    LegacySat a, b;
    b.id = 12;
    const auto ms = [&](int s) {
        return static_cast<std::uint32_t>((start_ + s - kGpsEpochUnix) % 604800 * 1000);
    };
    Feed(LegacyObservation(1004, ms(1), false, {a, b}, -1, 1234));
    Feed(LegacyObservation(1004, ms(2), false, {a, b}, -1, 1234));
    Feed(Frame(test::Message1006(11, 22, 33, 44)));  // station 1234
    Feed(LegacyObservation(1004, ms(3), false, {a, b}, -1, 1234));
    const std::string obs = LfLines(File(start_, "o"));
    const std::string marker = "1234" + std::string(56, ' ') + "MARKER NAME";
    EXPECT_NE(obs.find(" 26 01 01 00 00 01.0000000  3  1\n" + marker), std::string::npos);
    // Both satellites lost lock at the change, and only then.
    EXPECT_NE(obs.find("G05G12\n  21005472.060   110384505.96419"), std::string::npos);
    EXPECT_NE(obs.find(" 26 01 01 00 00 03.0000000  3  2\n" + marker), std::string::npos);
    EXPECT_NE(obs.find("        0.0011        0.0022        0.0033"), std::string::npos);
    EXPECT_EQ(obs.find(" 26 01 01 00 00 02.0000000  3"), std::string::npos);
    EXPECT_EQ(rinex_.station.x, 11);
}

// A running channel with the RINEX output creates its converter and writes
// the three files from the stream a caster sends.
class RinexOutputs : public ChannelOutputFactory {
public:
    explicit RinexOutputs(std::int64_t start) : start_(start) {}
    std::unique_ptr<StreamDecoder> CreateDecoder(int, NtripChannel&) const override {
        return nullptr;
    }
    std::unique_ptr<StreamDecoder> CreateRinex(NtripChannel& owner) const override {
        return std::make_unique<RTCM3Rinex>(&owner, start_);
    }

private:
    std::int64_t start_;
};

TEST(ConverterChannel, RunningChannelWritesTheThreeFiles) {
    test::ScopedEnv tz{"TZ", "UTC0"};
    test::TempDir dir;
    const std::int64_t t = GpsTime(2026, 1, 1, 0, 0, 0);
    std::string stream;
    for (int i = 0; i < 6; ++i) {
        const auto ms = static_cast<std::uint32_t>((t + i - kGpsEpochUnix) % 604800 * 1000);
        const auto frame = LegacyObservation(1004, ms, false, {LegacySat{}});
        stream.append(frame.begin(), frame.end());
    }
    test::Eph1019 eph;
    eph.week = 2399 % 1024;
    const auto nav = Frame(test::Message1019(eph));
    stream.append(nav.begin(), nav.end());
    // The stream goes out once; the channel reconnects when it falls silent.
    std::atomic<bool> sent{false};
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n\r\n");
        if (!sent.exchange(true)) c.SendInPieces(stream, {7, 100, 33});
        c.WaitForClose(std::chrono::seconds(5));
    });
    test::ChannelRig rig(caster.Address());
    const RinexOutputs outputs(t);
    rig.context.outputs = &outputs;
    rig.context.outputDir = dir.Path();
    rig.entry.outputs = kOutputRinex;
    NtripChannel& channel = rig.Start();
    // The first connection's stream has been handled when the second begins.
    EXPECT_TRUE(test::WaitUntil([&] { return caster.Connections() >= 2; }));
    EXPECT_NE(channel.rinex, nullptr);
    rig.Stop();
    const std::string base = dir.File("MOUNT_20260101_000003.");
    std::string obs, gps, glonass;
    ASSERT_TRUE(test::ReadFile(base + "o", &obs));
    ASSERT_TRUE(test::ReadFile(base + "n", &gps));
    ASSERT_TRUE(test::ReadFile(base + "g", &glonass));
    EXPECT_NE(obs.find(" 26 01 01 00 00 05.0000000 00 01G05"), std::string::npos);
    EXPECT_NE(gps.find("\n05 26 01 01 04 00 00.0"), std::string::npos) << gps;
    EXPECT_NE(glonass.find("END OF HEADER"), std::string::npos);
}

// Text mode: CR LF on Windows (so the files match those of other Windows
// tools byte for byte), LF elsewhere.
TEST_F(Converter, RinexFilesUseTheSystemsLineEnds) {
    PassFirstEpochs(start_);
    Epoch(start_);
    Feed(Frame(test::Message1019({})));
    const bool windows = platform::kPathSeparator == '\\';
    for (const char* extension : {"o", "n"}) {
        const std::string text = File(start_, extension);
        ASSERT_NE(text.find("END OF HEADER"), std::string::npos) << extension;
        std::size_t lines = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\n') continue;
            ++lines;
            ASSERT_EQ(i > 0 && text[i - 1] == '\r', windows) << extension << " byte " << i;
        }
        EXPECT_GT(lines, 5u);
    }
}

// Every file a recording converts to, by extension, in name order.
struct ConvertedFiles {
    std::map<std::string, std::string> text;  // "o", "n", "g": the files one after another
    int files = 0;
};

ConvertedFiles ConvertRecording(const std::string& name, std::optional<std::int64_t> start) {
    ConvertedFiles out;
    std::string data;
    EXPECT_TRUE(test::ReadFile(test::SharedDataFile("rtcm3/" + name), &data)) << name;
    test::TempDir dir;
    runFlag = 1;
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "REC");
    ChannelContext context;
    context.outputDir = dir.Path();
    platform::QueueWindowReceiver window;
    NtripChannel channel(&window, context);
    channel.OpenOutputs(&entry);
    {
        RTCM3Rinex rinex(&channel, start);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
        for (std::size_t at = 0; at < data.size(); at += 1000)
            rinex.Input(bytes + at,
                        static_cast<int>(std::min<std::size_t>(1000, data.size() - at)));
        rinex.Finish();
    }
    channel.Stop();
    runFlag = 0;
    std::set<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        paths.insert(e.path().string());
    for (const std::string& path : paths) {
        std::string text;
        test::ReadFile(path, &text);
        out.text[path.substr(path.rfind('.') + 1)] += text;
        ++out.files;
    }
    return out;
}

// Navigation records of a file's text: "05 18 07 12 22 00 00.0" of each.
std::set<std::string> NavigationRecords(const std::string& text) {
    std::set<std::string> records;
    std::istringstream in(text);
    bool body = false;
    for (std::string line; std::getline(in, line);) {
        if (line.find("END OF HEADER") != std::string::npos)
            body = true;
        else if (line.find("RINEX VERSION / TYPE") != std::string::npos)
            body = false;
        else if (body && line.size() > 22 && line[0] != ' ')
            records.insert(line.substr(0, 22));
    }
    return records;
}

TEST(ConverterRealData, EveryRecordingWithEphemeridesGivesNavigationRecords) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::ScopedEnv tz{"TZ", "UTC0"};
    int recordings = 0;
    for (const auto& e : std::filesystem::directory_iterator(test::SharedDataFile("rtcm3"))) {
        if (!e.is_regular_file()) continue;
        const std::string name = e.path().filename().string();
        SCOPED_TRACE(name);
        std::string data;
        ASSERT_TRUE(test::ReadFile(e.path().string(), &data));
        // The distinct ephemerides: GPS by PRN and toc, GLONASS by slot and tb.
        std::set<std::pair<int, int>> gps, glonass;
        test::ForEachFrame(data, [&](const std::uint8_t* frame, std::size_t length, int number) {
            BitCursor in = test::PayloadAfterNumber(frame, length);
            if (number == 1019) {
                const int prn = static_cast<int>(in.U(6));
                in.Skip(10 + 4 + 2 + 14 + 8);
                if (prn >= 1 && prn <= 32) gps.insert({prn, static_cast<int>(in.U(16))});
            } else if (number == 1020) {
                const int slot = static_cast<int>(in.U(6));
                in.Skip(5 + 4 + 12 + 2);
                if (slot >= 1 && slot <= 24) glonass.insert({slot, static_cast<int>(in.U(7))});
            }
        });
        if (gps.empty() && glonass.empty()) continue;
        ++recordings;
        const ConvertedFiles files = ConvertRecording(name, std::nullopt);
        const auto n = NavigationRecords(files.text.count("n") ? files.text.at("n") : "");
        const auto g = NavigationRecords(files.text.count("g") ? files.text.at("g") : "");
        EXPECT_EQ(!gps.empty(), !n.empty());
        EXPECT_EQ(!glonass.empty(), !g.empty());
        if (name == "swift_eph.rtcm") {
            // Ephemerides only, and each of them written.
            EXPECT_EQ(n.size(), gps.size());
            EXPECT_EQ(g.size(), glonass.size());
            EXPECT_GT(gps.size(), 30u);
        }
    }
    EXPECT_GE(recordings, 7);
}

// The ephemerides that come before the first observation epoch.
TEST(ConverterRealData, EphemeridesBeforeTheFirstEpoch) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::ScopedEnv tz{"TZ", "UTC0"};
    const ConvertedFiles files = ConvertRecording(
        "rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3", GpsTime(2011, 1, 15, 2, 0, 0));
    const auto n = NavigationRecords(files.text.at("n"));
    const auto g = NavigationRecords(files.text.at("g"));
    for (const char* prn :
         {"01 11 01 14 22 00 00.0", "02 11 01 15 04 00 00.0", "03 11 01 15 00 00 00.0"})
        EXPECT_EQ(n.count(prn), 1u) << prn;
    for (const char* slot : {"06 11 01 15 02 15 00.0", "18 11 01 15 02 15 00.0"})
        EXPECT_EQ(g.count(slot), 1u) << slot;
}

// Legacy observations from station 175, then MSM from another station, then
// legacy observations from station 59, whose 1006 follows its first epochs.
TEST(ConverterRealData, ChangeOfReferenceStation) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::ScopedEnv tz{"TZ", "UTC0"};
    const ConvertedFiles files =
        ConvertRecording("swift_switch-legacy-msm-legacy-msm.rtcm", GpsTime(2018, 5, 23, 13, 0, 0));
    const std::string obs = LfLines(files.text.at("o"));
    EXPECT_NE(
        obs.find("  3169984.8538   579957.1034  5485941.2195                  APPROX POSITION "
                 "XYZ"),
        std::string::npos);
    const std::size_t change = obs.find("  3  1\n0059 ");
    ASSERT_NE(change, std::string::npos);
    // The first epoch of station 59: every satellite has lost lock.
    const std::size_t epoch = obs.find("\n", obs.find("\n", change) + 1) + 1;
    const std::size_t first = obs.find("\n", epoch) + 1;  // its first satellite's L1 phase
    EXPECT_EQ(obs.substr(first + 30, 1), "1") << obs.substr(epoch, 400);
    // Its position once its 1006 has come.
    const std::size_t position = obs.find("  3  2\n0059 ", change);
    ASSERT_NE(position, std::string::npos);
    EXPECT_EQ(obs.find("  2959057.2474  1341058.5003  5470426.8058                  APPROX POSITION"
                       " XYZ",
                       position),
              obs.find("\n", position) + 1 + 81);
}

}  // namespace
}  // namespace corvane

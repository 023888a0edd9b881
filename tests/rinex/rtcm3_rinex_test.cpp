// The converter as a channel runs it: the frame search over blocks, the
// station messages, and the hourly observation and navigation files.
#include "rinex/rtcm3_rinex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
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
    EXPECT_EQ(FileCount(), 3);
    const std::int64_t before = start_ - 10;
    EXPECT_NE(File(before, "n").find("\n05 "), std::string::npos);
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
    EXPECT_NE(empty.find(line("  2025    12    31    23    59   50.0000000     GPS",
                              "TIME OF FIRST OBS")),
              std::string::npos);
    EXPECT_EQ(empty.substr(empty.size() - line("", "END OF HEADER").size()),
              line("", "END OF HEADER"));
    // The created date is the computer's, in UTC.
    const std::string obs = File(start_, "o");
    EXPECT_NE(obs.find(line("rtcm2rinex                              20261210 063005 UTC",
                            "PGM / RUN BY / DATE") +
                       WithLineEnds("SEOU        ", le)),
              std::string::npos);
    EXPECT_NE(obs.find(line("  2026    01    01    00    00   00.0000000     GPS",
                            "TIME OF FIRST OBS")),
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

TEST(ConverterRealData, EveryRecordingConverts) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::ScopedEnv tz{"TZ", "UTC0"};
    test::TempDir dir;
    runFlag = 1;
    int withObservations = 0;
    for (const auto& e : std::filesystem::directory_iterator(test::SharedDataFile("rtcm3"))) {
        if (!e.is_regular_file()) continue;
        std::string data;
        ASSERT_TRUE(test::ReadFile(e.path().string(), &data));
        MountpointEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "%s", e.path().stem().string().c_str());
        ChannelContext context;
        context.outputDir = dir.Path();
        platform::QueueWindowReceiver window;
        NtripChannel channel(&window, context);
        channel.OpenOutputs(&entry);
        {
            RTCM3Rinex rinex(&channel);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
            for (std::size_t at = 0; at < data.size(); at += 1000)
                rinex.Input(bytes + at,
                            static_cast<int>(std::min<std::size_t>(1000, data.size() - at)));
            if (rinex.columns.Count() > 0) ++withObservations;
        }
        channel.Stop();
    }
    runFlag = 0;
    EXPECT_GE(withObservations, 5);
}

}  // namespace
}  // namespace corvane

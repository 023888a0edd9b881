#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/clock.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const std::string& path) {
    std::string s;
    test::ReadFile(path, &s);
    return s;
}

// A channel fed directly, as when recorded streams are converted, on a
// clock set to a chosen local time.
class RawFile : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CalendarTime c;
        c.year = 2026;
        c.month = 3;
        c.day = 5;
        c.hour = 10;
        c.minute = 23;
        c.second = 45;
        start_ = platform::FromLocal(c);
        clock_.Set(start_);
        platform::SetClock(&clock_);
        runFlag = 1;
        std::snprintf(entry_.name, sizeof entry_.name, "SEJU00KOR0");
        entry_.outputs = kOutputRaw;
    }
    void TearDown() override {
        runFlag = 0;
        platform::SetClock(nullptr);
    }
    void Feed(NtripChannel& channel, const std::string& block) {
        channel.ProcessBlock(reinterpret_cast<const std::uint8_t*>(block.data()),
                             static_cast<int>(block.size()));
    }

    platform::ManualClock clock_;
    std::int64_t start_ = 0;
    MountpointEntry entry_;
    test::TempDir dir_;
};

TEST_F(RawFile, NamedAfterTheFirstBlockAndChangedAtTheFullHour) {
    ChannelContext context;
    context.outputDir = dir_.Path();
    NtripChannel channel(nullptr, context);
    channel.OpenOutputs(&entry_);
    Feed(channel, "abc");
    clock_.Set(start_ + 36 * 60 + 14);  // 10:59:59
    Feed(channel, std::string("d\0e", 3));
    clock_.Set(start_ + 36 * 60 + 15);  // 11:00:00
    Feed(channel, "fgh");
    clock_.Set(start_ + 40 * 60);  // 11:03:45
    Feed(channel, "ij");
    channel.Stop();
    const std::vector<std::string> files = FilesIn(dir_.Path());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], "SEJU00KOR0_20260305_102345.rtcm");
    EXPECT_EQ(files[1], "SEJU00KOR0_20260305_110000.rtcm");
    EXPECT_EQ(Contents(dir_.File(files[0])), std::string("abcd\0e", 6));
    EXPECT_EQ(Contents(dir_.File(files[1])), "fghij");
}

TEST_F(RawFile, MissingFoldersAreCreated) {
    ChannelContext context;
    context.outputDir = dir_.File("a/b/c");
    NtripChannel channel(nullptr, context);
    channel.OpenOutputs(&entry_);
    Feed(channel, "xyz");
    channel.Stop();
    ASSERT_EQ(FilesIn(context.outputDir).size(), 1u);
    EXPECT_EQ(Contents(context.outputDir + "/" + FilesIn(context.outputDir)[0]), "xyz");
}

TEST_F(RawFile, OverLongPathIsRefusedAndTheOtherOutputsGoOn) {
    ChannelContext context;
    context.outputDir = dir_.Path() + "/" + std::string(5000, 'd');
    NtripChannel channel(nullptr, context);
    channel.OpenOutputs(&entry_);
    Feed(channel, "xyz");
    EXPECT_FALSE(channel.rawFile.IsOpen());
    channel.Stop();
    EXPECT_TRUE(FilesIn(dir_.Path()).empty());
}

TEST_F(RawFile, NothingWrittenWithoutTheRawFlagOrAfterStop) {
    ChannelContext context;
    context.outputDir = dir_.Path();
    entry_.outputs = kOutputText;
    NtripChannel channel(nullptr, context);
    channel.OpenOutputs(&entry_);
    Feed(channel, "abc");
    channel.Stop();
    entry_.outputs = kOutputRaw;
    Feed(channel, "abc");
    EXPECT_TRUE(FilesIn(dir_.Path()).empty());
}

}  // namespace
}  // namespace corvane

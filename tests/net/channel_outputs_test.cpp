#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "net/stream_decoder.h"

namespace corvane {
namespace {

// Decoders that note every block they get, and when they go.
struct Log {
    std::vector<std::string> lines;
};

class NotingDecoder : public StreamDecoder {
public:
    NotingDecoder(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
    ~NotingDecoder() override { log_.lines.push_back(name_ + " deleted"); }
    int Input(const std::uint8_t* data, int length) override {
        log_.lines.push_back(name_ + " " +
                             std::string(reinterpret_cast<const char*>(data), length));
        return 0;
    }

private:
    Log& log_;
    std::string name_;
};

class NotingFactory : public ChannelOutputFactory {
public:
    explicit NotingFactory(Log& log) : log_(log) {}
    std::unique_ptr<StreamDecoder> CreateDecoder(int version, NtripChannel&) const override {
        return std::make_unique<NotingDecoder>(log_, "rtcm" + std::to_string(version));
    }
    std::unique_ptr<StreamDecoder> CreateRinex(NtripChannel&) const override {
        return std::make_unique<NotingDecoder>(log_, "rinex");
    }

private:
    Log& log_;
};

struct Fed {
    Log log;
    bool rtcm2 = false, rtcm3 = false, rinex = false, raw = false, text = false;
};

// Opens the outputs of a mountpoint of `version` with `outputs`, feeds
// "ab" and "c", stops.
Fed Feed(float version, std::uint8_t outputs) {
    Fed fed;
    NotingFactory factory(fed.log);
    ChannelContext context;
    context.outputs = &factory;
    NtripChannel channel(nullptr, context);
    MountpointEntry entry;
    entry.formatVersion = version;
    entry.outputs = outputs;
    channel.OpenOutputs(&entry);
    fed.rtcm2 = channel.rtcm2 != nullptr;
    fed.rtcm3 = channel.rtcm3 != nullptr;
    fed.rinex = channel.rinex != nullptr;
    fed.raw = channel.rawEnabled;
    fed.text = channel.textEnabled;
    channel.rawEnabled = false;  // no file here
    runFlag = 1;
    channel.ProcessBlock(reinterpret_cast<const std::uint8_t*>("ab"), 2);
    channel.ProcessBlock(reinterpret_cast<const std::uint8_t*>("c"), 1);
    runFlag = 0;
    channel.ProcessBlock(reinterpret_cast<const std::uint8_t*>("late"), 4);
    channel.Stop();
    EXPECT_EQ(channel.rtcm3, nullptr);
    EXPECT_EQ(channel.rinex, nullptr);
    EXPECT_FALSE(channel.textEnabled);
    return fed;
}

TEST(ChannelOutputs, DecoderChosenByTheIntegerPartOfTheFormatVersion) {
    Fed v3 = Feed(3.2f, 0);
    EXPECT_TRUE(v3.rtcm3);
    EXPECT_FALSE(v3.rtcm2);
    EXPECT_EQ(v3.log.lines, (std::vector<std::string>{"rtcm3 ab", "rtcm3 c", "rtcm3 deleted"}));
    Fed v2 = Feed(2.9f, 0);
    EXPECT_TRUE(v2.rtcm2);
    EXPECT_EQ(v2.log.lines, (std::vector<std::string>{"rtcm2 ab", "rtcm2 c", "rtcm2 deleted"}));
    Fed other = Feed(1.0f, 0);
    EXPECT_FALSE(other.rtcm2 || other.rtcm3);
    EXPECT_TRUE(other.log.lines.empty());
}

TEST(ChannelOutputs, FlagsAndTheRinexConverterWhateverTheVersion) {
    Fed all = Feed(2.3f, kOutputRaw | kOutputText | kOutputRinex);
    EXPECT_TRUE(all.raw && all.text && all.rinex);
    // The decoder gets each block before the converter.
    EXPECT_EQ(all.log.lines, (std::vector<std::string>{"rtcm2 ab", "rinex ab", "rtcm2 c", "rinex c",
                                                       "rtcm2 deleted", "rinex deleted"}));
    Fed textOnly = Feed(3.0f, kOutputText);
    EXPECT_TRUE(textOnly.text);
    EXPECT_FALSE(textOnly.raw || textOnly.rinex);
}

}  // namespace
}  // namespace corvane

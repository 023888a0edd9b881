// Every recording of the shared data, through the RTCM 3 and the RTCM 2
// decoder, gives a decoded-text log byte-identical to the one printf wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "net/hourly_file.h"
#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "platform/window_messages.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/printf_text_log.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kNow = 1767584800;  // 2026-01-05 03:46:40 UTC
constexpr const char* kStamp = "2026-01-05 03:46:40";

// WM_RTCM_DECODED is posted right after the log took the message, with the
// records unchanged: the moment to write the same message the printf way.
class PrintfLog : public platform::WindowReceiver {
public:
    void Post(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) override {
        if (message != WM_RTCM_DECODED) return;
        const auto code = static_cast<std::uint32_t>(lParam);
        if (rtcm2 != nullptr) test::PrintfRtcm2Text(file, *rtcm2, code, kStamp);
        if (rtcm3 != nullptr) test::PrintfRtcm3Text(file, *rtcm3, code, kStamp, lastCode);
        lastCode = code & 0xFFFF0000u;
    }
    platform::OutputFile file;
    const RTCM2Dec* rtcm2 = nullptr;
    const RTCM3Dec* rtcm3 = nullptr;
    std::uint32_t lastCode = 0;
};

struct Recording {
    std::string path;  // below the shared data folder
    int version;       // the decoder: 2 or 3
};

void PrintTo(const Recording& r, std::ostream* out) { *out << r.path << " as RTCM " << r.version; }

std::vector<Recording> AllRecordings() {
    std::vector<Recording> all;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(test::SharedDataDir(), ec)) {
        if (!e.is_regular_file() || e.path().extension() == ".md") continue;
        const std::string relative = fs::relative(e.path(), test::SharedDataDir()).generic_string();
        all.push_back({relative, 3});
        all.push_back({relative, 2});
    }
    std::sort(all.begin(), all.end(), [](const Recording& a, const Recording& b) {
        return a.path != b.path ? a.path < b.path : a.version > b.version;
    });
    return all;
}

std::string TestName(const ::testing::TestParamInfo<Recording>& info) {
    std::string name = "rtcm" + std::to_string(info.param.version) + "_" + info.param.path;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Where the two texts part, with a little of both around it.
std::string FirstDifference(const std::string& log, const std::string& reference) {
    const auto [a, b] = std::mismatch(log.begin(), log.end(), reference.begin(), reference.end());
    if (a == log.end() && b == reference.end()) return {};
    const std::size_t at = static_cast<std::size_t>(a - log.begin());
    const std::size_t from = at > 160 ? at - 160 : 0;
    return "byte " + std::to_string(at) + " of " + std::to_string(log.size()) + " (printf " +
           std::to_string(reference.size()) + ")\n--- log:\n" + log.substr(from, 320) +
           "\n--- printf:\n" + reference.substr(from, 320);
}

class TextLogRecordings : public ::testing::TestWithParam<Recording> {};

TEST_P(TextLogRecordings, SameBytesAsPrintf) {
    const Recording& rec = GetParam();
    test::ScopedEnv tz("TZ", "UTC0");
    test::TempDir dir;
    platform::ManualClock clock(kNow);
    platform::SetClock(&clock);
    std::string stream;
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile(rec.path), &stream));

    PrintfLog printfLog;
    ASSERT_TRUE(printfLog.file.Open(dir.File("printf.txt"), platform::FileMode::WriteText));
    ChannelContext context;
    context.outputDir = dir.Path();
    NtripChannel channel(&printfLog, context);
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "LOG");
    channel.entry = &entry;
    channel.textEnabled = true;
    StreamDecoder* decoder = nullptr;
    if (rec.version == 2) {
        channel.rtcm2 = std::make_unique<RTCM2Dec>(&channel);
        printfLog.rtcm2 = static_cast<const RTCM2Dec*>(channel.rtcm2.get());
        decoder = channel.rtcm2.get();
    } else {
        channel.rtcm3 = std::make_unique<RTCM3Dec>(&channel);
        printfLog.rtcm3 = static_cast<const RTCM3Dec*>(channel.rtcm3.get());
        decoder = channel.rtcm3.get();
    }
    // In the channel's blocks of 2048 bytes.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    for (std::size_t at = 0; at < stream.size(); at += 2048)
        decoder->Input(bytes + at,
                       static_cast<int>(std::min<std::size_t>(2048, stream.size() - at)));
    channel.textFile.Close();
    printfLog.file.Close();
    platform::SetClock(nullptr);

    std::string log, reference;
    ASSERT_TRUE(test::ReadFile(dir.File("printf.txt"), &reference));
    if (!test::ReadFile(HourlyFileName(dir.Path(), "LOG", kNow, "txt"), &log)) {
        EXPECT_TRUE(reference.empty()) << "no log, but printf wrote " << reference.size();
        return;
    }
    RecordProperty("bytes", std::to_string(log.size()));
    EXPECT_EQ(FirstDifference(log, reference), "");
}

INSTANTIATE_TEST_SUITE_P(SharedData, TextLogRecordings, ::testing::ValuesIn(AllRecordings()),
                         TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TextLogRecordings);

}  // namespace
}  // namespace corvane

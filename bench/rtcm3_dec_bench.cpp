// Throughput of the RTCM 3 decoder on the largest recorded stream, fed in the
// channel's 2048-byte blocks, with the decoded-text log off and on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "platform/window_receiver.h"
#include "rtcm/rtcm3_dec.h"

namespace {

namespace fs = std::filesystem;

std::string DataDir() {
    const char* env = std::getenv("CORVANE_DATA");
    return env != nullptr ? env : CORVANE_SHARED_DATA_DIR;
}

// The largest file below rtcm3/ of the shared data.
const std::vector<std::uint8_t>& LargestStream(std::string* name) {
    static std::vector<std::uint8_t> bytes;
    static std::string chosen;
    if (chosen.empty()) {
        std::uintmax_t best = 0;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(fs::path(DataDir()) / "rtcm3", ec)) {
            if (e.is_regular_file() && e.file_size() > best) {
                best = e.file_size();
                chosen = e.path().string();
            }
        }
        if (FILE* f = chosen.empty() ? nullptr : std::fopen(chosen.c_str(), "rb")) {
            bytes.resize(best);
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
            std::fclose(f);
        }
    }
    *name = chosen;
    return bytes;
}

class NullWindow : public corvane::platform::WindowReceiver {
public:
    void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

void Feed(benchmark::State& state, bool textLog) {
    std::string name;
    const auto& bytes = LargestStream(&name);
    if (bytes.empty()) {
        state.SkipWithError("no RTCM 3 file in the shared data folder");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / "corvane_rtcm3_bench";
    NullWindow window;
    corvane::ChannelContext context;
    context.outputDir = dir.string();
    corvane::NtripChannel channel(&window, context);
    corvane::MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "BENCH");
    channel.entry = &entry;
    channel.textEnabled = textLog;
    channel.rtcm3 = std::make_unique<corvane::RTCM3Dec>(&channel);
    corvane::StreamDecoder& dec = *channel.rtcm3;
    for (auto _ : state) {
        for (std::size_t at = 0; at < bytes.size(); at += 2048) {
            const std::size_t n = std::min<std::size_t>(2048, bytes.size() - at);
            benchmark::DoNotOptimize(dec.Input(bytes.data() + at, static_cast<int>(n)));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(fs::path(name).filename().string());
    channel.textFile.Close();
    std::error_code ec;
    fs::remove_all(dir, ec);
}

void BM_Rtcm3Input_TextLogOff(benchmark::State& state) { Feed(state, false); }
void BM_Rtcm3Input_TextLogOn(benchmark::State& state) { Feed(state, true); }

BENCHMARK(BM_Rtcm3Input_TextLogOff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rtcm3Input_TextLogOn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

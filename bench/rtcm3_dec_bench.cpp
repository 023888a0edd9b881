// Throughput of the RTCM 3 decoder on the largest recorded stream, fed in the
// channel's 2048-byte blocks, with the decoded-text log off and on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "net/ntrip_channel.h"
#include "rtcm/rtcm3_dec.h"

namespace {

namespace fs = std::filesystem;
using corvane::bench::LargestStream;
using corvane::bench::NullWindow;

void Feed(benchmark::State& state, bool textLog) {
    std::string name;
    const auto& bytes = LargestStream("rtcm3", &name);
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

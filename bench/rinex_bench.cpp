// Throughput of the RINEX converter, fed in the channel's 2048-byte blocks,
// with its files written to a temporary folder (new files each pass): on the largest
// recorded RTCM 3 stream, on the largest one made of the legacy
// observation messages the converter turns into epochs, and on the largest
// MSM recording into RINEX 2.11 and 3.04.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "rinex/rtcm3_rinex.h"

namespace {

namespace fs = std::filesystem;

void Convert(benchmark::State& state, const std::vector<std::uint8_t>& bytes,
             const std::string& name, std::int64_t start, int version = 2) {
    if (bytes.empty()) {
        state.SkipWithError("recording not found in the shared data folder");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / "corvane_rinex_bench";
    corvane::bench::NullWindow window;
    corvane::ChannelContext context;
    context.outputDir = dir.string();
    corvane::NtripChannel channel(&window, context);
    corvane::MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "BENCH");
    corvane::runFlag = 1;
    for (auto _ : state) {
        channel.OpenOutputs(&entry);  // every pass opens its files afresh
        corvane::RTCM3Rinex rinex(&channel, start, version);
        for (std::size_t at = 0; at < bytes.size(); at += 2048) {
            const std::size_t n = std::min<std::size_t>(2048, bytes.size() - at);
            benchmark::DoNotOptimize(rinex.Input(bytes.data() + at, static_cast<int>(n)));
        }
        rinex.Finish();
        // A conversion writes new files: the last pass's are closed and
        // removed off the clock, not emptied by the next pass's opening.
        state.PauseTiming();
        channel.Stop();
        std::error_code ec;
        fs::remove_all(dir, ec);
        state.ResumeTiming();
    }
    channel.Stop();
    corvane::runFlag = 0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(fs::path(name).filename().string());
    std::error_code ec;
    fs::remove_all(dir, ec);
}

void BM_RinexConvert_Largest(benchmark::State& state) {
    std::string name;
    const auto& bytes = corvane::bench::LargestStream("rtcm3", &name);
    Convert(state, bytes, name, 1767225600);
}

// Javad 2011-01-15: GPS and GLONASS legacy observations (1004, 1012) among MSM.
void BM_RinexConvert_LegacyObservations(benchmark::State& state) {
    static const std::string name =
        corvane::bench::DataDir() + "/rtcm3/rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3";
    static const std::vector<std::uint8_t> bytes = corvane::bench::ReadBytes(name);
    Convert(state, bytes, name, 1295049600);  // 2011-01-15 00:00:00
}

// Swift 2018: MSM4 of GPS, GLONASS, Galileo, QZSS and BeiDou with their
// ephemerides, the largest MSM recording; in both versions.
void BM_RinexConvert_Msm(benchmark::State& state) {
    static const std::string name =
        corvane::bench::DataDir() + "/rtcm3/swift_dropped-packets-STR24.rtcm3";
    static const std::vector<std::uint8_t> bytes = corvane::bench::ReadBytes(name);
    Convert(state, bytes, name, 1531872000, static_cast<int>(state.range(0)));  // 2018-07-18
}

BENCHMARK(BM_RinexConvert_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RinexConvert_Msm)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RinexConvert_LegacyObservations)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// What the decoder benchmarks share: a channel with the decoded-text log on
// or off, writing into a temporary folder, fed a recording in the channel's
// 2048-byte blocks.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "net/ntrip_channel.h"

namespace corvane::bench {

// MakeDecoder(NtripChannel&) creates the decoder, sets it on the channel and
// returns it.
template <typename MakeDecoder>
void FeedRecording(benchmark::State& state, const std::string& path, bool textLog,
                   MakeDecoder makeDecoder) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.empty()) {
        state.SkipWithError(("cannot read " + path).c_str());
        return;
    }
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "corvane_decoder_bench";
    NullWindow window;
    ChannelContext context;
    context.outputDir = dir.string();
    NtripChannel channel(&window, context);
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "BENCH");
    channel.entry = &entry;
    channel.textEnabled = textLog;
    StreamDecoder& dec = makeDecoder(channel);
    for (auto _ : state) {
        for (std::size_t at = 0; at < bytes.size(); at += 2048) {
            const std::size_t n = std::min<std::size_t>(2048, bytes.size() - at);
            benchmark::DoNotOptimize(dec.Input(bytes.data() + at, static_cast<int>(n)));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(fs::path(path).filename().string());
    channel.textFile.Close();
    std::error_code ec;
    fs::remove_all(dir, ec);
}

// Registers NAME/FILE/TextLogOff and NAME/FILE/TextLogOn for each recording
// (paths below the shared data folder).
template <typename MakeDecoder>
void RegisterDecoderBenchmarks(const char* name, const std::vector<std::string>& recordings,
                               MakeDecoder makeDecoder) {
    for (const std::string& relative : recordings) {
        for (const bool textLog : {false, true}) {
            const std::string label = std::string(name) + "/" +
                                      std::filesystem::path(relative).filename().string() +
                                      (textLog ? "/TextLogOn" : "/TextLogOff");
            benchmark::RegisterBenchmark(label.c_str(), [relative, textLog,
                                                         makeDecoder](benchmark::State& s) {
                FeedRecording(s, DataDir() + "/" + relative, textLog, makeDecoder);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace corvane::bench

// Throughput of the RTCM 3 decoder, fed in the channel's 2048-byte blocks,
// with the decoded-text log off and on (written to a temporary folder): on
// a recording of legacy observations and ephemerides and on one of MSM4.
#include <benchmark/benchmark.h>

#include "bench/decoder_feed.h"
#include "rtcm/rtcm3_dec.h"

int main(int argc, char** argv) {
    corvane::bench::RegisterDecoderBenchmarks(
        "Rtcm3Input", {"rtcm3/rtklib_testglo.rtcm3", "rtcm3/swift_dropped-packets-STR24.rtcm3"},
        [](corvane::NtripChannel& channel) -> corvane::StreamDecoder& {
            channel.rtcm3 = std::make_unique<corvane::RTCM3Dec>(&channel);
            return *channel.rtcm3;
        });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

// Throughput of the RTCM 2 decoder, fed in the channel's 2048-byte blocks,
// with the decoded-text log off and on (written to a temporary folder).
#include <benchmark/benchmark.h>

#include "bench/decoder_feed.h"
#include "rtcm/rtcm2_dec.h"

int main(int argc, char** argv) {
    corvane::bench::RegisterDecoderBenchmarks(
        "Rtcm2Input", {"rtcm2/gpsd_sample.rtcm2"},
        [](corvane::NtripChannel& channel) -> corvane::StreamDecoder& {
            channel.rtcm2 = std::make_unique<corvane::RTCM2Dec>(&channel);
            return *channel.rtcm2;
        });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

// The decoders and the converter a channel creates: the RTCM 2 or RTCM 3
// decoder by the mountpoint's version, and the RINEX converter.
#pragma once

#include <cstdint>
#include <optional>

#include "net/stream_decoder.h"

namespace corvane {

class StandardChannelOutputs : public ChannelOutputFactory {
public:
    // `rinexStart`: the RINEX converter's starting clock (seconds since 1970
    // on the GPS scale) for recordings made in the past; none: the computer's
    // clock, as for a live stream.
    // `rinexVersion`: 2 or 3, the RINEX files the converter writes.
    explicit StandardChannelOutputs(std::optional<std::int64_t> rinexStart = std::nullopt,
                                    int rinexVersion = 2)
        : rinexStart_(rinexStart), rinexVersion_(rinexVersion) {}

    std::unique_ptr<StreamDecoder> CreateDecoder(int rtcmVersion,
                                                 NtripChannel& owner) const override;
    std::unique_ptr<StreamDecoder> CreateRinex(NtripChannel& owner) const override;

private:
    std::optional<std::int64_t> rinexStart_;
    int rinexVersion_;
};

}  // namespace corvane

// What a channel hands its received blocks to, besides the relay, the serial
// port and the raw file: the RTCM 2 or RTCM 3 decoder and the RINEX
// converter. The channel owns them through this interface; the factory that
// the application gives the channel creates the concrete ones.
#pragma once

#include <cstdint>
#include <memory>

namespace corvane {

class NtripChannel;

class StreamDecoder {
public:
    virtual ~StreamDecoder() = default;
    // Takes the next block of the stream, in order. Returns the number of
    // bytes the decoder holds for the next block.
    virtual int Input(const std::uint8_t* data, int length) = 0;
    // The stream has ended (the channel stops, a recording is read to its
    // end): writes out what is still held back for more input.
    virtual void Finish() {}
};

class ChannelOutputFactory {
public:
    virtual ~ChannelOutputFactory() = default;
    // The decoder of an RTCM major version (2 or 3), or none.
    virtual std::unique_ptr<StreamDecoder> CreateDecoder(int rtcmVersion,
                                                         NtripChannel& owner) const = 0;
    // The RINEX converter, or none.
    virtual std::unique_ptr<StreamDecoder> CreateRinex(NtripChannel& owner) const = 0;
};

}  // namespace corvane

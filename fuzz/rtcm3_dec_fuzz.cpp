// Feeds arbitrary bytes to the RTCM 3 decoder in blocks of arbitrary sizes.
// The first bytes choose the block sizes; a third of the inputs are wrapped
// into frames with a valid CRC and, mostly, a known message number, so that
// the message decoders are reached.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "rtcm/crc24q.h"
#include "rtcm/rtcm3_dec.h"

namespace {

std::uint8_t frameBuf[4096 + 6];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    auto decoder = std::make_unique<corvane::RTCM3Dec>(nullptr);
    const std::uint8_t split = data[0];
    const bool wrap = data[1] % 3 == 0;
    data += 2;
    size -= 2;
    if (wrap) {
        // One valid frame around the input (cut at 1023 bytes), then the rest.
        const std::size_t n = size < 1023 ? size : 1023;
        frameBuf[0] = 0xD3;
        frameBuf[1] = static_cast<std::uint8_t>(n >> 8);
        frameBuf[2] = static_cast<std::uint8_t>(n);
        std::memcpy(frameBuf + 3, data, n);
        if (n >= 2) {
            // Most of these get a message number the decoder knows.
            static const int kNumbers[] = {1004, 1006, 1012, 1013, 1019, 1020, 1033, 1074,
                                           1077, 1084, 1087, 1094, 1097, 1114, 1124, 1127};
            const int number = kNumbers[data[1] % 16];
            if (data[1] < 240) {
                frameBuf[3] = static_cast<std::uint8_t>(number >> 4);
                frameBuf[4] = static_cast<std::uint8_t>(((number & 0xF) << 4) | (data[1] & 0xF));
            }
        }
        const std::uint32_t crc = corvane::Crc24q(frameBuf, n + 3);
        frameBuf[n + 3] = static_cast<std::uint8_t>(crc >> 16);
        frameBuf[n + 4] = static_cast<std::uint8_t>(crc >> 8);
        frameBuf[n + 5] = static_cast<std::uint8_t>(crc);
        decoder->Input(frameBuf, static_cast<int>(n + 6));
        return 0;
    }
    std::size_t at = 0;
    std::size_t step = (split % 64) + 1;
    while (at < size) {
        const std::size_t n = size - at < step ? size - at : step;
        decoder->Input(data + at, static_cast<int>(n));
        at += n;
        step = step * 5 % 2049 + 1;
    }
    return 0;
}

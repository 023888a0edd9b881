// The CRC-valid RTCM 3 frames of a recording, for tests that count what a
// recording holds or hand a peer a changed copy of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "rtcm/bit_reader.h"
#include "rtcm/crc24q.h"

namespace corvane::test {

// Calls fn(frame, frameLength, messageNumber) for every CRC-valid frame, in
// order; bytes between frames are skipped.
template <typename Fn>
void ForEachFrame(const std::string& data, Fn fn) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(data.data());
    for (std::size_t at = 0; at + 6 <= data.size();) {
        const std::size_t l = ((b[at + 1] & 3u) << 8) | b[at + 2];
        if (b[at] != 0xD3 || at + l + 6 > data.size() ||
            Crc24q(b + at, l + 3) != ((std::uint32_t{b[at + l + 3]} << 16) |
                                      (std::uint32_t{b[at + l + 4]} << 8) | b[at + l + 5])) {
            ++at;
            continue;
        }
        const int number = l >= 2 ? (b[at + 3] << 4) | (b[at + 4] >> 4) : 0;
        fn(b + at, l + 6, number);
        at += l + 6;
    }
}

// The payload of a frame as a bit cursor placed after the message number.
inline BitCursor PayloadAfterNumber(const std::uint8_t* frame, std::size_t frameLength) {
    return BitCursor(frame + 3, frameLength - 6, 12);
}

}  // namespace corvane::test

#include "tests/support/rtcm3_frame_builder.h"

namespace corvane::test {

std::uint32_t ReferenceCrc24q(const std::uint8_t* data, std::size_t length) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool in = (data[i] >> bit) & 1;
            const bool top = (crc >> 23) & 1;
            crc = (crc << 1) & 0xFFFFFF;
            if (in != top) crc ^= 0x864CFB;
        }
    }
    return crc;
}

std::vector<std::uint8_t> BuildRtcm3Frame(const std::vector<std::uint8_t>& payload) {
    const std::size_t n = payload.size() & 0x3FF;
    std::vector<std::uint8_t> frame;
    frame.reserve(n + 6);
    frame.push_back(0xD3);
    frame.push_back(static_cast<std::uint8_t>(n >> 8));
    frame.push_back(static_cast<std::uint8_t>(n & 0xFF));
    frame.insert(frame.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(n));
    const std::uint32_t crc = ReferenceCrc24q(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc >> 16));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    frame.push_back(static_cast<std::uint8_t>(crc));
    return frame;
}

void Append(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& frame) {
    stream.insert(stream.end(), frame.begin(), frame.end());
}

}  // namespace corvane::test

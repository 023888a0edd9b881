// Wraps an RTCM 3 message into its transport frame: 0xD3, six reserved zero
// bits, the 10-bit message length, the message and its CRC-24Q.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::test {

// CRC-24Q computed bit by bit (independent of the decoder's table).
std::uint32_t ReferenceCrc24q(const std::uint8_t* data, std::size_t length);

std::vector<std::uint8_t> BuildRtcm3Frame(const std::vector<std::uint8_t>& payload);

// Appends `frame` to `stream`.
void Append(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& frame);

}  // namespace corvane::test

// CRC-24Q, the parity of an RTCM 3 transport frame (generator 0x1864CFB,
// initial value 0, no reflection, no final XOR).
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// The 24-bit CRC of `length` bytes at `data`.
std::uint32_t Crc24q(const std::uint8_t* data, std::size_t length);

}  // namespace corvane

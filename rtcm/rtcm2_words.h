// RTCM 2 words: six-of-eight bytes into 30-bit words, with the inversion by
// the previous word's last bit and the GPS parity check.
#pragma once

#include <array>
#include <cstdint>

namespace corvane::rtcm2 {

// The six data bits of a byte in the order they are sent (bit 0 first),
// most significant first.
inline constexpr std::array<std::uint8_t, 64> kReverse6 = [] {
    std::array<std::uint8_t, 64> t{};
    for (unsigned v = 0; v < 64; ++v) {
        unsigned r = 0;
        for (int b = 0; b < 6; ++b)
            if (v & (1u << b)) r |= 1u << (5 - b);
        t[v] = static_cast<std::uint8_t>(r);
    }
    return t;
}();

// Shifts the 6-bit groups of up to 5 bytes into `acc` (a byte outside 0x40 to
// 0x7F ends the word early) and undoes the inversion of the data bits when
// the previous word's D30* is set. Bits 31 and 30 of `acc` then hold D29*
// and D30*, bits 29 to 6 the data bits d1 to d24, bits 5 to 0 the parity.
void AssembleWord(std::uint32_t& acc, const std::uint8_t* bytes);

// True when the six parity bits of the word in `acc` match its data bits
// and the previous word's D29* and D30*.
bool ParityOk(std::uint32_t acc);

// The `n` bits (1 to 32) from data bit position `p` on, most significant first,
// counted over the data words alone (24 data bits each).
std::uint32_t uint32Bits(const std::uint32_t* words, int p, int n);
// The same, sign-extended from `n` bits.
std::int32_t int32Bits(const std::uint32_t* words, int p, int n);

}  // namespace corvane::rtcm2

#include "rtcm/rtcm2_words.h"

#include <array>
#include <bit>

namespace corvane::rtcm2 {
namespace {

// Bit of d_i (1 to 24) in the word layout, and of D29* and D30*.
constexpr std::uint32_t D(int i) { return std::uint32_t{1} << (30 - i); }
constexpr std::uint32_t kD29Star = std::uint32_t{1} << 31;
constexpr std::uint32_t kD30Star = std::uint32_t{1} << 30;

template <typename... I>
constexpr std::uint32_t Bits(I... i) {
    return (D(i) | ...);
}

// The GPS parity equations, one mask per parity bit D25 to D30.
constexpr std::uint32_t kParityMasks[6] = {
    kD29Star | Bits(1, 2, 3, 5, 6, 10, 11, 12, 13, 14, 17, 18, 20, 23),
    kD30Star | Bits(2, 3, 4, 6, 7, 11, 12, 13, 14, 15, 18, 19, 21, 24),
    kD29Star | Bits(1, 3, 4, 5, 7, 8, 12, 13, 14, 15, 16, 19, 20, 22),
    kD30Star | Bits(2, 4, 5, 6, 8, 9, 13, 14, 15, 16, 17, 20, 21, 23),
    kD30Star | Bits(1, 3, 5, 6, 7, 9, 10, 14, 15, 16, 17, 18, 21, 22, 24),
    kD29Star | Bits(3, 5, 6, 8, 9, 10, 11, 13, 15, 19, 22, 23, 24),
};

}  // namespace

void AssembleWord(std::uint32_t& acc, const std::uint8_t* bytes) {
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t b = bytes[i];
        if ((b & 0xC0) != 0x40) break;
        acc = (acc << 6) | kReverse6[b & 0x3F];
    }
    if (acc & kD30Star) acc ^= 0x3FFFFFC0u;
}

bool ParityOk(std::uint32_t acc) {
    for (int k = 0; k < 6; ++k) {
        const std::uint32_t expected = std::popcount(acc & kParityMasks[k]) & 1u;
        if (expected != ((acc >> (5 - k)) & 1u)) return false;
    }
    return true;
}

std::uint32_t uint32Bits(const std::uint32_t* words, int p, int n) {
    // A run of bits per word at a time: data bit j of a word is bit 29 - j.
    std::uint64_t value = 0;
    while (n > 0) {
        const int j = p % 24;
        const int take = n < 24 - j ? n : 24 - j;
        const std::uint32_t run = (words[p / 24] >> (30 - j - take)) & ((1u << take) - 1);
        value = (value << take) | run;
        p += take;
        n -= take;
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t int32Bits(const std::uint32_t* words, int p, int n) {
    const std::uint32_t v = uint32Bits(words, p, n);
    if (n < 32 && (v & (std::uint32_t{1} << (n - 1))))
        return static_cast<std::int32_t>(v | (~std::uint32_t{0} << n));
    return static_cast<std::int32_t>(v);
}

}  // namespace corvane::rtcm2

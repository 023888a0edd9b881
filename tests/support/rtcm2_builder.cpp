#include "tests/support/rtcm2_builder.h"

#include <bit>

namespace corvane::test {
namespace {

int Bit(std::uint32_t d, int i) { return (d >> (24 - i)) & 1; }  // d_i of 24 data bits

int Xor(std::uint32_t d, std::initializer_list<int> bits) {
    int v = 0;
    for (int i : bits) v ^= Bit(d, i);
    return v;
}

std::uint8_t Reverse6(std::uint32_t v) {
    std::uint8_t r = 0;
    for (int b = 0; b < 6; ++b)
        if (v & (1u << b)) r |= static_cast<std::uint8_t>(1u << (5 - b));
    return r;
}

}  // namespace

void Rtcm2Builder::Word(std::uint32_t d) {
    d &= 0xFFFFFF;
    const int d29 = (previous_ >> 1) & 1, d30 = previous_ & 1;
    const int p25 = d29 ^ Xor(d, {1, 2, 3, 5, 6, 10, 11, 12, 13, 14, 17, 18, 20, 23});
    const int p26 = d30 ^ Xor(d, {2, 3, 4, 6, 7, 11, 12, 13, 14, 15, 18, 19, 21, 24});
    const int p27 = d29 ^ Xor(d, {1, 3, 4, 5, 7, 8, 12, 13, 14, 15, 16, 19, 20, 22});
    const int p28 = d30 ^ Xor(d, {2, 4, 5, 6, 8, 9, 13, 14, 15, 16, 17, 20, 21, 23});
    const int p29 = d30 ^ Xor(d, {1, 3, 5, 6, 7, 9, 10, 14, 15, 16, 17, 18, 21, 22, 24});
    const int p30 = d29 ^ Xor(d, {3, 5, 6, 8, 9, 10, 11, 13, 15, 19, 22, 23, 24});
    const std::uint32_t sent =
        ((d30 ? d ^ 0xFFFFFF : d) << 6) |
        static_cast<std::uint32_t>(p25 << 5 | p26 << 4 | p27 << 3 | p28 << 2 | p29 << 1 | p30);
    for (int g = 4; g >= 0; --g) out_ += static_cast<char>(0x40 | Reverse6((sent >> (6 * g)) & 63));
    previous_ = sent;
}

void Rtcm2Builder::Message(int type, int stationId, int zCount, int sequence, int health,
                           const std::vector<std::uint32_t>& dataWords) {
    Word((0x66u << 16) | (static_cast<std::uint32_t>(type) << 10) |
         static_cast<std::uint32_t>(stationId & 0x3FF));
    Word((static_cast<std::uint32_t>(zCount & 0x1FFF) << 11) |
         (static_cast<std::uint32_t>(sequence & 7) << 8) |
         (static_cast<std::uint32_t>(dataWords.size() & 31) << 3) |
         static_cast<std::uint32_t>(health & 7));
    for (std::uint32_t w : dataWords) Word(w);
}

std::vector<std::uint32_t> PackDataWords(const std::vector<std::pair<std::int64_t, int>>& fields) {
    std::vector<bool> bits;
    for (const auto& [value, n] : fields)
        for (int i = n - 1; i >= 0; --i)
            bits.push_back((static_cast<std::uint64_t>(value) >> i) & 1);
    while (bits.size() % 24) bits.push_back(false);
    std::vector<std::uint32_t> words(bits.size() / 24, 0);
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i]) words[i / 24] |= 1u << (23 - i % 24);
    return words;
}

}  // namespace corvane::test

#include "rtcm/crc24q.h"

#include <array>

namespace corvane {
namespace {

// The register is kept in the top 24 bits of a 32-bit word, so that eight
// bytes can be folded in at once (slicing by 8): table k gives the effect of
// a byte followed by k zero bytes.
constexpr std::uint32_t kPolynomial = 0x864CFB00;  // 0x1864CFB without its top bit, shifted

using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ kPolynomial : crc << 1;
        t[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t prev = t[k - 1][i];
            t[k][i] = (prev << 8) ^ t[0][prev >> 24];
        }
    }
    return t;
}

constexpr Tables kTables = MakeTables();

inline std::uint32_t Load32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

}  // namespace

std::uint32_t Crc24q(const std::uint8_t* data, std::size_t length) {
    const auto& t = kTables;
    std::uint32_t crc = 0;
    for (; length >= 8; data += 8, length -= 8) {
        const std::uint32_t x = crc ^ Load32(data);
        const std::uint32_t y = Load32(data + 4);
        crc = t[7][x >> 24] ^ t[6][(x >> 16) & 0xFF] ^ t[5][(x >> 8) & 0xFF] ^ t[4][x & 0xFF] ^
              t[3][y >> 24] ^ t[2][(y >> 16) & 0xFF] ^ t[1][(y >> 8) & 0xFF] ^ t[0][y & 0xFF];
    }
    for (; length > 0; ++data, --length) crc = (crc << 8) ^ t[0][(crc >> 24) ^ *data];
    return crc >> 8;
}

}  // namespace corvane

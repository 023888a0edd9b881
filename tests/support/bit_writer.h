// Writes bit fields most significant bit first, the mirror of the RTCM 3 bit
// readers, for building test messages field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::test {

class BitWriter {
public:
    // Unsigned: the low `width` bits of v (1 to 64).
    BitWriter& U(std::uint64_t v, int width) {
        for (int i = width - 1; i >= 0; --i) PutBit((v >> i) & 1);
        return *this;
    }
    // Two's complement in `width` bits.
    BitWriter& S(std::int64_t v, int width) { return U(static_cast<std::uint64_t>(v), width); }
    // Sign and magnitude in `width` bits.
    BitWriter& SM(std::int64_t v, int width) {
        const std::uint64_t magnitude = static_cast<std::uint64_t>(v < 0 ? -v : v);
        PutBit(v < 0);
        return U(magnitude, width - 1);
    }
    BitWriter& Zeros(int width) { return Pad(width); }
    // Bytes of text, eight bits each.
    BitWriter& Text(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) U(static_cast<std::uint8_t>(s[i]), 8);
        return *this;
    }

    std::size_t BitCount() const { return bits_; }
    // The bytes written so far, the last one filled up with zero bits.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    BitWriter& Pad(int width) {
        for (int i = 0; i < width; ++i) PutBit(0);
        return *this;
    }
    void PutBit(bool bit) {
        if (bits_ % 8 == 0) bytes_.push_back(0);
        if (bit) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (bits_ % 8));
        ++bits_;
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

}  // namespace corvane::test

// Readers of the bit fields of an RTCM 3 frame. A field is addressed by its
// bit position, 0 being the most significant bit of the first byte, and read
// most significant bit first; it may start and end anywhere inside a byte.
// Every reader is bounded by the buffer's length: bits past its end read as
// 0 and no byte outside the buffer is touched.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(_MSC_VER) && !defined(__clang__)
#include <cstdlib>  // _byteswap_uint64
#endif

namespace corvane {

namespace bits_detail {

inline std::uint64_t LoadBigEndian64(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::little) {
#if defined(_MSC_VER) && !defined(__clang__)
        w = _byteswap_uint64(w);
#else
        w = __builtin_bswap64(w);
#endif
    }
    return w;
}

}  // namespace bits_detail

// Unsigned field of 1 to 64 bits (0 for a width outside that range).
inline std::uint64_t getBitsU(const std::uint8_t* buf, std::size_t length, std::size_t pos,
                              int width) {
    if (width <= 0 || width > 64) return 0;
    const std::size_t byte = pos >> 3;
    const unsigned shift = static_cast<unsigned>(pos & 7);
    std::uint64_t v;
    if (byte < length && length - byte >= 9) {
        v = bits_detail::LoadBigEndian64(buf + byte) << shift;
        if (shift) v |= static_cast<std::uint64_t>(buf[byte + 8] >> (8 - shift));
    } else {
        // Near the end of the buffer: missing bytes read as zeros.
        std::uint64_t w = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            w = (w << 8) | (byte < length && i < length - byte ? buf[byte + i] : 0u);
        }
        v = w << shift;
        if (shift && byte < length && length - byte > 8) {
            v |= static_cast<std::uint64_t>(buf[byte + 8] >> (8 - shift));
        }
    }
    return v >> (64 - width);
}

// Two's complement field of 1 to 64 bits.
inline std::int64_t getBitsS(const std::uint8_t* buf, std::size_t length, std::size_t pos,
                             int width) {
    const std::uint64_t u = getBitsU(buf, length, pos, width);
    if (width <= 0 || width >= 64) return static_cast<std::int64_t>(u);
    const std::uint64_t sign = std::uint64_t{1} << (width - 1);
    return static_cast<std::int64_t>((u ^ sign) - sign);
}

// Sign-magnitude field of 1 to 64 bits: the top bit is the sign, the others
// the magnitude; a set sign with magnitude 0 gives 0.
inline std::int64_t getBitsSM(const std::uint8_t* buf, std::size_t length, std::size_t pos,
                              int width) {
    if (width <= 0 || width > 64) return 0;
    const std::uint64_t u = getBitsU(buf, length, pos, width);
    const std::uint64_t magnitude = width == 1 ? 0 : (u & (~std::uint64_t{0} >> (65 - width)));
    const bool negative = (u >> (width - 1)) & 1;
    return negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

// A frame (or any byte buffer) with its length, and a read position that
// advances over the fields as they are read.
class BitCursor {
public:
    BitCursor(const std::uint8_t* buf, std::size_t length, std::size_t pos = 0)
        : buf_(buf), length_(length), pos_(pos) {}

    std::uint64_t U(int width) {
        const std::uint64_t v = getBitsU(buf_, length_, pos_, width);
        pos_ += static_cast<std::size_t>(width);
        return v;
    }
    std::int64_t S(int width) {
        const std::int64_t v = getBitsS(buf_, length_, pos_, width);
        pos_ += static_cast<std::size_t>(width);
        return v;
    }
    std::int64_t SM(int width) {
        const std::int64_t v = getBitsSM(buf_, length_, pos_, width);
        pos_ += static_cast<std::size_t>(width);
        return v;
    }
    void Skip(std::size_t width) { pos_ += width; }
    std::size_t Position() const { return pos_; }
    void SetPosition(std::size_t pos) { pos_ = pos; }

private:
    const std::uint8_t* buf_;
    std::size_t length_;
    std::size_t pos_;
};

}  // namespace corvane

// The CRC-24Q and the bit readers, against the bit-by-bit CRC and the bit
// writer of the test support.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rtcm/bit_reader.h"
#include "rtcm/crc24q.h"
#include "tests/support/bit_writer.h"
#include "tests/support/rtcm3_frame_builder.h"

namespace corvane {
namespace {

TEST(Crc24q, MatchesKnownValuesAndTheBitwiseReference) {
    EXPECT_EQ(Crc24q(nullptr, 0), 0u);
    // An empty message: D3 00 00 has parity 47 EA 4B.
    const std::uint8_t empty[] = {0xD3, 0x00, 0x00};
    EXPECT_EQ(Crc24q(empty, 3), 0x47EA4Bu);
    std::vector<std::uint8_t> bytes(1029);
    std::uint32_t x = 12345;
    for (auto& b : bytes) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 16);
    for (std::size_t n = 0; n <= 1029; n += n < 24 ? 1 : 101) {
        EXPECT_EQ(Crc24q(bytes.data() + 1, n), test::ReferenceCrc24q(bytes.data() + 1, n)) << n;
    }
    // The CRC of a frame including its own parity is zero.
    const auto frame = test::BuildRtcm3Frame({0x3E, 0xC0, 0x01, 0x02});
    EXPECT_EQ(Crc24q(frame.data(), frame.size()), 0u);
}

TEST(BitReader, ReadsFieldsAtEveryBitOffsetAndWidth) {
    for (int offset = 0; offset < 8; ++offset) {
        for (int width = 1; width <= 64; ++width) {
            const std::uint64_t value = 0xA5C3F00F12345678ull >> (64 - width);
            test::BitWriter w;
            w.Zeros(offset).U(value, width).U(0x7F, 7);
            const auto& b = w.Bytes();
            ASSERT_EQ(getBitsU(b.data(), b.size(), offset, width), value)
                << "offset " << offset << " width " << width;
            ASSERT_EQ(getBitsU(b.data(), b.size(), offset + width, 7), 0x7Fu);
        }
    }
}

TEST(BitReader, SignedReadersOfBothKinds) {
    test::BitWriter w;
    w.S(-1, 1).S(-5, 8).S(-100000000000LL, 38).S(127, 8).SM(-5, 8).SM(5, 8).U(0x80, 8).U(1, 1);
    w.S(INT64_MIN, 64);
    const auto& b = w.Bytes();
    BitCursor c(b.data(), b.size());
    EXPECT_EQ(c.S(1), -1);
    EXPECT_EQ(c.S(8), -5);
    EXPECT_EQ(c.S(38), -100000000000LL);
    EXPECT_EQ(c.S(8), 127);
    EXPECT_EQ(c.SM(8), -5);
    EXPECT_EQ(c.SM(8), 5);
    EXPECT_EQ(c.SM(8), 0);  // a set sign with magnitude 0
    EXPECT_EQ(c.SM(1), 0);
    EXPECT_EQ(c.S(64), INT64_MIN);
}

TEST(BitReader, BitsPastTheEndReadAsZeroWithoutTouchingThem) {
    // Bytes behind the buffer's length are never read: the vector holds a
    // marker there, which must not show up in the results.
    std::vector<std::uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(getBitsU(bytes.data(), 3, 0, 24), 0xFFFFFFu);
    EXPECT_EQ(getBitsU(bytes.data(), 3, 16, 16), 0xFF00u);
    EXPECT_EQ(getBitsU(bytes.data(), 3, 20, 64), 0xF000000000000000ull);
    EXPECT_EQ(getBitsU(bytes.data(), 3, 24, 8), 0u);
    EXPECT_EQ(getBitsU(bytes.data(), 3, 100000, 64), 0u);
    EXPECT_EQ(getBitsU(bytes.data(), 0, 0, 8), 0u);
    EXPECT_EQ(getBitsS(bytes.data(), 3, 20, 8), -16);
    // Exactly nine bytes: the fast path's last byte is inside.
    EXPECT_EQ(getBitsU(bytes.data(), 9, 7, 64), 0xFFFFD55555555555ull);
    EXPECT_EQ(getBitsU(bytes.data(), 8, 7, 64), 0xFFFFD55555555500ull);
}

}  // namespace
}  // namespace corvane

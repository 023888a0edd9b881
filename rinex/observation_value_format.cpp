#include "rinex/observation_value_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace corvane {
namespace {

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// round(|value| × 1000), ties to even, from the exact binary value.
// |value| < 10^9 < 2^30: the product of the 53-bit mantissa and 1000 fits 63
// bits and the shift is at least 23.
std::uint64_t ExactThousandths(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) |
                                   (exponent != 0 ? std::uint64_t{1} << 52 : 0);
    const int shift = 1075 - (exponent != 0 ? exponent : 1);
    if (shift >= 64) return 0;  // below 2^-11
    const std::uint64_t p = mantissa * 1000;
    const std::uint64_t n = p >> shift;
    const std::uint64_t rest = p & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return n + ((rest > half || (rest == half && (n & 1))) ? 1 : 0);
}

// round(|value| × 1000) as above. The product in double is off the exact one
// by at most 2^-13 (it stays below 2^40); only a product that close to a half
// needs the exact rounding.
std::uint64_t Thousandths(double magnitude) {
    constexpr double kTwo52 = 4503599627370496.0;
    const double t = magnitude * 1000.0;
    const double r = (t + kTwo52) - kTwo52;  // nearest integer, ties to even
    const double off = std::fabs(t - r);
    if (std::fabs(off - 0.5) < 0x1p-12) return ExactThousandths(magnitude);
    return static_cast<std::uint64_t>(r);
}

// The eight decimal digits of x < 10^8 as byte values 0 to 9, the first
// digit in the lowest byte (the order in memory on a little-endian machine).
std::uint64_t EightDigits(std::uint32_t x) {
    const std::uint64_t merged = (x / 10000) | (std::uint64_t{x % 10000} << 32);
    const std::uint64_t hundreds = ((merged * 10486) >> 20) & 0x0000007F0000007Fu;
    const std::uint64_t pairs = ((merged - 100 * hundreds) << 16) + hundreds;
    std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
    tens += (pairs - 10 * tens) << 8;
    return tens;
}

void StoreLittleEndian(char* at, std::uint64_t bytes) {
    if constexpr (std::endian::native == std::endian::big) bytes = __builtin_bswap64(bytes);
    std::memcpy(at, &bytes, 8);
}

}  // namespace

bool FormatObservationValue(double value, char* out) {
    // Up to "-999999999.999": everything a pseudorange, phase or strength
    // holds. Larger values, infinities and NaN go to printf.
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e9)) return false;
    const bool negative = std::signbit(value);
    const std::uint64_t n = Thousandths(magnitude);
    const std::uint64_t whole = n / 1000;
    const auto thousandths = static_cast<std::uint32_t>(n - whole * 1000);
    const auto top = static_cast<std::uint32_t>(whole / 100000000);  // 0 to 10
    const auto low = static_cast<std::uint32_t>(whole - std::uint64_t{top} * 100000000);
    constexpr std::uint64_t kZeros = 0x3030303030303030u;
    constexpr std::uint64_t kBlanks = 0x2020202020202020u;
    const std::uint64_t digits = EightDigits(low);
    const char sign = negative ? '-' : ' ';
    if (top == 0) {
        // Leading zeros of the eight become blanks, keeping the last digit;
        // the sign goes just before the first digit.
        const int zeros = digits == 0 ? 7 : std::min(std::countr_zero(digits) / 8, 7);
        const std::uint64_t blank = (std::uint64_t{1} << (8 * zeros)) - 1;
        out[0] = ' ';
        out[1] = ' ';
        StoreLittleEndian(out + 2, ((digits + kZeros) & ~blank) | (kBlanks & blank));
        out[1 + zeros] = sign;
    } else {
        if (top >= 10 && negative) return false;  // "-1000000000.000": one character too many
        std::memcpy(out, kPairs + 2 * top, 2);
        if (top < 10) out[0] = sign;
        StoreLittleEndian(out + 2, digits + kZeros);
    }
    out[10] = '.';
    out[11] = static_cast<char>('0' + thousandths / 100);
    std::memcpy(out + 12, kPairs + 2 * (thousandths % 100), 2);
    return true;
}

}  // namespace corvane

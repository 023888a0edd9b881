#include "rinex/observation_value_format.h"

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

inline void PutPair(char* at, std::uint32_t pair) { std::memcpy(at, kPairs + 2 * pair, 2); }

}  // namespace

bool FormatObservationValue(double value, char* out) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    // Up to "-999999999.999": everything a pseudorange, phase or strength
    // holds. Larger values, infinities and NaN go to printf.
    if (!(std::fabs(value) < 1e9)) return false;
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) |
                                   (exponent != 0 ? std::uint64_t{1} << 52 : 0);

    // The value is mantissa × 2^(e − 1075) with e ≥ 1, below 2^30: so the
    // shift is at least 23, and mantissa × 1000 fits 63 bits. Rounded once,
    // exactly, ties to even: the thousandths as printf's "%.3f" gives them.
    const int shift = 1075 - (exponent != 0 ? exponent : 1);
    std::uint64_t n = 0;
    if (shift < 64) {
        const std::uint64_t p = mantissa * 1000;
        n = p >> shift;
        const std::uint64_t rest = p & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        n += (rest > half || (rest == half && (n & 1))) ? 1 : 0;
    }  // else below 2^-11: rounds to 0.000
    const std::uint64_t integer = n / 1000;
    if (integer >= 1000000000 && negative) return false;  // one character too many
    const auto thousandths = static_cast<std::uint32_t>(n - integer * 1000);

    // Ten integer digits with leading zeros, at fixed places; then the
    // leading zeros become blanks and the sign goes before the first digit.
    const auto whole = static_cast<std::uint32_t>(integer);  // at most 10^9
    const std::uint32_t top = whole / 100000000;              // 0 to 10
    const std::uint32_t low = whole - top * 100000000;
    const std::uint32_t high4 = low / 10000, low4 = low - high4 * 10000;
    PutPair(out, top);
    PutPair(out + 2, high4 / 100);
    PutPair(out + 4, high4 % 100);
    PutPair(out + 6, low4 / 100);
    PutPair(out + 8, low4 % 100);
    out[10] = '.';
    out[11] = static_cast<char>('0' + thousandths / 100);
    PutPair(out + 12, thousandths % 100);

    // Digits of the integer part, at least one.
    static constexpr std::uint32_t kPow10[10] = {1,      10,      100,      1000,      10000,
                                                 100000, 1000000, 10000000, 100000000, 1000000000};
    const std::uint32_t nonZero = whole | 1;
    int digits = ((32 - std::countl_zero(nonZero)) * 1233) >> 12;  // bit length × log10 2
    digits += nonZero >= kPow10[digits] ? 1 : 0;
    const int blanks = 10 - digits;
    std::memset(out, ' ', static_cast<std::size_t>(blanks));
    if (negative) out[blanks - 1] = '-';  // blanks ≥ 1: a negative value has at most 9 digits
    return true;
}

}  // namespace corvane

#include "rinex/observation_value_format.h"

#include <cmath>
#include <cstdint>

namespace corvane {

bool FormatObservationValue(double value, char* out) {
    // Up to "-999999999.999": everything a pseudorange, phase or strength
    // holds. Larger values and NaN go to printf.
    if (!(std::fabs(value) < 1e9)) return false;
    const bool negative = std::signbit(value);
    const double a = std::fabs(value);
    const double whole = std::floor(a);
    const double fraction = a - whole;  // exact

    int thousandths;
    if (a >= 1.0) {
        // From 1 on, the fraction is a whole number of 2^-52 and so is exact
        // as an integer F of 52 bits; F * 1000 fits 62 bits, and its top bits
        // are the thousandths, the low 52 the remainder (ties to even).
        constexpr std::uint64_t kHalf = std::uint64_t{1} << 51;
        const auto f = static_cast<std::uint64_t>(fraction * 4503599627370496.0);  // 2^52
        const std::uint64_t p = f * 1000;
        std::uint64_t q = p >> 52;
        const std::uint64_t rest = p & (2 * kHalf - 1);
        if (rest > kHalf || (rest == kHalf && (q & 1))) ++q;
        thousandths = static_cast<int>(q);
    } else {
        // The nearest thousandth of the exact fraction. The product is
        // rounded once, so the candidate may be one off near a half; fma
        // decides the side of each half exactly.
        double r = std::nearbyint(fraction * 1000.0);
        const double below = std::fma(fraction, 1000.0, -(r - 0.5));
        const double above = std::fma(fraction, 1000.0, -(r + 0.5));
        if (below < 0 || (below == 0 && std::fmod(r, 2.0) != 0)) {
            r -= 1;
        } else if (above > 0 || (above == 0 && std::fmod(r, 2.0) != 0)) {
            r += 1;
        }
        thousandths = static_cast<int>(r);
    }
    auto integer = static_cast<std::int64_t>(whole);
    if (thousandths >= 1000) {
        ++integer;
        thousandths -= 1000;
    }
    if (integer >= 1000000000 && negative) return false;  // one character too many

    // Digits two at a time: a division per pair instead of per digit.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int at = kObservationValueWidth;
    const int lastTwo = thousandths % 100;
    out[--at] = kPairs[2 * lastTwo + 1];
    out[--at] = kPairs[2 * lastTwo];
    out[--at] = static_cast<char>('0' + thousandths / 100);
    out[--at] = '.';
    auto rest = static_cast<std::uint32_t>(integer);  // below 10^9
    while (rest >= 100) {
        const std::uint32_t pair = rest % 100;
        rest /= 100;
        out[--at] = kPairs[2 * pair + 1];
        out[--at] = kPairs[2 * pair];
    }
    if (rest >= 10) {
        out[--at] = kPairs[2 * rest + 1];
        out[--at] = kPairs[2 * rest];
    } else {
        out[--at] = static_cast<char>('0' + rest);
    }
    if (negative && at > 0) out[--at] = '-';
    while (at > 0) out[--at] = ' ';
    return true;
}

}  // namespace corvane

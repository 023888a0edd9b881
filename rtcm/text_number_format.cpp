#include "rtcm/text_number_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace corvane {
namespace {

using U128 = unsigned __int128;

constexpr std::array<U128, 39> kPow10 = [] {
    std::array<U128, 39> t{};
    t[0] = 1;
    for (std::size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
    return t;
}();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// A finite double's exact value: (-1)^negative × m × 2^k.
struct Binary {
    std::uint64_t m;
    int k;
    bool negative;
};

Binary Decompose(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074, (bits >> 63) != 0};
    return {fraction | std::uint64_t{1} << 52, biased - 1075, (bits >> 63) != 0};
}

// num / 2^shift, rounded to nearest with ties to even (num below 2^127).
U128 RoundShift(U128 num, int shift) {
    if (shift == 0) return num;
    if (shift >= 128) return 0;  // below one half
    const U128 q = num >> shift;
    const U128 rest = num - (q << shift);
    const U128 half = U128{1} << (shift - 1);
    return q + ((rest > half || (rest == half && (q & 1) != 0)) ? 1 : 0);
}

// num / den, rounded to nearest with ties to even.
U128 RoundDivide(U128 num, U128 den) {
    const U128 q = num / den;
    const U128 rest = num - q * den;
    const U128 other = den - rest;  // 2 × rest against den without overflow
    return q + ((rest > other || (rest == other && (q & 1) != 0)) ? 1 : 0);
}

// round(m × 2^k × 10^n) exactly, or false when the operands do not fit in
// 128 bits (the caller then takes the general path).
bool ScaleAndRound(const Binary& b, int n, U128* out) {
    if (n > 22 || n < -22) return false;  // 10^22 < 2^74; m < 2^53
    U128 num = b.m;
    U128 den = 1;
    if (n >= 0) {
        num *= kPow10[n];
    } else {
        den = kPow10[-n];
    }
    int shift = 0;
    if (b.k >= 0) {
        if (b.k >= 127 || (num >> (127 - b.k)) != 0) return false;
        num <<= b.k;
    } else {
        shift = -b.k;
    }
    if (den == 1) {
        *out = RoundShift(num, shift);
    } else {
        if (shift >= 127 || (den >> (127 - shift)) != 0) return false;
        *out = RoundDivide(num, den << shift);
    }
    return true;
}

// The low `count` digits of v, zero-filled, ending at `end`.
void WriteDigits(char* end, std::uint64_t v, int count) {
    while (count >= 2) {
        const std::size_t pair = static_cast<std::size_t>(v % 100) * 2;
        v /= 100;
        end -= 2;
        end[0] = kDigitPairs[pair];
        end[1] = kDigitPairs[pair + 1];
        count -= 2;
    }
    if (count == 1) *--end = static_cast<char>('0' + v % 10);
}

int DigitCount(std::uint64_t v) {
    int n = 1;
    while (v >= 100) {
        v /= 100;
        n += 2;
    }
    return v >= 10 ? n + 1 : n;
}

char* WriteUnsigned(char* out, std::uint64_t v) {
    const int n = DigitCount(v);
    WriteDigits(out + n, v, n);
    return out + n;
}

char* WriteText(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

char* WriteNonFinite(char* out, double value) {
    if (std::signbit(value)) *out++ = '-';
    return WriteText(out, std::isnan(value) ? "nan" : "inf");
}

// floor(log10(2^e)) for the binary exponents of doubles (|e| < 1100, where
// e × log10(2) never comes near an integer other than at e = 0).
int FloorLog10Pow2(int e) {
    return static_cast<int>(std::floor(e * 0.30102999566398119521));
}

char* Fixed(char* out, double value, int precision) {
    if (!std::isfinite(value)) return WriteNonFinite(out, value);
    // Exact integer arithmetic while the scaled value stays below 10^19.
    if (precision <= 18 && std::fabs(value) * static_cast<double>(kPow10[precision]) < 1e19) {
        const Binary b = Decompose(value);
        U128 scaled = U128{b.m} * kPow10[precision];
        scaled = b.k >= 0 ? scaled << b.k : RoundShift(scaled, -b.k);
        const auto r = static_cast<std::uint64_t>(scaled);
        const auto unit = static_cast<std::uint64_t>(kPow10[precision]);
        if (b.negative) *out++ = '-';
        out = WriteUnsigned(out, r / unit);
        if (precision > 0) {
            *out++ = '.';
            WriteDigits(out + precision, r % unit, precision);
            out += precision;
        }
        return out;
    }
    return std::to_chars(out, out + MaxFixedLength(0, precision), value,
                         std::chars_format::fixed, precision)
        .ptr;
}

char* Scientific(char* out, double value, int precision) {
    if (!std::isfinite(value)) return WriteNonFinite(out, value);
    const Binary b = Decompose(value);
    std::uint64_t digits = 0;  // precision + 1 significant digits
    int exponent = 0;
    if (b.m != 0 && precision <= 17) {
        // The decimal exponent is the estimate from the binary one or one
        // more; with the estimate the rounded digits show which.
        const int log2 = b.k + 63 - std::countl_zero(b.m);
        exponent = FloorLog10Pow2(log2);
        const U128 top = kPow10[precision + 1];
        U128 r = 0;
        bool ok = ScaleAndRound(b, precision - exponent, &r);
        if (ok && r > top) ok = ScaleAndRound(b, precision - ++exponent, &r);
        if (ok && r == top) {  // rounded up to the next power of ten
            r = kPow10[precision];
            ++exponent;
        }
        if (!ok || r > top) {
            return std::to_chars(out, out + MaxScientificLength(0, precision), value,
                                 std::chars_format::scientific, precision)
                .ptr;
        }
        digits = static_cast<std::uint64_t>(r);
    }
    if (b.negative) *out++ = '-';
    const auto unit = static_cast<std::uint64_t>(kPow10[precision]);
    *out++ = static_cast<char>('0' + digits / unit);
    if (precision > 0) {
        *out++ = '.';
        WriteDigits(out + precision, digits % unit, precision);
        out += precision;
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *out++ = '0';
    return WriteUnsigned(out, static_cast<std::uint64_t>(magnitude));
}

// Right-aligns the text from `out` to `end` in `width`.
char* Pad(char* out, char* end, int width) {
    const auto length = static_cast<int>(end - out);
    if (length >= width) return end;
    const auto blanks = static_cast<std::size_t>(width - length);
    std::memmove(out + blanks, out, static_cast<std::size_t>(length));
    std::memset(out, ' ', blanks);
    return out + width;
}

}  // namespace

char* FormatFixed(char* out, double value, int width, int precision) {
    return Pad(out, Fixed(out, value, precision), width);
}

char* FormatScientific(char* out, double value, int width, int precision) {
    return Pad(out, Scientific(out, value, precision), width);
}

}  // namespace corvane

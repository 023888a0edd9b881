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

constexpr std::array<std::uint64_t, 20> kPow10u64 = [] {
    std::array<std::uint64_t, 20> t{};
    t[0] = 1;
    for (std::size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
    return t;
}();

constexpr std::array<double, 23> kPow10Double = [] {  // all exact
    std::array<double, 23> t{};
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
bool ScaleAndRoundWide(const Binary& b, int n, U128* out) {
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

// The same, in the usual case first: a value below 2^53 with a fraction,
// scaled up by at most 10^19, in one 64 × 64-bit product.
bool ScaleAndRound(const Binary& b, int n, U128* out) {
    if (b.k < 0 && n >= 0 && n <= 19) {
        *out = RoundShift(U128{b.m} * kPow10u64[n], -b.k);
        return true;
    }
    return ScaleAndRoundWide(b, n, out);
}

void WritePair(char* at, std::uint32_t v) {
    at[0] = kDigitPairs[v * 2];
    at[1] = kDigitPairs[v * 2 + 1];
}

// Four and eight digits ending at `end`, in halves that do not wait on
// each other.
void Write4(char* end, std::uint32_t v) {
    WritePair(end - 4, v / 100);
    WritePair(end - 2, v % 100);
}

// Eight digits (v below 10^8) in the bytes of one word, all lanes at once:
// the two halves of four digits in 32-bit lanes, split into pairs in 16-bit
// lanes and into digits in bytes, by multiplications that stand for the
// divisions by 100 and 10 within each lane's range. The first digit lands
// in the lowest byte, so the word is stored in memory order on
// little-endian machines; elsewhere the pairs take the table.
[[gnu::always_inline]] inline void Write8(char* end, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t halves = v / 10000 | std::uint64_t{v % 10000} << 32;
        const std::uint64_t hundreds = (halves * 10486) >> 20 & 0x0000007F0000007Full;
        const std::uint64_t pairs = hundreds | (halves - 100 * hundreds) << 16;
        const std::uint64_t tens = (pairs * 103) >> 10 & 0x000F000F000F000Full;
        const std::uint64_t digits = (tens | (pairs - 10 * tens) << 8) + 0x3030303030303030ull;
        std::memcpy(end - 8, &digits, 8);
    } else {
        Write4(end - 4, v / 10000);
        Write4(end, v % 10000);
    }
}

// Writes the low `count` digits of v, zero-filled, to end at `end`, and
// returns v without them. Inlined, so that a constant count unrolls.
[[gnu::always_inline]] inline std::uint64_t WriteDigitsBefore(char* end, std::uint64_t v,
                                                              int count) {
    while (count >= 8) {
        Write8(end, static_cast<std::uint32_t>(v % 100000000));
        v /= 100000000;
        end -= 8;
        count -= 8;
    }
    if (count >= 4) {
        Write4(end, static_cast<std::uint32_t>(v % 10000));
        v /= 10000;
        end -= 4;
        count -= 4;
    }
    if (count >= 2) {
        WritePair(end - 2, static_cast<std::uint32_t>(v % 100));
        v /= 100;
        end -= 2;
        count -= 2;
    }
    if (count == 1) {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    return v;
}
// The number of decimal digits of v (1 for 0), without a loop: the bit
// length times log10(2) is the count or one less. v | 1 has the same
// count as v.
int DigitCount(std::uint64_t v) {
    const int estimate = (std::bit_width(v | 1) * 1233) >> 12;
    return estimate + (v >= kPow10u64[estimate] ? 1 : 0);
}

// Blanks from `out` up to `text`, where the right-aligned text begins.
void Blank(char* out, char* text) {
    while (text > out) *--text = ' ';
}

char* WriteNonFinite(char* out, double value, int width) {
    const char* text = std::isnan(value) ? "nan" : "inf";
    const int length = 3 + (std::signbit(value) ? 1 : 0);
    char* end = out + std::max(width, length);
    std::memcpy(end - 3, text, 3);
    if (std::signbit(value)) end[-4] = '-';
    Blank(out, end - length);
    return end;
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

// floor(log10(2^e)) for the binary exponents of doubles (|e| < 1100): a
// fixed-point log10(2) (315653 / 2^20) that is exact on that whole range;
// the shift of a negative product rounds down.
constexpr int FloorLog10Pow2(int e) { return (e * 315653) >> 20; }

// round(a × 10^n) in double arithmetic, where that is certain: 10^n is
// exact for n up to 22, and below 2^50 every whole + ½ is a double, so the
// once-rounded product lies on the same side of it as the exact one, or on
// it. Only the product that reads exactly ½ is left undecided. False sends
// the value the exact way.
[[gnu::always_inline]] inline bool QuickRound(double a, int n, std::uint64_t* r) {
    if (n < 0 || n > 22) return false;
    const double s = a * kPow10Double[n];
    if (!(s < 0x1p50)) return false;
    const auto whole = static_cast<std::int64_t>(s);  // a is not negative
    const double fraction = s - static_cast<double>(whole);  // exact
    if (fraction == 0.5) return false;
    *r = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

// The precision + 1 significant digits and the exponent of "%.{precision}e",
// or false where the exact arithmetic does not reach.
[[gnu::always_inline]] inline bool ScientificDigits(double a, const Binary& b, int precision,
                                                    std::uint64_t* digits, int* exponent) {
    if (b.m == 0) {
        *digits = 0;
        *exponent = 0;
        return true;
    }
    // The decimal exponent is the estimate from the binary one or one more;
    // the rounded digits at the estimate show which.
    int e = FloorLog10Pow2(b.k + 63 - std::countl_zero(b.m));
    const auto top64 = static_cast<std::uint64_t>(kPow10[precision + 1]);
    std::uint64_t quick = 0;
    if (QuickRound(a, precision - e, &quick)) {
        bool ok = true;
        if (quick > top64) ok = QuickRound(a, precision - ++e, &quick);
        if (ok && quick == top64) {  // rounded up to the next power of ten
            quick = static_cast<std::uint64_t>(kPow10[precision]);
            ++e;
        }
        if (ok && quick < top64) {
            *digits = quick;
            *exponent = e;
            return true;
        }
        e = FloorLog10Pow2(b.k + 63 - std::countl_zero(b.m));
    }
    const U128 top = kPow10[precision + 1];
    U128 r = 0;
    if (!ScaleAndRound(b, precision - e, &r)) return false;
    if (r > top && !ScaleAndRound(b, precision - ++e, &r)) return false;
    if (r == top) {  // rounded up to the next power of ten
        r = kPow10[precision];
        ++e;
    }
    if (r > top) return false;
    *digits = static_cast<std::uint64_t>(r);
    *exponent = e;
    return true;
}

// The formats at a precision known when compiled (P) or given (P < 0): the
// hot ones are compiled for their own precision.
template <int P>
char* FixedAt(char* out, double value, int width, int givenPrecision) {
    const int precision = P >= 0 ? P : givenPrecision;
    if (!std::isfinite(value)) return WriteNonFinite(out, value, width);
    // Exact integer arithmetic while the scaled value stays below 10^19.
    if (precision > 18 || !(std::fabs(value) * kPow10Double[precision] < 1e19)) {
        return Pad(out,
                   std::to_chars(out, out + MaxFixedLength(0, precision), value,
                                 std::chars_format::fixed, precision)
                       .ptr,
                   width);
    }
    const Binary b = Decompose(value);
    std::uint64_t r = 0;
    if (!QuickRound(std::fabs(value), precision, &r)) {
        const U128 scaled = U128{b.m} * static_cast<std::uint64_t>(kPow10[precision]);
        r = static_cast<std::uint64_t>(b.k >= 0 ? scaled << b.k : RoundShift(scaled, -b.k));
    }
    // The length first, then the text from the right.
    const int digits = std::max(DigitCount(r), precision + 1);
    const int length = (b.negative ? 1 : 0) + digits + (precision > 0 ? 1 : 0);
    char* const end = out + std::max(width, length);
    char* at = end;
    std::uint64_t whole = r;
    if (precision > 0) {
        whole = WriteDigitsBefore(at, r, precision);
        at -= precision;
        *--at = '.';
    }
    const int wholeDigits = digits - precision;
    WriteDigitsBefore(at, whole, wholeDigits);
    at -= wholeDigits;
    if (b.negative) *--at = '-';
    Blank(out, at);
    return end;
}

// "%{width}.{P}e" of the common case without a branch that depends on the
// value: a normal value from about 10^(P-22) to 10^P, whose digits double
// arithmetic rounds with certainty (see QuickRound), and a width that holds
// the text with a sign. The sign's place is
// a blank on positive values. False leaves the value to the general way.
template <int P>
[[gnu::always_inline]] inline bool QuickScientific(char* out, double value, int width,
                                                   char** end) {
    static_assert(P >= 1 && P <= 13, "10^(P+1) must stay below 2^50");
    constexpr int kLength = P + 7;  // sign, digit, point, P digits, e, sign, two digits
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    if (width < kLength || biased == 0 || biased == 0x7FF) return false;
    const double a = std::fabs(value);
    // The decimal exponent is the estimate from the binary one or one more:
    // one more when the digits at the estimate round to P + 2 of them.
    const int estimate = FloorLog10Pow2(biased - 1023);
    const int n = P - estimate;
    if (n < 1 || n > 22) return false;
    // Both candidates at once, the choice on their bits: it goes either way
    // at random, so no branch, and nothing waits for it but the choice.
    const double atEstimate = a * kPow10Double[n];
    const double atNext = a * kPow10Double[n - 1];
    // The estimate's digits round to P + 2 of them from 10^(P+1) - ½ on. A
    // product that reads exactly that stays at the estimate and is found
    // undecided below.
    constexpr double kTop = static_cast<double>(static_cast<std::uint64_t>(kPow10[P + 1]));
    const std::uint64_t next = atEstimate > kTop - 0.5 ? 1 : 0;
    const auto estimateBits = std::bit_cast<std::uint64_t>(atEstimate);
    const double s = std::bit_cast<double>(
        estimateBits ^ ((estimateBits ^ std::bit_cast<std::uint64_t>(atNext)) & (0 - next)));
    const int exponent = estimate + static_cast<int>(next);
    // s is below 10^(P+1) + 1, far below 2^50 (see QuickRound): adding 2^52
    // rounds it to the nearest integer, ties to even, in the sum's low 52
    // bits. Only a product that reads exactly ½ is left undecided.
    constexpr double kShift = 0x1p52;
    const double shifted = s + kShift;
    const double step = (shifted - kShift) - s;  // exact, -½ to ½
    if (step == 0.5 || step == -0.5) return false;
    // No carry into P + 2 digits is left: at the estimate, s is below
    // 10^(P+1) - ½; at the next, below 2 × 10^P (the value is below twice
    // the power of two the estimate comes from).
    const auto digits = std::bit_cast<std::uint64_t>(shifted) & ((std::uint64_t{1} << 52) - 1);
    // n from 1 to 22 keeps the exponent between -21 and P: two digits.

    char* const e = out + width;
    char* const field = e - kLength;
    if (field > out) std::memset(out, ' ', static_cast<std::size_t>(field - out));
    field[0] = (bits >> 63) != 0 ? '-' : ' ';
    const std::uint64_t lead = WriteDigitsBefore(field + 3 + P, digits, P);
    field[1] = static_cast<char>('0' + lead);
    field[2] = '.';
    field[3 + P] = 'e';
    field[4 + P] = exponent < 0 ? '-' : '+';
    WritePair(field + 5 + P, static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent));
    *end = e;
    return true;
}

template <int P>
char* ScientificAt(char* out, double value, int width, int givenPrecision) {
    const int precision = P >= 0 ? P : givenPrecision;
    if (!std::isfinite(value)) return WriteNonFinite(out, value, width);
    const Binary b = Decompose(value);
    std::uint64_t digits = 0;
    int exponent = 0;
    if (precision > 17 || !ScientificDigits(std::fabs(value), b, precision, &digits, &exponent)) {
        return Pad(out,
                   std::to_chars(out, out + MaxScientificLength(0, precision), value,
                                 std::chars_format::scientific, precision)
                       .ptr,
                   width);
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    const int exponentDigits = magnitude >= 100 ? 3 : 2;
    const int length =
        (b.negative ? 1 : 0) + 1 + (precision > 0 ? precision + 1 : 0) + 2 + exponentDigits;
    char* const end = out + std::max(width, length);
    char* at = end;
    WriteDigitsBefore(at, static_cast<std::uint64_t>(magnitude), exponentDigits);
    at -= exponentDigits;
    *--at = exponent < 0 ? '-' : '+';
    *--at = 'e';
    std::uint64_t lead = digits;
    if (precision > 0) {
        lead = WriteDigitsBefore(at, digits, precision);
        at -= precision;
        *--at = '.';
    }
    *--at = static_cast<char>('0' + lead);
    if (b.negative) *--at = '-';
    Blank(out, at);
    return end;
}

// "%{width}.{P}f" of a value whose P decimals double arithmetic rounds
// with certainty (see QuickRound). Blanks go over the first 32 characters
// first, inside the room MaxFixedLength gives. False leaves the value to the
// general way.
template <int P>
[[gnu::always_inline]] inline bool QuickFixed(char* out, double value, int width, char** end) {
    const double s = std::fabs(value) * kPow10Double[P];
    if (!(s < 0x1p50)) return false;  // also infinities and NaNs
    const auto whole = static_cast<std::int64_t>(s);
    const double fraction = s - static_cast<double>(whole);  // exact
    std::uint64_t r = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (fraction == 0.5) {
        // Undecided in doubles, and frequent: fields in 1/1024 units end
        // in a 5 at nine decimals. The exact product decides; its value
        // below 2^50 has a fraction only when the exponent is negative.
        const Binary b = Decompose(value);
        if (b.k >= 0) return false;
        r = static_cast<std::uint64_t>(
            RoundShift(U128{b.m} * static_cast<std::uint64_t>(kPow10[P]), -b.k));
    }
    const bool negative = std::signbit(value);
    const int wholeDigits = std::max(DigitCount(r) - P, 1);
    const int length = (negative ? 1 : 0) + wholeDigits + 1 + P;
    static_assert(MaxFixedLength(0, P) >= 32);
    std::memset(out, ' ', 32);
    if (width > 32) std::memset(out, ' ', static_cast<std::size_t>(width));
    char* const e = out + std::max(width, length);
    char* at = e - P;
    const std::uint64_t integer = WriteDigitsBefore(e, r, P);
    *--at = '.';
    WriteDigitsBefore(at, integer, wholeDigits);
    at -= wholeDigits;
    // The sign over the blank before the digits, or that character again:
    // no branch on the sign.
    at -= negative ? 1 : 0;
    *at = negative ? '-' : *at;
    *end = e;
    return true;
}

template <int P>
[[gnu::noinline]] char* GeneralFixed(char* out, double value, int width, int precision) {
    return FixedAt<P>(out, value, width, precision);
}

template <int P>
char* FixedOf(char* out, double value, int width) {
    char* end = nullptr;
    if (QuickFixed<P>(out, value, width, &end)) return end;
    return GeneralFixed<P>(out, value, width, P);
}

[[gnu::noinline]] char* GeneralScientific(char* out, double value, int width, int precision) {
    switch (precision) {
        case 9:
            return ScientificAt<9>(out, value, width, precision);
        case 13:
            return ScientificAt<13>(out, value, width, precision);
        default:
            return ScientificAt<-1>(out, value, width, precision);
    }
}

}  // namespace

// The quick ways of the log's formats first, in code that needs few
// registers; everything else in the general functions, called only then.
char* FormatFixed(char* out, double value, int width, int precision) {
    switch (precision) {
        case 1:
            return FixedOf<1>(out, value, width);
        case 2:
            return FixedOf<2>(out, value, width);
        case 3:
            return FixedOf<3>(out, value, width);
        case 4:
            return FixedOf<4>(out, value, width);
        case 5:
            return FixedOf<5>(out, value, width);
        case 8:
            return FixedOf<8>(out, value, width);
        case 9:
            return FixedOf<9>(out, value, width);
        default:
            return FixedAt<-1>(out, value, width, precision);
    }
}

char* FormatScientific(char* out, double value, int width, int precision) {
    char* end = nullptr;
    if (precision == 9 ? QuickScientific<9>(out, value, width, &end)
                       : precision == 13 && QuickScientific<13>(out, value, width, &end)) {
        return end;
    }
    return GeneralScientific(out, value, width, precision);
}

}  // namespace corvane

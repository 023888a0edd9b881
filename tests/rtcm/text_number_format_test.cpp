// The log's number formatting against snprintf: a million doubles for every
// number format of the log, weighted to where formatting goes wrong.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <random>
#include <string>

#include "rtcm/text_number_format.h"

namespace corvane {
namespace {

struct NumberFormat {
    int width;
    int precision;
    bool scientific;
};

void PrintTo(const NumberFormat& f, std::ostream* out) {
    *out << '%' << f.width << '.' << f.precision << (f.scientific ? 'e' : 'f');
}

std::string Name(const ::testing::TestParamInfo<NumberFormat>& info) {
    return std::to_string(info.param.width) + "_" + std::to_string(info.param.precision) +
           (info.param.scientific ? "e" : "f");
}

// Doubles of every kind the formatting treats apart. The log only meets
// finite values (every field comes from an integer field), so no NaN or
// infinity.
class Doubles {
public:
    Doubles(std::uint64_t stream, int precision, bool scientific)
        : random_(stream), precision_(precision), scientific_(scientific) {}

    double Next() {
        const double v = Draw();
        return random_() & 1 ? -v : v;
    }

private:
    double Draw() {
        // Weighted to the cases that cost printf little: a huge value takes
        // it hundreds of digits.
        switch (random_() % 16) {
            case 0: {  // any finite bit pattern: subnormals, the largest, the tiniest
                double v;
                do {
                    const std::uint64_t bits = random_();
                    std::memcpy(&v, &bits, sizeof v);
                } while (!std::isfinite(v));
                return std::fabs(v);
            }
            case 1:
            case 2:
            case 3:  // everyday magnitudes
                return Uniform() * std::pow(10.0, static_cast<int>(random_() % 31) - 15);
            case 4:
            case 5:
                return Tie();
            case 6:
            case 7: {  // a few steps beside a tie
                const double tie = Tie();
                const int steps = static_cast<int>(random_() % 3) + 1;
                double v = tie;
                for (int i = 0; i < steps; ++i)
                    v = std::nextafter(v, random_() & 1 ? 0.0 : DBL_MAX);
                return v;
            }
            case 8:
            case 9:  // the double nearest to a decimal half: the last digit decides
                return Decimal('5');
            case 10:  // nines that carry into the next power of ten
                return Decimal('9');
            case 11:
            case 12: {  // powers of ten and their neighbours
                double v = std::pow(10.0, static_cast<int>(random_() % 61) - 30);
                const int steps = static_cast<int>(random_() % 5) - 2;
                for (int i = 0; i < std::abs(steps); ++i)
                    v = std::nextafter(v, steps < 0 ? 0.0 : DBL_MAX);
                return v;
            }
            default: {  // zero, subnormals and integers
                const std::uint64_t pick = random_() % 4;
                if (pick == 0) return 0.0;
                if (pick == 1)
                    return static_cast<double>(random_() % (std::uint64_t{1} << 52)) * DBL_TRUE_MIN;
                return static_cast<double>(random_() >> (random_() % 64));
            }
        }
    }

    double Uniform() { return std::uniform_real_distribution<double>(0.0, 10.0)(random_); }

    // A value exactly halfway between two results: (2j + 1) / 2^(p + 1) has
    // p decimals and a 5 after them; N + 0.5 with N of p + 1 digits is
    // halfway at p + 1 significant digits.
    double Tie() {
        if (!scientific_) {
            const std::uint64_t odd = (random_() >> (random_() % 40 + 12)) | 1;
            return std::ldexp(static_cast<double>(odd), -(precision_ + 1));
        }
        const double low = std::pow(10.0, precision_);
        const double n = std::floor(low + Uniform() * low * 0.9);
        return n + 0.5;
    }

    // A decimal of precision + 2 significant digits (and a few more for the
    // fixed formats) ending in `last`, at any exponent from 10^-20 to 10^20.
    double Decimal(char last) {
        char text[64];
        int at = 0;
        const int digits = precision_ + 2 + (scientific_ ? 0 : static_cast<int>(random_() % 8));
        for (int i = 0; i < digits - 1; ++i)
            text[at++] =
                last == '9'
                    ? '9'
                    : static_cast<char>('0' + (i == 0 ? 1 + random_() % 9 : random_() % 10));
        text[at++] = last;
        std::snprintf(text + at, sizeof text - static_cast<std::size_t>(at), "e%d",
                      static_cast<int>(random_() % 41) - 20 - digits + 1);
        return std::strtod(text, nullptr);
    }

    std::mt19937_64 random_;
    int precision_;
    bool scientific_;
};

class NumberFormatTest : public ::testing::TestWithParam<NumberFormat> {};

TEST_P(NumberFormatTest, MillionDoublesAsSnprintf) {
    const NumberFormat f = GetParam();
    Doubles doubles(static_cast<std::uint64_t>(f.width * 100 + f.precision * 2 + f.scientific),
                    f.precision, f.scientific);
    const char* format = f.scientific ? "%*.*e" : "%*.*f";
    static char expected[400];
    static char actual[400];
    int failures = 0;
    for (int i = 0; i < 1000000 && failures < 10; ++i) {
        const double v = doubles.Next();
        const int n = std::snprintf(expected, sizeof expected, format, f.width, f.precision, v);
        char* end = f.scientific ? FormatScientific(actual, v, f.width, f.precision)
                                 : FormatFixed(actual, v, f.width, f.precision);
        if (end - actual != n || std::memcmp(actual, expected, static_cast<std::size_t>(n)) != 0) {
            ++failures;
            ADD_FAILURE() << std::hexfloat << v << ": \""
                          << std::string(actual, static_cast<std::size_t>(end - actual))
                          << "\", snprintf \"" << expected << "\"";
        }
    }
}

// Where the rounded digits carry into the next power of ten: the choice of
// the exponent between the estimate and the next one, at every scale, on
// the double nearest the boundary and its neighbours.
TEST(NumberFormatEdgeTest, ScientificAtTheCarryIntoTheNextExponent) {
    char expected[64];
    char actual[400];
    for (const int precision : {9, 13}) {
        const double boundary = std::pow(10.0, precision + 1) - 0.5;
        for (int scale = -40; scale <= 40; ++scale) {
            const double centre = boundary * std::pow(10.0, scale);
            double v = centre;
            for (int i = 0; i < 4; ++i) v = std::nextafter(v, 0.0);
            for (int step = -4; step <= 4; ++step, v = std::nextafter(v, DBL_MAX)) {
                const int width = precision + 7;
                const int n = std::snprintf(expected, sizeof expected, "%*.*e", width, precision, v);
                char* end = FormatScientific(actual, v, width, precision);
                EXPECT_EQ(std::string(actual, static_cast<std::size_t>(end - actual)),
                          std::string(expected, static_cast<std::size_t>(n)))
                    << std::hexfloat << v;
            }
        }
    }
}

// Every number format of the decoded-text log.
INSTANTIATE_TEST_SUITE_P(Log, NumberFormatTest,
                         ::testing::Values(NumberFormat{20, 13, true}, NumberFormat{16, 9, true},
                                           NumberFormat{12, 3, false}, NumberFormat{14, 5, false},
                                           NumberFormat{14, 3, false}, NumberFormat{7, 2, false},
                                           NumberFormat{7, 3, false}, NumberFormat{11, 4, false},
                                           NumberFormat{15, 4, false}, NumberFormat{11, 9, false},
                                           NumberFormat{7, 4, false}, NumberFormat{6, 1, false},
                                           NumberFormat{8, 1, false}, NumberFormat{9, 3, false},
                                           NumberFormat{9, 4, false}, NumberFormat{9, 2, false},
                                           NumberFormat{19, 8, false}, NumberFormat{0, 3, false}),
                         Name);

}  // namespace
}  // namespace corvane

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

    // The nearest thousandth of the exact fraction. The product is rounded
    // once, so the candidate may be one off near a half; fma decides the
    // side of each half exactly.
    double r = std::nearbyint(fraction * 1000.0);
    const double below = std::fma(fraction, 1000.0, -(r - 0.5));
    const double above = std::fma(fraction, 1000.0, -(r + 0.5));
    if (below < 0 || (below == 0 && std::fmod(r, 2.0) != 0)) {
        r -= 1;
    } else if (above > 0 || (above == 0 && std::fmod(r, 2.0) != 0)) {
        r += 1;
    }
    auto integer = static_cast<std::int64_t>(whole);
    auto thousandths = static_cast<int>(r);
    if (thousandths >= 1000) {
        ++integer;
        thousandths -= 1000;
    }
    if (integer >= 1000000000 && negative) return false;  // one character too many

    int at = kObservationValueWidth;
    out[--at] = static_cast<char>('0' + thousandths % 10);
    out[--at] = static_cast<char>('0' + thousandths / 10 % 10);
    out[--at] = static_cast<char>('0' + thousandths / 100);
    out[--at] = '.';
    do {
        out[--at] = static_cast<char>('0' + integer % 10);
        integer /= 10;
    } while (integer > 0 && at > 0);
    if (negative && at > 0) out[--at] = '-';
    while (at > 0) out[--at] = ' ';
    return true;
}

}  // namespace corvane

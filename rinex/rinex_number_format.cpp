#include "rinex/rinex_number_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace corvane {

void FormatRinexNumber(double value, char* out) {
    // Values too small for a two-digit exponent (or not numbers at all)
    // cannot come from the broadcast scale factors; they are written as 0.
    if (!std::isfinite(value) || value == 0.0 || std::fabs(value) < 1e-99) value = 0.0;
    if (std::fabs(value) >= 9.9999999999995e99)
        value = value < 0 ? -9.999999999999e99 : 9.999999999999e99;
    char text[32];
    std::snprintf(text, sizeof text, "% .12E", value);
    // "s1.ddddddddddddE+xx": 19 characters, the E at index 15.
    std::memcpy(out, text, kRinexNumberWidth);
    out[15] = 'D';
}

}  // namespace corvane

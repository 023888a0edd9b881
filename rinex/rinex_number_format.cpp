#include "rinex/rinex_number_format.h"

#include <cmath>
#include <cstring>

#include "rtcm/text_number_format.h"

namespace corvane {

void FormatRinexNumber(double value, char* out) {
    // Values too small for a two-digit exponent (or not numbers at all)
    // cannot come from the broadcast scale factors; they are written as 0.
    if (!std::isfinite(value) || value == 0.0 || std::fabs(value) < 1e-99) value = 0.0;
    if (std::fabs(value) >= 9.9999999999995e99)
        value = value < 0 ? -9.999999999999e99 : 9.999999999999e99;
    // printf's "% .12E": "s1.ddddddddddddE+xx", 19 characters, the E at index 15.
    char text[MaxScientificLength(0, 12)];
    FormatScientific(text, value, 0, 12);
    if (text[0] == '-') {
        std::memcpy(out, text, kRinexNumberWidth);
    } else {
        out[0] = ' ';
        std::memcpy(out + 1, text, kRinexNumberWidth - 1);
    }
    out[15] = 'D';
}

}  // namespace corvane

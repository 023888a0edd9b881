// Powers of two for scaling the integer fields of RTCM messages; the
// products are exact.
#pragma once

namespace corvane {

constexpr double Pow2(int n) {
    double v = 1.0;
    for (; n > 0; --n) v *= 2.0;
    for (; n < 0; ++n) v *= 0.5;
    return v;
}

}  // namespace corvane

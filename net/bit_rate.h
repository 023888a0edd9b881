// The smoothed receive rate shown for a running mountpoint.
#pragma once

#include <cstdint>

namespace corvane {

// The new rate after `bytes` arrived in `elapsedMs`: the period's rate in
// bit/s averaged 1:3 with the previous rate, in integer arithmetic. The field
// is 16 bits wide: a rate above 65535 bit/s is kept as 65535.
inline std::uint16_t SmoothedBitRate(std::uint64_t bytes, std::uint64_t elapsedMs,
                                     std::uint16_t previous) {
    if (elapsedMs == 0) return previous;
    const std::uint64_t rate = (bytes * 8000 / elapsedMs + 3 * std::uint64_t{previous}) / 4;
    return rate > 0xFFFF ? std::uint16_t{0xFFFF} : static_cast<std::uint16_t>(rate);
}

}  // namespace corvane

#include "app/cli/message_label.h"

#include <cstdio>

#include "rtcm/message_codes.h"

namespace corvane {

std::string MessageLabel(std::uint32_t code) {
    struct Kind {
        std::uint32_t kind;
        const char* number;
    };
    static constexpr Kind kPlain[] = {
        {kKindRtcm2Type1, "1"},  {kKindRtcm2Type3, "3"},  {kKindRtcm2Type7, "7"},
        {kKindRtcm2Type9, "9"},  {kKind1004, "1004"},     {kKind1006, "1006"},
        {kKind1012, "1012"},     {kKind1013, "1013"},     {kKind1019, "1019"},
        {kKind1020, "1020"},     {kKind1033, "1033"},
    };
    static constexpr const char* kSystems[] = {"GPS", "GLONASS", "Galileo", "SBAS", "QZSS", "BeiDou"};
    const std::uint32_t kind = KindOf(code), index = IndexOf(code);
    for (const Kind& k : kPlain)
        if (k.kind == kind && index == 0) return k.number;
    const char* number = kind == kKindRtcm2Type18   ? "18"
                         : kind == kKindRtcm2Type19 ? "19"
                         : kind == kKindRtcm2Type41 ? "41"
                         : kind == kKindRtcm2Type42 ? "42"
                         : kind == kKindMsm4        ? "MSM4"
                         : kind == kKindMsm7        ? "MSM7"
                                                    : nullptr;
    if (number && (kind == kKindRtcm2Type18 || kind == kKindRtcm2Type19) && (index == 1 || index == 2))
        return std::string(number) + (index == 1 ? " L1" : " L2");
    if (number && (kind == kKindRtcm2Type41 || kind == kKindRtcm2Type42) && index >= 1 && index <= 5)
        return std::string(number) + " #" + std::to_string(index);
    if (number && (kind == kKindMsm4 || kind == kKindMsm7) && index >= 1 && index <= 6)
        return std::string(number) + " " + kSystems[index - 1];
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08x", code);
    return hex;
}

}  // namespace corvane

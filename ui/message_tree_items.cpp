#include "ui/message_tree_items.h"

#include "rtcm/message_codes.h"

namespace corvane {
namespace {

constexpr MessageTreeChild kType18[] = {
    {u"L1 Freq", MessageCode(kKindRtcm2Type18, 1)},
    {u"L2 Freq", MessageCode(kKindRtcm2Type18, 2)},
};
constexpr MessageTreeChild kType19[] = {
    {u"L1 Freq", MessageCode(kKindRtcm2Type19, 1)},
    {u"L2 Freq", MessageCode(kKindRtcm2Type19, 2)},
};
// Types 41 and 42 by system ID 1 to 5.
constexpr MessageTreeChild kType41[] = {
    {u"GPS", MessageCode(kKindRtcm2Type41, 1)},     {u"GLONASS", MessageCode(kKindRtcm2Type41, 2)},
    {u"GALILEO", MessageCode(kKindRtcm2Type41, 3)}, {u"SBAS", MessageCode(kKindRtcm2Type41, 4)},
    {u"QZSS", MessageCode(kKindRtcm2Type41, 5)},
};
constexpr MessageTreeChild kType42[] = {
    {u"GPS", MessageCode(kKindRtcm2Type42, 1)},     {u"GLONASS", MessageCode(kKindRtcm2Type42, 2)},
    {u"GALILEO", MessageCode(kKindRtcm2Type42, 3)}, {u"SBAS", MessageCode(kKindRtcm2Type42, 4)},
    {u"QZSS", MessageCode(kKindRtcm2Type42, 5)},
};
// MSM by constellation index + 1; SBAS (4) has no item. MSM7 QZSS has no
// record and stays empty.
constexpr MessageTreeChild kMsm4[] = {
    {u"GPS", MessageCode(kKindMsm4, 1)},     {u"GLONASS", MessageCode(kKindMsm4, 2)},
    {u"GALILEO", MessageCode(kKindMsm4, 3)}, {u"QZSS", MessageCode(kKindMsm4, 5)},
    {u"BeiDou", MessageCode(kKindMsm4, 6)},
};
constexpr MessageTreeChild kMsm7[] = {
    {u"GPS", MessageCode(kKindMsm7, 1)},     {u"GLONASS", MessageCode(kKindMsm7, 2)},
    {u"GALILEO", MessageCode(kKindMsm7, 3)}, {u"QZSS", MessageCode(kKindMsm7, 5)},
    {u"BeiDou", MessageCode(kKindMsm7, 6)},
};

constexpr MessageTreeItem kRtcm2Items[] = {
    {u"type-01", MessageCode(kKindRtcm2Type1, 0), 0, {}},
    {u"type-03", MessageCode(kKindRtcm2Type3, 0), 0, {}},
    {u"type-09", MessageCode(kKindRtcm2Type9, 0), 0, {}},
    {u"type-18", 0, kKindRtcm2Type18, kType18},
    {u"type-19", 0, kKindRtcm2Type19, kType19},
    {u"type-41", 0, kKindRtcm2Type41, kType41},
    {u"type-42", 0, kKindRtcm2Type42, kType42},
};

constexpr MessageTreeItem kRtcm3Items[] = {
    {u"type-1004", MessageCode(kKind1004, 0), 0, {}},
    {u"type-1006", MessageCode(kKind1006, 0), 0, {}},
    {u"type-1012", MessageCode(kKind1012, 0), 0, {}},
    {u"type-1013", MessageCode(kKind1013, 0), 0, {}},
    {u"type-1019", MessageCode(kKind1019, 0), 0, {}},
    {u"type-1020", MessageCode(kKind1020, 0), 0, {}},
    {u"type-1033", MessageCode(kKind1033, 0), 0, {}},
    {u"type-MSM4", 0, kKindMsm4, kMsm4},
    {u"type-MSM7", 0, kKindMsm7, kMsm7},
};

}  // namespace

std::span<const MessageTreeItem> MessageTreeItems(int version) {
    if (version == 2) return kRtcm2Items;
    if (version == 3) return kRtcm3Items;
    return {};
}

}  // namespace corvane

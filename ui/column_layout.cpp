#include "ui/column_layout.h"

namespace corvane {

std::vector<int> MountListColumnWidths(int listWidth) {
    // The vertical scroll bar and the borders take 21 pixels.
    const long l = listWidth - 21;
    std::vector<int> widths;
    for (long p : {120, 38, 50, 50, 50})
        widths.push_back(static_cast<std::int16_t>(l * p / 364));  // a 16-bit width
    return widths;
}

std::vector<int> DecodedTableProportions(int treeVersion, std::uint32_t selectedCode) {
    const std::uint32_t kind = selectedCode >> 16;
    if (treeVersion == 2) {
        switch (kind) {
            case 0x0001:
            case 0x0010:
                return {40, 70, 80, 70, 80, 80};
            case 0x0002:
                return {0, 166, 164};
            case 0x0040:
                return {40, 84, 76, 76, 120};
            case 0x0080:
                return {40, 108, 108, 120};
            case 0x0100:
            case 0x0200:
                return {40, 138, 82, 128};
            default:
                return {};
        }
    }
    if (treeVersion == 3) {
        switch (kind) {
            case 0x8001:
            case 0x8008:
                return {40, 74, 80, 74, 74, 80};
            case 0x8002:
            case 0x8010:
            case 0x8080:
                return {0, 214};
            case 0x8020:
                return {40, 42, 48, 106, 48, 106};
            case 0x8040:
                return {40, 56, 56, 76, 56, 106};
            case 0x8100:
                return {40, 56, 130, 130, 68};
            case 0x8200:
                return {40, 56, 100, 100, 68, 60};
            default:
                return {};
        }
    }
    return {};
}

std::vector<int> DecodedTableColumnWidths(int treeVersion, std::uint32_t selectedCode,
                                          int tableWidth) {
    std::vector<int> widths = DecodedTableProportions(treeVersion, selectedCode);
    for (int& w : widths) w = tableWidth * w / 498;
    return widths;
}

}  // namespace corvane

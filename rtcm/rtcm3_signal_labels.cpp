// The three-character labels of the MSM signal IDs, per constellation.
#include "rtcm/rtcm3_dec.h"

namespace corvane {
namespace {

struct Label {
    int id;
    const char* text;
};

constexpr Label kGps[] = {{2, "L1C"},  {3, "L1P"},  {4, "L1W"},  {8, "L2C"},  {9, "L2P"},
                          {10, "L2W"}, {15, "L2S"}, {16, "L2L"}, {17, "L2X"}, {22, "L5I"},
                          {23, "L5Q"}, {24, "L5X"}, {30, "L1S"}, {31, "L1L"}, {32, "L1X"}};
constexpr Label kGlonass[] = {{2, "G1C"}, {3, "G1P"}, {8, "G2C"}, {9, "G2P"}};
constexpr Label kGalileo[] = {{2, "E1C"},  {3, "E1A"},  {4, "E1B"},  {5, "E1X"},  {6, "E1Z"},
                              {8, "E6C"},  {9, "E6A"},  {10, "E6B"}, {11, "E6X"}, {12, "E6Z"},
                              {14, "E7I"}, {15, "E7Q"}, {16, "E7X"}, {18, "E8I"}, {19, "E8Q"},
                              {20, "E8X"}, {22, "E5I"}, {23, "E5Q"}, {24, "E5X"}};
constexpr Label kQzss[] = {{2, "L1C"},  {9, "L6S"},  {10, "L6L"}, {11, "L6X"}, {15, "L2S"},
                           {16, "L2L"}, {17, "L2X"}, {22, "L5I"}, {23, "L5Q"}, {24, "L5X"},
                           {30, "L1S"}, {31, "L1L"}, {32, "L1X"}};
constexpr Label kBeidou[] = {{2, "B1I"},  {3, "B1Q"},  {4, "B1X"},  {8, "B6I"}, {9, "B6Q"},
                             {10, "B6X"}, {14, "B7I"}, {15, "B7Q"}, {16, "B7X"}};

// The full table: one row of 32 labels per constellation index.
struct LabelTable {
    char text[6][32][4];
};

template <std::size_t N>
constexpr void Fill(LabelTable& table, int row, const Label (&labels)[N]) {
    for (const Label& l : labels) {
        for (int i = 0; i < 3; ++i) table.text[row][l.id - 1][i] = l.text[i];
    }
}

constexpr LabelTable MakeLabels() {
    LabelTable table{};
    for (auto& row : table.text) {
        for (auto& entry : row) {
            entry[0] = entry[1] = entry[2] = ' ';
            entry[3] = '\0';
        }
    }
    Fill(table, 0, kGps);
    Fill(table, 1, kGlonass);
    Fill(table, 2, kGalileo);
    Fill(table, 4, kQzss);
    Fill(table, 5, kBeidou);
    return table;
}

constexpr LabelTable kLabels = MakeLabels();

}  // namespace

const char* MsmSignalLabel(int sysIndex, int signalId) {
    if (sysIndex < 0 || sysIndex >= 6 || signalId < 1 || signalId > 32) return "   ";
    return kLabels.text[sysIndex][signalId - 1];
}

}  // namespace corvane

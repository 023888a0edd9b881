#include "ui/table_columns.h"

#include "rtcm/message_codes.h"

namespace corvane {
namespace {

constexpr ColumnAlign L = ColumnAlign::Left;
constexpr ColumnAlign C = ColumnAlign::Center;
constexpr ColumnAlign R = ColumnAlign::Right;

constexpr TableColumn kCorrections[] = {{u"SV", L},      {u"Factor", C}, {u"UDRE[m]", C},
                                        {u"PRC[m]", C},  {u"RRC[m/s]", C}, {u"IOD", C},
                                        {u"Z-Count", C}};
constexpr TableColumn kPosition2[] = {{u"", L}, {u"X", C}, {u"Y", C}, {u"Z", C}};
constexpr TableColumn kPhases[] = {{u"SV", L},   {u"Ph.Err", C}, {u"Loss", C},
                                   {u"Code", C}, {u"Phase", C},  {u"Exp.Time", C}};
constexpr TableColumn kRanges[] = {
    {u"SV", L}, {u"PsRaErr", C}, {u"Code", C}, {u"PR[m]", C}, {u"Exp.Time", C}};
constexpr TableColumn kMultiSystem[] = {
    {u"SV", L}, {u"UDRE", C}, {u"IOD", C}, {u"PRC[m]", C}, {u"IONO DELAY", C}};
constexpr TableColumn kObservations[] = {{u"SV", L},       {u"L1 Code", C}, {u"L1 Phase", C},
                                         {u"L1 CNR", C},   {u"L2 Code", C}, {u"L2 Phase", C},
                                         {u"L2 CNR", C}};
constexpr TableColumn kNameValue[] = {{u"", L}, {u"", R}, {u"", L}};
constexpr TableColumn kGpsEphemeris[] = {{u"SV", L},   {u"Acc", C},       {u"Code", C},
                                         {u"IDOT", C}, {u"IODE", C},      {u"DELTA(Δn)", C},
                                         {u"OMEGA(Ω0)", C}};
constexpr TableColumn kGloEphemeris[] = {{u"SV", L}, {u"FCN", C}, {u"Day", C},
                                         {u"Tk", C}, {u"Tb", C},  {u"GAMMA(γn)", C},
                                         {u"TAU(τn)", C}};
constexpr TableColumn kMsm4[] = {{u"SV", L},         {u"SIG", C},      {u"PseudoRange", C},
                                 {u"PhaseRange", C}, {u"LockTime", C}, {u"CNR", C}};
constexpr TableColumn kMsm7[] = {{u"SV", L},          {u"SIG", C},      {u"PseudoRange", C},
                                 {u"PhaseRange", C},  {u"LockTime", C}, {u"CNR", C},
                                 {u"Rate", C}};

constexpr int kCorrectionWidths[] = {40, 70, 80, 70, 80, 80};
constexpr int kPosition2Widths[] = {0, 166, 164};
constexpr int kPhaseWidths[] = {40, 84, 76, 76, 120};
constexpr int kRangeWidths[] = {40, 108, 108, 120};
constexpr int kMultiSystemWidths[] = {40, 138, 82, 128};
constexpr int kObservationWidths[] = {40, 74, 80, 74, 74, 80};
constexpr int kNameValueWidths[] = {0, 214};
constexpr int kGpsEphemerisWidths[] = {40, 42, 48, 106, 48, 106};
constexpr int kGloEphemerisWidths[] = {40, 56, 56, 76, 56, 106};
constexpr int kMsm4Widths[] = {40, 56, 130, 130, 68};
constexpr int kMsm7Widths[] = {40, 56, 100, 100, 68, 60};

struct KindLayout {
    std::span<const TableColumn> columns;
    std::span<const int> widths;
};

KindLayout LayoutOf(std::uint32_t kind) {
    switch (kind) {
        case kKindRtcm2Type1:
        case kKindRtcm2Type9: return {kCorrections, kCorrectionWidths};
        case kKindRtcm2Type3: return {kPosition2, kPosition2Widths};
        case kKindRtcm2Type18: return {kPhases, kPhaseWidths};
        case kKindRtcm2Type19: return {kRanges, kRangeWidths};
        case kKindRtcm2Type41:
        case kKindRtcm2Type42: return {kMultiSystem, kMultiSystemWidths};
        case kKind1004:
        case kKind1012: return {kObservations, kObservationWidths};
        case kKind1006:
        case kKind1013:
        case kKind1033: return {kNameValue, kNameValueWidths};
        case kKind1019: return {kGpsEphemeris, kGpsEphemerisWidths};
        case kKind1020: return {kGloEphemeris, kGloEphemerisWidths};
        case kKindMsm4: return {kMsm4, kMsm4Widths};
        case kKindMsm7: return {kMsm7, kMsm7Widths};
        default: return {};
    }
}

}  // namespace

std::span<const TableColumn> TableColumnsOfKind(std::uint32_t kind) { return LayoutOf(kind).columns; }

bool TableHeaderShown(std::uint32_t kind) {
    return kind != kKind1006 && kind != kKind1013 && kind != kKind1033;
}

std::vector<int> TableColumnWidths(std::uint32_t kind, int tableWidth) {
    std::vector<int> widths;
    for (int p : LayoutOf(kind).widths) widths.push_back(tableWidth * p / 498);
    return widths;
}

}  // namespace corvane

#include "ui/table_columns.h"

#include "rtcm/message_codes.h"

namespace corvane {
namespace {

constexpr ColumnAlign L = ColumnAlign::Left;
constexpr ColumnAlign C = ColumnAlign::Center;
constexpr ColumnAlign R = ColumnAlign::Right;

constexpr TableColumn kCorrections[] = {{u"SV", L},     {u"Factor", C},   {u"UDRE[m]", C},
                                        {u"PRC[m]", C}, {u"RRC[m/s]", C}, {u"IOD", C},
                                        {u"Z-Count", C}};
constexpr TableColumn kPosition2[] = {{u"", L}, {u"X", C}, {u"Y", C}, {u"Z", C}};
constexpr TableColumn kPhases[] = {{u"SV", L},   {u"Ph.Err", C}, {u"Loss", C},
                                   {u"Code", C}, {u"Phase", C},  {u"Exp.Time", C}};
constexpr TableColumn kRanges[] = {
    {u"SV", L}, {u"PsRaErr", C}, {u"Code", C}, {u"PR[m]", C}, {u"Exp.Time", C}};
constexpr TableColumn kMultiSystem[] = {
    {u"SV", L}, {u"UDRE", C}, {u"IOD", C}, {u"PRC[m]", C}, {u"IONO DELAY", C}};
constexpr TableColumn kObservations[] = {{u"SV", L},     {u"L1 Code", C}, {u"L1 Phase", C},
                                         {u"L1 CNR", C}, {u"L2 Code", C}, {u"L2 Phase", C},
                                         {u"L2 CNR", C}};
constexpr TableColumn kNameValue[] = {{u"", L}, {u"", R}, {u"", L}};
constexpr TableColumn kGpsEphemeris[] = {{u"SV", L},       {u"Acc", C},  {u"Code", C},
                                         {u"IDOT", C},     {u"IODE", C}, {u"DELTA(Δn)", C},
                                         {u"OMEGA(Ω0)", C}};
constexpr TableColumn kGloEphemeris[] = {{u"SV", L}, {u"FCN", C},       {u"Day", C},    {u"Tk", C},
                                         {u"Tb", C}, {u"GAMMA(γn)", C}, {u"TAU(τn)", C}};
constexpr TableColumn kMsm4[] = {{u"SV", L},         {u"SIG", C},      {u"PseudoRange", C},
                                 {u"PhaseRange", C}, {u"LockTime", C}, {u"CNR", C}};
constexpr TableColumn kMsm7[] = {{u"SV", L},         {u"SIG", C},      {u"PseudoRange", C},
                                 {u"PhaseRange", C}, {u"LockTime", C}, {u"CNR", C},
                                 {u"Rate", C}};

}  // namespace

std::span<const TableColumn> TableColumnsOfKind(std::uint32_t kind) {
    switch (kind) {
        case kKindRtcm2Type1:
        case kKindRtcm2Type9:
            return kCorrections;
        case kKindRtcm2Type3:
            return kPosition2;
        case kKindRtcm2Type18:
            return kPhases;
        case kKindRtcm2Type19:
            return kRanges;
        case kKindRtcm2Type41:
        case kKindRtcm2Type42:
            return kMultiSystem;
        case kKind1004:
        case kKind1012:
            return kObservations;
        case kKind1006:
        case kKind1013:
        case kKind1033:
            return kNameValue;
        case kKind1019:
            return kGpsEphemeris;
        case kKind1020:
            return kGloEphemeris;
        case kKindMsm4:
            return kMsm4;
        case kKindMsm7:
            return kMsm7;
        default:
            return {};
    }
}

bool TableHeaderShown(std::uint32_t kind) {
    return kind != kKind1006 && kind != kKind1013 && kind != kKind1033;
}

}  // namespace corvane

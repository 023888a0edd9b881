#include "ui/decoder_table_rows.h"

#include <array>
#include <optional>
#include <tuple>

#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"
#include "ui/rtcm2_table_rows.h"
#include "ui/rtcm3_table_rows.h"

namespace corvane {

TableRows Rtcm2TableRows(const RTCM2Dec& decoder, std::uint32_t code) {
    const std::uint32_t index = IndexOf(code);
    switch (KindOf(code)) {
        case kKindRtcm2Type1:
            return CorrectionRows(decoder.Copy(&Rtcm2Records::rec01));
        case kKindRtcm2Type9:
            return CorrectionRows(decoder.Copy(&Rtcm2Records::rec09));
        case kKindRtcm2Type3:
            return StationPositionRows(decoder.Copy(&Rtcm2Records::rec03));
        case kKindRtcm2Type18:
            if (index < 1 || index > 2) return {};
            return CarrierPhaseRows(
                decoder.Read([&](const Rtcm2Records& r) { return r.rec18[index - 1]; }));
        case kKindRtcm2Type19:
            if (index < 1 || index > 2) return {};
            return PseudorangeRows(
                decoder.Read([&](const Rtcm2Records& r) { return r.rec19[index - 1]; }));
        case kKindRtcm2Type41:
        case kKindRtcm2Type42: {
            if (index < 1 || index > 5) return {};
            const bool is41 = KindOf(code) == kKindRtcm2Type41;
            return MultiSystemRows(decoder.Read(
                [&](const Rtcm2Records& r) { return (is41 ? r.rec41 : r.rec42)[index - 1]; }));
        }
        default:
            return {};
    }
}

TableRows Rtcm3TableRows(const RTCM3Dec& decoder, std::uint32_t code) {
    const int sysIndex = static_cast<int>(IndexOf(code)) - 1;
    switch (KindOf(code)) {
        case kKind1004:
            return GpsObservationRows(decoder.Copy(&Rtcm3Records::rec1004));
        case kKind1006:
            return AntennaPositionRows(decoder.Copy(&Rtcm3Records::rec1006));
        case kKind1012:
            return GloObservationRows(decoder.Copy(&Rtcm3Records::rec1012));
        case kKind1013: {
            const auto [rec, week, second] = decoder.Read([](const Rtcm3Records& r) {
                return std::tuple(r.rec1013, r.gpsWeek, r.gpsSecond);
            });
            return SystemParameterRows(rec, week, second);
        }
        case kKind1019: {
            const auto all =
                decoder.Read([](const Rtcm3Records& r) { return std::to_array(r.rec1019); });
            return GpsEphemerisRows(all);
        }
        case kKind1020: {
            const auto all =
                decoder.Read([](const Rtcm3Records& r) { return std::to_array(r.rec1020); });
            return GloEphemerisRows(all);
        }
        case kKind1033:
            return DescriptorRows(decoder.Copy(&Rtcm3Records::rec1033));
        case kKindMsm4: {
            const auto rec = decoder.Read([&](const Rtcm3Records& r) -> std::optional<RecMsm4> {
                const RecMsm4* m = r.Msm4(sysIndex);
                return m ? std::optional<RecMsm4>(*m) : std::nullopt;
            });
            return rec ? Msm4Rows(*rec) : TableRows{};
        }
        case kKindMsm7: {
            const auto rec = decoder.Read([&](const Rtcm3Records& r) -> std::optional<RecMsm7> {
                const RecMsm7* m = r.Msm7(sysIndex);
                return m ? std::optional<RecMsm7>(*m) : std::nullopt;
            });
            return rec ? Msm7Rows(*rec) : TableRows{};
        }
        default:
            return {};
    }
}

}  // namespace corvane

#include "rinex/legacy_signals.h"

#include "rinex/msm_frame.h"

namespace corvane {
namespace {

// MSM signal IDs of the legacy code choices: L1 C/A "1C", L1 P "1P"; GPS L2
// by code indicator "2X", "2P", "2D", "2W"; GLONASS L2 C/A "2C", P "2P".
constexpr int kL1CA = 2, kL1P = 3;
constexpr int kGpsL2[4] = {17, 9, 11, 10};
constexpr int kGlonassL2CA = 8, kGlonassL2P = 9;

void Add(SignalSatellite& s, int signal, const EpochRecord& e, int i, int code, int phase,
         int strength, bool lost) {
    const std::uint64_t mask = e.signalMask[i];
    if (!(mask & (SlotBit(code) | SlotBit(phase) | SlotBit(strength)))) return;
    SignalCell* c = s.Cell(signal);
    if (!c) return;
    c->present = 0;
    c->lli = lost ? 1 : 0;
    const int slots[3] = {code, phase, strength};
    const SignalObservable observables[3] = {kObsCode, kObsPhase, kObsStrength};
    for (int k = 0; k < 3; ++k) {
        if (!(mask & SlotBit(slots[k]))) continue;
        c->present |= static_cast<std::uint8_t>(1u << observables[k]);
        c->value[observables[k]] = e.values[i][slots[k]];
    }
    c->offered = static_cast<std::uint8_t>(c->present | (1u << kObsCode) | (1u << kObsPhase));
}

}  // namespace

void AddLegacySignals(const EpochRecord& e, SignalEpoch& out) {
    for (int i = 0; i < e.satelliteCount; ++i) {
        if (e.values[i][kSlotSource] != kFromLegacy) continue;
        const int number = e.satellites[i];
        const bool gps = number >= 1 && number <= 32;
        const bool glonass = number >= 38 && number <= 61;
        const bool sbas = number >= 120 && number <= 158;  // GPS-message IDs 40 and up
        if (!gps && !glonass && !sbas) continue;
        SignalSatellite* s = gps       ? out.Satellite(kMsmGps, number)
                             : glonass ? out.Satellite(kMsmGlonass, number - 37)
                                       : out.Satellite(kMsmSbas, number - 119);
        if (!s) return;
        s->cellCount = 0;  // legacy values win over MSM ones
        const std::int32_t flags = e.lockFlags[i];
        Add(*s, kL1CA, e, i, kSlotC1, kSlotL1CA, kSlotS1CA, flags & kLossOfLockL1);
        if (sbas) continue;  // SBAS signals have L1 C/A only
        Add(*s, kL1P, e, i, kSlotP1, kSlotL1P, kSlotS1P, flags & kLossOfLockL1);
        const int indicator = static_cast<int>(e.values[i][kSlotL2Indicator]) & 3;
        Add(*s, gps ? kGpsL2[0] : kGlonassL2CA, e, i, kSlotC2, kSlotL2CA, kSlotS2CA,
            flags & kLossOfLockL2);
        Add(*s, gps ? kGpsL2[indicator == 0 ? 1 : indicator] : kGlonassL2P, e, i, kSlotP2,
            kSlotL2P, kSlotS2P, flags & kLossOfLockL2);
    }
}

}  // namespace corvane

#include "rinex/observation_assembly.h"

#include <algorithm>
#include <iterator>

#include "rinex/glonass_day.h"

namespace corvane {
namespace {

constexpr double kLightMs = 299792.458;     // GPS ambiguity unit, metres
constexpr double kTwoLightMs = 599584.916;  // GLONASS ambiguity unit, metres
constexpr double kSpeedOfLight = 299792458.0;
constexpr double kGpsL1Wavelength = 0.19029367279836487;
constexpr double kGpsL2Wavelength = 0.24421021342456825;
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::int64_t kSecondsPerDay = 86400;

constexpr std::int64_t kInvalidPhase = -524288;  // 20-bit field 0x80000
constexpr std::int64_t kInvalidCode = -8192;     // 14-bit field 0x2000

// The legacy lock-time indicator tells lock times up to 937 s (127: 937 s or
// more); an older one says nothing about the carrier now.
constexpr std::int64_t kLockSpanMs = 937000;

int StrengthDigit(int cnr) { return std::clamp(cnr / 16, 1, 9); }

}  // namespace

// The fields of one band of one satellite as read from a message.
struct ObservationAssembly::Band {
    bool present = false;
    int codeIndicator = 0;
    std::int64_t codeDifference = 0;  // L2 only: L2 minus L1 pseudorange
    std::int64_t phaseDifference = 0;
    int lockTime = 0;
    int cnr = 0;  // 0: not carried or not tracked
};

struct ObservationAssembly::Satellite {
    int id = 0;
    std::int32_t number = 0;
    std::int64_t pseudorange = 0;  // 0.02 m
    int ambiguity = 0;
    double ambiguityUnit = kLightMs;
    double wavelength1 = kGpsL1Wavelength;
    double wavelength2 = kGpsL2Wavelength;
    Band l1;
    Band l2;
};

bool ObservationAssembly::BeginMessage(int station, std::int32_t week,
                                       std::int32_t millisecondOfWeek) {
    // Another station's carriers are not the ones whose lock was counted.
    if (station_ >= 0 && station != station_) locks.RestartAll();
    station_ = station;
    bool handedOver = false;
    if (pending.week != 0 && (pending.week != week || pending.milliseconds != millisecondOfWeek ||
                              pending.station != station)) {
        ready.CopyFrom(pending);
        pending.Clear();
        signals->HandOver();
        handedOver = true;
    }
    pending.week = week;
    pending.milliseconds = millisecondOfWeek;
    pending.station = station;
    return handedOver;
}

bool ObservationAssembly::HandOverPending() {
    // An epoch of MSM may hold only constellations the 2.11 slots leave out.
    if (pending.week == 0 || (pending.satelliteCount == 0 && signals->Pending().satelliteCount == 0))
        return false;
    ready.CopyFrom(pending);
    pending.Clear();
    signals->HandOver();
    return true;
}

bool ObservationAssembly::Complete(bool synchronous, bool handedOver) {
    if (handedOver) return true;
    if (synchronous) return false;
    ready.CopyFrom(pending);
    pending.Clear();
    signals->HandOver();
    return true;
}

ObservationAssembly::ObservationAssembly() {
    std::fill(std::begin(glonassChannelFromEphemeris), std::end(glonassChannelFromEphemeris),
              kUnknownChannel);
    std::fill(std::begin(glonassChannelFromMsm), std::end(glonassChannelFromMsm), kUnknownChannel);
}

void ObservationAssembly::Store(int i, const Satellite& s, bool gps) {
    std::uint64_t& mask = pending.signalMask[i];
    double* v = pending.values[i];
    const double pr = static_cast<double>(s.pseudorange) * 0.02;
    const double ambiguity = s.ambiguity * s.ambiguityUnit;

    const int code1 = s.l1.codeIndicator ? kSlotP1 : kSlotC1;
    const int phase1 = s.l1.codeIndicator ? kSlotL1P : kSlotL1CA;
    const int strength1 = s.l1.codeIndicator ? kSlotS1P : kSlotS1CA;
    // The code stands without the phase: an invalid phase leaves only the
    // phase empty. The ambiguity and the change to cycles apply to the
    // values this message brings, never again to those of an earlier one.
    mask |= SlotBit(code1);
    v[code1] = pr + ambiguity;
    if (s.l1.phaseDifference != kInvalidPhase) {
        mask |= SlotBit(phase1);
        v[phase1] =
            (pr + static_cast<double>(s.l1.phaseDifference) * 0.0005 + ambiguity) / s.wavelength1;
    }
    if (s.l1.cnr != 0) {
        mask |= SlotBit(strength1);
        v[strength1] = s.l1.cnr * 0.25;
        pending.strength1[i] = StrengthDigit(s.l1.cnr);
    }
    if (!s.l2.present) return;

    v[kSlotL2Indicator] = s.l2.codeIndicator;
    const bool pCode = s.l2.codeIndicator != 0;
    const int code2 = pCode ? kSlotP2 : kSlotC2;
    const int phase2 = pCode ? kSlotL2P : kSlotL2CA;
    const int strength2 = pCode ? kSlotS2P : kSlotS2CA;
    if (gps && s.l2.codeIndicator >= 2) pending.lockFlags[i] |= kCrossCorrelatedL2;
    if (s.l2.codeDifference != kInvalidCode) {
        mask |= SlotBit(code2);
        v[code2] = pr + static_cast<double>(s.l2.codeDifference) * 0.02 + ambiguity;
    }
    if (s.l2.phaseDifference != kInvalidPhase) {
        mask |= SlotBit(phase2);
        v[phase2] =
            (pr + static_cast<double>(s.l2.phaseDifference) * 0.0005 + ambiguity) / s.wavelength2;
    }
    if (s.l2.cnr != 0) {
        mask |= SlotBit(strength2);
        v[strength2] = s.l2.cnr * 0.25;
        pending.strength2[i] = StrengthDigit(s.l2.cnr);
    }
}

void ObservationAssembly::DecodeSatellites(BitCursor& in, int messageNumber, int count) {
    const bool glonass = messageNumber >= 1009;
    const int system = glonass ? kGlonass : kGps;
    const std::int64_t timeMs =
        std::int64_t{pending.week} * kSecondsPerWeek * 1000 + pending.milliseconds;
    // 1001/1009: L1; 1002/1010: L1 with ambiguity and CNR; 1003/1011: L1 and
    // L2; 1004/1012: L1 and L2 with ambiguity and CNR.
    const int kind = messageNumber % 4;
    const bool extended = kind == 2 || kind == 0;
    const bool withL2 = kind == 3 || kind == 0;
    for (int n = 0; n < count && pending.satelliteCount < kEpochSatellites; ++n) {
        Satellite s;
        s.id = static_cast<int>(in.U(6));
        s.l1.codeIndicator = static_cast<int>(in.U(1));
        const int k = glonass ? static_cast<int>(in.U(5)) - 7 : 0;
        s.pseudorange = static_cast<std::int64_t>(in.U(glonass ? 25 : 24));
        s.l1.phaseDifference = in.S(20);
        s.l1.lockTime = static_cast<int>(in.U(7));
        if (extended) {
            s.ambiguity = static_cast<int>(in.U(glonass ? 7 : 8));
            s.l1.cnr = static_cast<int>(in.U(8));
        }
        if (withL2) {
            s.l2.present = true;
            s.l2.codeIndicator = static_cast<int>(in.U(2));
            s.l2.codeDifference = in.S(14);
            s.l2.phaseDifference = in.S(20);
            s.l2.lockTime = static_cast<int>(in.U(7));
            if (kind == 0) s.l2.cnr = static_cast<int>(in.U(8));
        }
        if (glonass) {
            if (s.id < 1 || s.id > 24) continue;  // not a GLONASS slot: nothing kept
            s.number = s.id + 37;
            s.ambiguityUnit = kTwoLightMs;
            s.wavelength1 = kSpeedOfLight / (1602000000.0 + 562500.0 * k);
            s.wavelength2 = kSpeedOfLight / (1246000000.0 + 437500.0 * k);
        } else if (s.id == 38 || s.id == 39) {
            continue;  // no satellite; their numbers are GLONASS slots 1 and 2
        } else {
            s.number = s.id >= 40 ? s.id + 80 : s.id;
        }
        const int i = pending.IndexOf(s.number);
        if (i < 0) continue;
        // Legacy values win over those MSM brought for the same satellite.
        if (pending.values[i][kSlotSource] == kFromMsm) pending.ClearRow(i);
        pending.values[i][kSlotSource] = kFromLegacy;
        if (locks.Slipped(system, s.id, 0, s.l1.lockTime, timeMs, kLockSpanMs))
            pending.lockFlags[i] |= kLossOfLockL1;
        if (withL2 && locks.Slipped(system, s.id, 1, s.l2.lockTime, timeMs, kLockSpanMs))
            pending.lockFlags[i] |= kLossOfLockL2;
        Store(i, s, !glonass);
    }
}

bool ObservationAssembly::DecodeGps(BitCursor& in, int messageNumber, ConverterClock& clock) {
    const int station = static_cast<int>(in.U(12));
    const auto epochMs = static_cast<std::int32_t>(in.U(30));
    const bool synchronous = in.U(1) != 0;
    const int count = static_cast<int>(in.U(5));
    in.Skip(4);  // smoothing

    const std::int32_t tow = epochMs / 1000;
    clock.Set(tow < static_cast<std::int64_t>(clock.gpsSecond) - kSecondsPerDay ? clock.gpsWeek + 1
                                                                                : clock.gpsWeek,
              tow);
    const bool handedOver = BeginMessage(station, clock.gpsWeek, epochMs);

    DecodeSatellites(in, messageNumber, count);
    return Complete(synchronous, handedOver);
}

bool ObservationAssembly::DecodeGlonass(BitCursor& in, int messageNumber, ConverterClock& clock) {
    const int station = static_cast<int>(in.U(12));
    const auto epochMs = static_cast<std::int64_t>(in.U(27));
    const bool synchronous = in.U(1) != 0;
    const int count = static_cast<int>(in.U(5));
    in.Skip(4);  // smoothing

    const std::int64_t t =
        GlonassDayTime(clock.gpsWeek, clock.gpsSecond, clock.leapSeconds, epochMs / 1000);
    const auto week = static_cast<std::int32_t>(t / kSecondsPerWeek);
    const auto second = static_cast<std::int32_t>(t - kSecondsPerWeek * week);
    clock.Set(week, second);
    const bool handedOver =
        BeginMessage(station, week, second * 1000 + static_cast<std::int32_t>(epochMs % 1000));

    DecodeSatellites(in, messageNumber, count);
    return Complete(synchronous, handedOver);
}

}  // namespace corvane

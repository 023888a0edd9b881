// MSM observations in the epoch being assembled: the epoch time by
// constellation, completion by the multiple-message bit, and the values of
// GPS, GLONASS and SBAS cells in the slots of the observation records.
#include <algorithm>
#include <cmath>

#include "rinex/glonass_day.h"
#include "rinex/msm_frame.h"
#include "rinex/observation_assembly.h"

namespace corvane {
namespace {

constexpr double kSpeedOfLight = 299792458.0;
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::int64_t kBeidouOffset = 14;  // BeiDou time is GPS time - 14 s

// Moves the clock to `secondOfWeek` in the week nearest to it, so that a
// time of week just past the week's end (BeiDou + 14 s) or one a little
// before the clock both land right.
void SetTimeOfWeek(ConverterClock& clock, std::int64_t secondOfWeek) {
    const std::int64_t now = std::int64_t{clock.gpsWeek} * kSecondsPerWeek + clock.gpsSecond;
    std::int64_t t = std::int64_t{clock.gpsWeek} * kSecondsPerWeek + secondOfWeek;
    if (t < now - kSecondsPerWeek / 2) {
        t += kSecondsPerWeek;
    } else if (t > now + kSecondsPerWeek / 2) {
        t -= kSecondsPerWeek;
    }
    if (t < 0) t = secondOfWeek;
    clock.Set(static_cast<std::int32_t>(t / kSecondsPerWeek),
              static_cast<std::int32_t>(t % kSecondsPerWeek));
}

// Where a signal goes in the 2.11 slots: its set of code, phase, Doppler and
// strength slots, and its rank among the signals of the set (0 best).
struct SlotSet {
    int code = -1, phase = -1, doppler = -1, strength = -1;
    int rank = 0;
    int band = 0;  // 1, 2 or 5
};

constexpr SlotSet kL1CA{kSlotC1, kSlotL1CA, kSlotD1CA, kSlotS1CA, 0, 1};
constexpr SlotSet kL2CA{kSlotC2, kSlotL2CA, kSlotD2CA, kSlotS2CA, 0, 2};
constexpr SlotSet kL1P{kSlotP1, kSlotL1P, kSlotD1P, kSlotS1P, 0, 1};
constexpr SlotSet kL2P{kSlotP2, kSlotL2P, kSlotD2P, kSlotS2P, 0, 2};
constexpr SlotSet kL5{kSlotC5, kSlotL5, kSlotD5, kSlotS5, 0, 5};

SlotSet Ranked(SlotSet s, int rank) {
    s.rank = rank;
    return s;
}

// GPS: L1 C/A; L1 P and W as P1; L2 C/A and L2C (S, L, X) as C2; L2 P and W
// as P2; L5 I, Q, X. GLONASS: L1 and L2, C/A and P. SBAS: L1 C/A and L5.
SlotSet SlotsOf(int system, int signal) {
    if (system == kMsmGps) {
        switch (signal) {
            case 2: return kL1CA;
            case 3: return Ranked(kL1P, 0);
            case 4: return Ranked(kL1P, 1);
            case 8: return Ranked(kL2CA, 0);
            case 16: return Ranked(kL2CA, 1);
            case 15: return Ranked(kL2CA, 2);
            case 17: return Ranked(kL2CA, 3);
            case 9: return Ranked(kL2P, 0);
            case 10: return Ranked(kL2P, 1);
            case 22: return Ranked(kL5, 0);
            case 23: return Ranked(kL5, 1);
            case 24: return Ranked(kL5, 2);
            default: return {};
        }
    }
    if (system == kMsmGlonass) {
        switch (signal) {
            case 2: return kL1CA;
            case 3: return kL1P;
            case 8: return kL2CA;
            case 9: return kL2P;
            default: return {};
        }
    }
    if (system == kMsmSbas) {
        switch (signal) {
            case 2: return kL1CA;
            case 22: return Ranked(kL5, 0);
            case 23: return Ranked(kL5, 1);
            case 24: return Ranked(kL5, 2);
            default: return {};
        }
    }
    return {};
}

// The signal that filled a slot set in this epoch is kept (as rank + 1) in
// an unused value slot of the satellite, so it is cleared and copied with
// the record.
constexpr int kRankSlotBase = 24;
int RankSlot(const SlotSet& s) { return kRankSlotBase + s.code / 4; }

int StrengthDigit(double cnr) { return std::clamp(static_cast<int>(cnr / 6), 1, 9); }

// The cell's values into the 2.11 slots of row `i` of `pending`.
void StoreInSlots(EpochRecord& pending, const MsmFrame& f, const MsmCell& cell,
                  const SlotSet& slots, int i, int k, bool lost) {
    double* v = pending.values[i];
    std::uint64_t& mask = pending.signalMask[i];
    const double held = v[RankSlot(slots)];
    if (held != 0 && held <= slots.rank) return;  // a better signal of the set is in
    v[kSlotSource] = kFromMsm;
    mask &= ~(SlotBit(slots.code) | SlotBit(slots.phase) | SlotBit(slots.doppler) |
              SlotBit(slots.strength));
    v[RankSlot(slots)] = slots.rank + 1;

    const double frequency = MsmSignalFrequency(f.system, cell.signal, k);
    const double wavelength = frequency > 0 ? kSpeedOfLight / frequency : 0;
    // A P(Y) phase takes the L2 phase from the C/A and L2C signals, as a
    // legacy message's code indicator would.
    const bool phaseTaken = slots.phase == kSlotL2CA && (mask & SlotBit(kSlotL2P));
    if (std::isfinite(cell.pseudorange)) {
        mask |= SlotBit(slots.code);
        v[slots.code] = cell.pseudorange;
    }
    if (phaseTaken) return;
    if (slots.phase == kSlotL2P)
        mask &= ~(SlotBit(kSlotL2CA) | SlotBit(kSlotD2CA) | SlotBit(kSlotS2CA));
    if (std::isfinite(cell.phaseRange) && wavelength > 0) {
        mask |= SlotBit(slots.phase);
        v[slots.phase] = cell.phaseRange / wavelength;
    }
    if (std::isfinite(cell.rangeRate) && wavelength > 0) {
        mask |= SlotBit(slots.doppler);
        v[slots.doppler] = -cell.rangeRate / wavelength;
    }
    if (cell.cnr > 0) {
        mask |= SlotBit(slots.strength);
        v[slots.strength] = cell.cnr;
        if (slots.band == 1) pending.strength1[i] = StrengthDigit(cell.cnr);
        if (slots.band == 2) pending.strength2[i] = StrengthDigit(cell.cnr);
    }
    const std::int32_t lossBit =
        slots.band == 1 ? kLossOfLockL1 : slots.band == 2 ? kLossOfLockL2 : kLossOfLockL5;
    const std::int32_t halfBit =
        slots.band == 1 ? kHalfCycleL1 : slots.band == 2 ? kHalfCycleL2 : kHalfCycleL5;
    std::int32_t& flags = pending.lockFlags[i];
    flags &= ~(lossBit | halfBit);
    if (lost) flags |= lossBit;
    if (cell.halfCycle) flags |= halfBit;
}

}  // namespace

void ObservationAssembly::StoreSignalCell(const MsmFrame& f, const MsmCell& cell,
                                          SignalSatellite* s, int k, bool lost) {
    SignalCell* c = s ? s->Cell(cell.signal) : nullptr;
    if (!c) return;
    const double frequency = MsmSignalFrequency(f.system, cell.signal, k);
    const double wavelength = frequency > 0 ? kSpeedOfLight / frequency : 0;
    // A later message of the same epoch and signal replaces the values.
    c->present = 0;
    // MSM1 code; MSM2 phase; MSM3 both; MSM4 and MSM6 with strength; MSM5
    // and MSM7 with Doppler too.
    static constexpr std::uint8_t kOffered[8] = {0, 0x1, 0x2, 0x3, 0xB, 0xF, 0xB, 0xF};
    c->offered = kOffered[f.kind & 7];
    c->lli = static_cast<std::uint8_t>((lost ? 1 : 0) | (cell.halfCycle ? 2 : 0));
    const auto put = [c](int observable, double value) {
        c->present |= static_cast<std::uint8_t>(1u << observable);
        c->value[observable] = value;
    };
    if (std::isfinite(cell.pseudorange)) put(kObsCode, cell.pseudorange);
    if (std::isfinite(cell.phaseRange) && wavelength > 0)
        put(kObsPhase, cell.phaseRange / wavelength);
    if (std::isfinite(cell.rangeRate) && wavelength > 0)
        put(kObsDoppler, -cell.rangeRate / wavelength);
    if (cell.cnr > 0) put(kObsStrength, cell.cnr);
}

int ObservationAssembly::SlotRow(const MsmFrame& f, const MsmSatellite& satellite) {
    const int id = satellite.id;
    int number = 0;
    if (f.system == kMsmGps && id <= 32) number = id;
    if (f.system == kMsmGlonass && id <= 24) number = id + 37;
    if (f.system == kMsmSbas && id <= 39) number = id + 119;
    if (number == 0) return -1;
    const int i = pending.IndexOf(number);
    if (i < 0 || pending.values[i][kSlotSource] == kFromLegacy) return -1;
    return i;
}

bool ObservationAssembly::DecodeMsm(const std::uint8_t* payload, std::size_t length,
                                    ConverterClock& clock) {
    MsmFrame& f = msm_;
    if (!DecodeMsmFrame(payload, length, &f)) return false;
    // Whole seconds move the clock; the epoch keeps the milliseconds.
    std::int32_t milliseconds;
    if (f.system == kMsmGlonass) {
        const std::int64_t tod = f.epochTime & 0x7FFFFFF;  // below: the day of week (3 bits)
        const std::int64_t t =
            GlonassDayTime(clock.gpsWeek, clock.gpsSecond, clock.leapSeconds, tod / 1000);
        const auto week = static_cast<std::int32_t>(t / kSecondsPerWeek);
        clock.Set(week, static_cast<std::int32_t>(t - kSecondsPerWeek * week));
        milliseconds = static_cast<std::int32_t>(tod % 1000);
    } else {
        std::int64_t tow = f.epochTime / 1000;
        if (f.system == kMsmBeidou) tow += kBeidouOffset;
        SetTimeOfWeek(clock, tow);
        milliseconds = static_cast<std::int32_t>(f.epochTime % 1000);
    }
    const bool handedOver =
        BeginMessage(f.station, clock.gpsWeek, clock.gpsSecond * 1000 + milliseconds);

    if (f.system == kMsmGlonass) {
        for (int j = 0; j < f.satelliteCount; ++j) {
            const MsmSatellite& s = f.satellites[j];
            if (s.id <= 24 && s.extended >= 0 && s.extended <= 13)
                glonassChannelFromMsm[s.id - 1] = s.extended - 7;
        }
    }
    const bool withSlots = fillSlots && (f.system == kMsmGps || f.system == kMsmGlonass ||
                                         f.system == kMsmSbas);
    // Cells come satellite by satellite: each satellite is looked up once.
    constexpr int kRowUnknown = -2;
    int current = -1;
    int row = kRowUnknown;
    SignalSatellite* satellite = nullptr;
    for (int n = 0; n < f.cellCount; ++n) {
        const MsmCell& cell = f.cells[n];
        const MsmSatellite& s = f.satellites[cell.satellite];
        if (cell.satellite != current) {
            current = cell.satellite;
            row = kRowUnknown;
            satellite = fillSignals ? signals->Pending().Satellite(f.system, s.id) : nullptr;
        }
        // The lock table follows every cell.
        bool lost = false;
        if (cell.hasLock) {
            std::int16_t& saved = savedMsmLock[f.system][s.id - 1][cell.signal - 1];
            lost = cell.lockTime == 0 || cell.lockTime < saved;
            saved = static_cast<std::int16_t>(cell.lockTime);
        }
        int k = kUnknownChannel;
        if (f.system == kMsmGlonass) {
            if (s.extended >= 0 && s.extended <= 13) {
                k = s.extended - 7;
            } else if (s.id <= 24) {
                k = glonassChannelFromEphemeris[s.id - 1] != kUnknownChannel
                        ? glonassChannelFromEphemeris[s.id - 1]
                        : glonassChannelFromMsm[s.id - 1];
            }
        }
        if (satellite) StoreSignalCell(f, cell, satellite, k, lost);
        if (!withSlots) continue;
        const SlotSet slots = SlotsOf(f.system, cell.signal);
        if (slots.code < 0) continue;
        // Only a signal the slots take gives the satellite its row.
        if (row == kRowUnknown) row = SlotRow(f, s);
        if (row >= 0) StoreInSlots(pending, f, cell, slots, row, k, lost);
    }
    return Complete(f.multipleMessage, handedOver);
}

}  // namespace corvane

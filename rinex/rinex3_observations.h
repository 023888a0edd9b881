// RINEX 3.04 observation files: the observation types of every
// constellation (fixed once from the signals of the first epochs), the
// header and the epoch records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "rinex/msm_frame.h"
#include "rinex/rinex_headers.h"
#include "rinex/signal_epoch.h"

namespace corvane {

constexpr int kMsmSystemCount = 6;
constexpr int kMaxTypesPerSystem = 48;  // 12 signals of 4 observables

class Rinex3Observations {
public:
    Rinex3Observations();

    // Counts the signals of an epoch passed over, for the choice of types.
    void Count(const SignalEpoch& epoch);
    // Fixes the types of every constellation from the signals counted and
    // those of `epoch`; call it while Fixed() is false.
    void Fix(const SignalEpoch& epoch);
    bool Fixed() const { return fixed_; }
    int TypeCount(int system) const { return typeCount_[system]; }
    // The 3-character type of column `c` of `system`, e.g. "L1C".
    const char* Type(int system, int c) const { return types_[system][c]; }

    // The header of a file whose first epoch is at `epochTime`; GLONASS
    // channels by slot - 1 (kUnknown for slots not known). Returns the
    // length written into `out` (kRinexHeaderBufferSize bytes).
    static constexpr int kUnknown = 99;
    int ComposeHeader(const char* markerName, const StationInfo& station, std::int32_t leapSeconds,
                      std::int64_t epochTime, const int (&glonassChannels)[24], char* out) const;

    // Writes the record of `epoch` dated `time` and `millisecond` into
    // Text(); returns its length, 0 when no satellite has a type of the file.
    int ComposeEpoch(const SignalEpoch& epoch, const platform::CalendarTime& time, int millisecond);
    const char* Text() const { return text_.get(); }

private:
    bool fixed_ = false;
    std::uint32_t seen_[kMsmSystemCount][kObservables] = {};
    int typeCount_[kMsmSystemCount] = {};
    char types_[kMsmSystemCount][kMaxTypesPerSystem][4] = {};
    // Column + 1 of (signal ID - 1, observable), 0 for none.
    std::uint8_t column_[kMsmSystemCount][32][kObservables] = {};
    std::unique_ptr<char[]> text_;  // one epoch record, allocated once
};

// "G05", "R07", "E11", "S20", "J01", "C14"; false for a satellite RINEX 3
// has no number for.
bool Rinex3Satellite(int system, int id, char out[4]);

// The 2-character signal code of an MSM signal ID ("1C", "2W" ...), or
// null for a signal without one.
const char* Rinex3SignalCode(int system, int signal);

}  // namespace corvane

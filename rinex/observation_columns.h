// The observation types (columns) of the converter's observation files and
// the text of one observation record: epoch line, satellite list and
// observation lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/clock.h"
#include "rinex/epoch_record.h"

namespace corvane {

constexpr int kMaxObsColumns = 26;

struct ObsColumn {
    std::uint64_t primaryMask = 0;
    int primarySlot = 0;
    std::uint64_t alternateMask = 0;  // 0: no alternate
    int alternateSlot = 0;
};

// Largest record ComposeEpoch writes: every satellite of an epoch with 26
// columns of 16 characters and their line ends, and the epoch lines of 12
// satellites each.
constexpr std::size_t kEpochRecordTextSize =
    kEpochSatellites * (kMaxObsColumns * 16 + kMaxObsColumns / 5 + 1) +
    (kEpochSatellites + 11) / 12 * 81 + 1;

// The epoch line of an event record with `flag` (2 to 5) and `records`
// header lines to follow, into `out` (at least 40 bytes); returns its length.
int ComposeEventLine(const platform::CalendarTime& time, int millisecond, int flag, int records,
                     char* out);

class ObservationColumns {
public:
    // Fixes the columns from the signal slots in `mask`, in the order C1,
    // P1, L1, D1, S1, C2, P2, L2, D2, S2, C5, L5, D5, S5; a type seen in both
    // codes takes the C/A slot first and the P slot as its alternate. Rebuilds from scratch, so
    // call it only while Count() is 0.
    void Build(std::uint64_t mask);

    int Count() const { return count_; }
    const ObsColumn& Column(int c) const { return columns_[c]; }
    // Six characters per type ("    C1" ...), in column order, NUL-terminated.
    const char* TypeText() const { return typeText_; }

    // Writes the record of `epoch`, dated `time` (its calendar fields), into
    // `out` of at least kEpochRecordTextSize bytes; returns its length, 0
    // for an epoch without satellites.
    int ComposeEpoch(const EpochRecord& epoch, const platform::CalendarTime& time, char* out) const;

private:
    ObsColumn columns_[kMaxObsColumns];
    int count_ = 0;
    char typeText_[kMaxObsColumns * 6 + 1] = {};
};

}  // namespace corvane

#include "rinex/observation_columns.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "rinex/observation_value_format.h"

namespace corvane {
namespace {

enum ObsType { kC1, kP1, kL1, kD1, kS1, kC2, kP2, kL2, kD2, kS2, kC5, kL5, kD5, kS5, kObsTypes };

struct TypeRow {
    int slot;
    ObsType type;
    const char* text;
};

constexpr TypeRow kTypeTable[] = {
    {kSlotC1, kC1, "    C1"},  {kSlotP1, kP1, "    P1"},   {kSlotL1CA, kL1, "    L1"},
    {kSlotL1P, kL1, "    L1"}, {kSlotD1CA, kD1, "    D1"}, {kSlotD1P, kD1, "    D1"},
    {kSlotS1CA, kS1, "    S1"}, {kSlotS1P, kS1, "    S1"},  {kSlotC2, kC2, "    C2"},
    {kSlotP2, kP2, "    P2"},   {kSlotL2CA, kL2, "    L2"}, {kSlotL2P, kL2, "    L2"},
    {kSlotD2CA, kD2, "    D2"}, {kSlotD2P, kD2, "    D2"}, {kSlotS2CA, kS2, "    S2"},
    {kSlotS2P, kS2, "    S2"},  {kSlotC5, kC5, "    C5"},  {kSlotL5, kL5, "    L5"},
    {kSlotD5, kD5, "    D5"},   {kSlotS5, kS5, "    S5"},
};

char Digit(int d) { return static_cast<char>('0' + (d >= 0 && d <= 9 ? d : 0)); }

// Loss-of-lock and strength characters of a value taken from `slot`.
void Indicators(int slot, std::int32_t flags, int strength1, int strength2, int strength5,
                char* lli, char* ss) {
    *lli = ' ';
    *ss = ' ';
    switch (slot) {
        case kSlotL1CA:
        case kSlotL1P:
            if (flags & (kLossOfLockL1 | kHalfCycleL1))
                *lli = Digit(((flags & kLossOfLockL1) ? 1 : 0) + ((flags & kHalfCycleL1) ? 2 : 0));
            *ss = Digit(strength1);
            break;
        case kSlotL2CA:
        case kSlotL2P:
            if (flags & (kCrossCorrelatedL2 | kLossOfLockL2 | kHalfCycleL2))
                *lli = Digit(((flags & kCrossCorrelatedL2) ? 4 : 0) +
                             ((flags & kLossOfLockL2) ? 1 : 0) + ((flags & kHalfCycleL2) ? 2 : 0));
            *ss = Digit(strength2);
            break;
        case kSlotL5:
            if (flags & (kLossOfLockL5 | kHalfCycleL5))
                *lli = Digit(((flags & kLossOfLockL5) ? 1 : 0) + ((flags & kHalfCycleL5) ? 2 : 0));
            *ss = Digit(strength5);
            break;
        case kSlotP2:
            if (flags & kCrossCorrelatedL2) *lli = '4';
            break;
        default:
            break;
    }
}

// The strength digit of an L5 strength in dB-Hz (L5 comes from MSM only).
int Strength5(double cnr) {
    const int d = static_cast<int>(cnr / 6);
    return d < 1 ? 1 : d > 9 ? 9 : d;
}

// Appends formatted text at `length`, within `size`.
template <typename... Args>
void Put(char* out, int& length, std::size_t size, const char* format, Args... args) {
    if (static_cast<std::size_t>(length) >= size) return;
    const int n =
        std::snprintf(out + length, size - static_cast<std::size_t>(length), format, args...);
    if (n > 0) length += std::min(n, static_cast<int>(size - static_cast<std::size_t>(length) - 1));
}

void PutChar(char* out, int& length, std::size_t size, char c) {
    if (static_cast<std::size_t>(length) + 1 < size) out[length++] = c;
}

}  // namespace

int ComposeEventLine(const platform::CalendarTime& time, int millisecond, int flag, int records,
                     char* out) {
    return std::snprintf(out, 40, " %02d %02d %02d %02d %02d %02d.%03d0000  %d%3d\n",
                         time.year % 100, time.month, time.day, time.hour, time.minute, time.second,
                         millisecond % 1000, flag % 10, records % 1000);
}

void ObservationColumns::Build(std::uint64_t mask) {
    int columnOfType[kObsTypes] = {};  // column + 1, 0: none
    count_ = 0;
    typeText_[0] = '\0';
    for (const TypeRow& row : kTypeTable) {
        const std::uint64_t bit = SlotBit(row.slot);
        if (!(mask & bit)) continue;
        if (columnOfType[row.type] != 0) {
            ObsColumn& c = columns_[columnOfType[row.type] - 1];
            c.alternateMask = bit;
            c.alternateSlot = row.slot;
            continue;
        }
        columns_[count_] = ObsColumn{bit, row.slot, 0, 0};
        std::memcpy(typeText_ + 6 * count_, row.text, 7);
        columnOfType[row.type] = ++count_;
    }
}

int ObservationColumns::ComposeEpoch(const EpochRecord& epoch, const platform::CalendarTime& time,
                                     char* out) const {
    const int n = epoch.satelliteCount;
    if (n <= 0) return 0;
    constexpr std::size_t size = kEpochRecordTextSize;
    int length = 0;
    Put(out, length, size, " %02d %02d %02d %02d %02d %02d.%03d0000 00 %02d", time.year % 100,
        time.month, time.day, time.hour, time.minute, time.second, epoch.milliseconds % 1000, n);
    for (int i = 0; i < n; ++i) {
        if (i > 0 && i % 12 == 0) Put(out, length, size, "\n%32s", "");
        const int number = epoch.satellites[i];
        if (number >= 1 && number <= 32) {
            Put(out, length, size, "G%02d", number);
        } else if (number >= 38 && number <= 61) {
            Put(out, length, size, "R%02d", number - 37);
        } else if (number >= 120 && number <= 158) {
            Put(out, length, size, "S%02d", number - 100);  // SBAS: PRN − 100
        } else {
            Put(out, length, size, "%3d", number);
        }
    }
    PutChar(out, length, size, '\n');

    for (int i = 0; i < n; ++i) {
        const std::uint64_t mask = epoch.signalMask[i];
        const double* values = epoch.values[i];
        for (int c = 0; c < count_; ++c) {
            const ObsColumn& column = columns_[c];
            int slot = -1;
            if ((mask & column.primaryMask) && std::isfinite(values[column.primarySlot])) {
                slot = column.primarySlot;
            } else if (column.alternateMask && (mask & column.alternateMask) &&
                       std::isfinite(values[column.alternateSlot])) {
                slot = column.alternateSlot;
            }
            if (static_cast<std::size_t>(length) + 16 >= size) break;
            if (slot < 0) {
                std::memset(out + length, ' ', 16);
                length += 16;
            } else {
                char lli, ss;
                const int strength5 = (mask & SlotBit(kSlotS5)) ? Strength5(values[kSlotS5]) : 0;
                Indicators(slot, epoch.lockFlags[i], epoch.strength1[i], epoch.strength2[i],
                           strength5, &lli, &ss);
                if (FormatObservationValue(values[slot], out + length)) {
                    length += kObservationValueWidth;
                    out[length++] = lli;
                    out[length++] = ss;
                } else {
                    Put(out, length, size, "%14.3f%c%c", values[slot], lli, ss);
                }
            }
            if (c % 5 == 4 || c == count_ - 1) PutChar(out, length, size, '\n');
        }
    }
    return length;
}

}  // namespace corvane

// The table rows of the RTCM 3 records: one row per satellite or cell of a
// message, per filled ephemeris, or name/value rows for the station messages.
#pragma once

#include <cstdint>
#include <span>

#include "rtcm/records_rtcm3.h"
#include "ui/table_rows.h"

namespace corvane {

// 1004: SV, L1 code, L1 phase, L1 CNR, L2 code, L2 phase, L2 CNR.
TableRows GpsObservationRows(const Rec1004& rec);
// 1012: as 1004, GLONASS satellites shown plus 40.
TableRows GloObservationRows(const Rec1012& rec);
// 1006: X, Y, Z and antenna height once a position has arrived.
TableRows AntennaPositionRows(const Rec1006& rec);
// 1013: day, seconds, leap seconds, and the current date once a GPS week is known.
TableRows SystemParameterRows(const Rec1013& rec, std::int32_t gpsWeek, std::int32_t gpsSecond);
// 1033: the five descriptor texts.
TableRows DescriptorRows(const Rec1033& rec);
// 1019: one row per filled PRN (index n - 1 is PRN n).
TableRows GpsEphemerisRows(std::span<const Rec1019, 32> records);
// 1020: one row per filled slot (index n - 1 is slot n).
TableRows GloEphemerisRows(std::span<const Rec1020, 24> records);
// MSM4 and MSM7: one row per cell; the SV is shown only where it changes.
TableRows Msm4Rows(const RecMsm4& rec);
TableRows Msm7Rows(const RecMsm7& rec);

}  // namespace corvane

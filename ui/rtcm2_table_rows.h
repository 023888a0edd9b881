// The table rows of the RTCM 2 records: one row per satellite of a message,
// or one position row.
#pragma once

#include "rtcm/records_rtcm2.h"
#include "ui/table_rows.h"

namespace corvane {

// Types 1 and 9: SV, scale factor, UDRE text, PRC, RRC, IOD, Z-count.
TableRows CorrectionRows(const Rec01& rec);
// Type 3: one row of X, Y, Z once a position has arrived (x not 0.0).
TableRows StationPositionRows(const Rec03& rec);
// Type 18 of one frequency: SV, phase error, loss count, code, phase, time.
TableRows CarrierPhaseRows(const Rec18& rec);
// Type 19 of one frequency: SV, range error, code, pseudorange, time.
TableRows PseudorangeRows(const Rec19& rec);
// Types 41 and 42 of one system: SV, UDRE range, IOD, PRC, ionospheric delay.
TableRows MultiSystemRows(const Rec41& rec);

// The UDRE range text of types 41 and 42 for station health `health` and
// UDRE index `udre`; empty above health 5.
std::u16string UdreRangeText(int health, int udre);

}  // namespace corvane

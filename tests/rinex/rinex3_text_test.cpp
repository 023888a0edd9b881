// Byte-exact RINEX 3.04 text: the SYS / # / OBS TYPES lines, the epoch line
// and the satellite lines, with blanks for values a satellite lacks.
#include <gtest/gtest.h>

#include <string>

#include "net/rinex_header_source.h"
#include "rinex/rinex3_navigation.h"
#include "rinex/rinex3_observations.h"

namespace corvane {
namespace {

SignalCell Cell(int signal, double code, double phase, double strength, int lli) {
    SignalCell c;
    c.signal = signal;
    c.value[kObsCode] = code;
    c.value[kObsPhase] = phase;
    c.value[kObsStrength] = strength;
    c.present = (1 << kObsCode) | (1 << kObsPhase) | (1 << kObsStrength);
    c.offered = c.present;
    c.lli = static_cast<std::uint8_t>(lli);
    return c;
}

TEST(Rinex3Text, TypesEpochAndSatelliteLines) {
    SignalEpoch epoch;
    SignalSatellite* g = epoch.Satellite(kMsmGps, 5);
    *g->Cell(2) = Cell(2, 21005472.06, 110384505.964, 45.25, 1);
    *g->Cell(10) = Cell(10, 21005480.1, 86016012.5, 40, 0);
    g->Cell(10)->present = 1 << kObsCode;  // L2 W code only
    SignalSatellite* e = epoch.Satellite(kMsmGalileo, 11);
    *e->Cell(5) = Cell(5, 25000000.123, 131376000.5, 38.5, 2);
    epoch.Satellite(kMsmBeidou, 70);  // no RINEX number: left out

    Rinex3Observations obs;
    obs.Fix(epoch);
    ASSERT_EQ(obs.TypeCount(kMsmGps), 6);
    StationInfo station;
    int channels[24];
    for (int& k : channels) k = Rinex3Observations::kUnknown;
    char header[kRinexHeaderBufferSize];
    const std::string h(header, static_cast<std::size_t>(obs.ComposeHeader(
                                    "SEOUL", station, 18, 1767225600, channels, header)));
    EXPECT_NE(h.find("G    6 C1C L1C S1C C2W L2W S2W                              "
                     "SYS / # / OBS TYPES\n"),
              std::string::npos)
        << h;
    EXPECT_NE(h.find("E    3 C1X L1X S1X"), std::string::npos) << h;
    EXPECT_EQ(h.find("GLONASS"), std::string::npos);  // no GLONASS types, no GLONASS lines

    platform::CalendarTime t{2026, 1, 5, 3, 46, 40};
    const int n = obs.ComposeEpoch(epoch, t, 250);
    const std::string blank(16, ' ');
    EXPECT_EQ(std::string(obs.Text(), static_cast<std::size_t>(n)),
              "> 2026 01 05 03 46 40.2500000  0  2\n"
              "G05  21005472.060   110384505.96417        45.250    21005480.100  " +
                  blank + blank + "\n" +
                  "E11  25000000.123   131376000.50026        38.500  \n");
}

TEST(Rinex3Text, NavigationRecordFromTheVersion2Layout) {
    const std::string v2 =
        "07 06 05 21 04 00 00.0 1.000000000000D-04-1.234567890000D-11 0.000000000000D+00\n"
        "    1.000000000000D+00 2.000000000000D+00 3.000000000000D+00 4.000000000000D+00\n";
    char out[kNavigationRecord3Size];
    const int n = ToRinex3Record('G', v2.c_str(), static_cast<int>(v2.size() - 0), out);
    EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)),
              "G07 2006 05 21 04 00 00 1.000000000000D-04-1.234567890000D-11 0.000000000000D+00\n"
              "     1.000000000000D+00 2.000000000000D+00 3.000000000000D+00 4.000000000000D+00\n");
}

}  // namespace
}  // namespace corvane

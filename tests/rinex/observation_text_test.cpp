// The RINEX text of headers and observation records, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rinex/observation_columns.h"
#include "rinex/observation_value_format.h"
#include "rinex/rinex_headers.h"

namespace corvane {
namespace {

constexpr std::int64_t kGpsEpochUnix = 315964800;

std::string Epoch(const ObservationColumns& columns, const EpochRecord& r, std::int64_t t) {
    static char out[kEpochRecordTextSize];
    const int n = columns.ComposeEpoch(r, platform::UtcTime(t), out);
    return std::string(out, static_cast<std::size_t>(n));
}

// The file's first epoch at 2026-01-01 00:00:00 (GPS), created on
// 2026-12-10 06:30:05 UTC.
const HeaderTimes kTimes{platform::FromUtc({2026, 1, 1, 0, 0, 0}), 0,
                         platform::FromUtc({2026, 12, 10, 6, 30, 5})};

std::string ObservationHeader(const StationInfo& s, int types, const char* text,
                              const HeaderTimes& times = kTimes) {
    char out[kRinexHeaderSize];
    const int n = ComposeObservationHeader("SEOUL-RTCM32", s, types, text, 18, times, out);
    return std::string(out, static_cast<std::size_t>(n));
}

// Header lines as written: blanks up to column 80.
std::string Padded(const std::string& lines) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = lines.substr(start, end - start);
        line.resize(std::max<std::size_t>(line.size(), 80), ' ');
        out += line + "\n";
    }
    return out + lines.substr(start);
}

TEST(RinexHeaders, ObservationHeaderLines) {
    StationInfo s;
    s.x = -30000000000;
    s.y = 40000123456;
    s.z = 37000000001;
    s.antennaHeight = 15000;
    std::snprintf(s.antennaDescriptor, 32, "TRM59800.00     NONE");
    const std::string expected =
        "     2.11           OBSERVATION DATA    M (MIXED)           RINEX VERSION / TYPE\n"
        "rtcm2rinex                              20261210 063005 UTC PGM / RUN BY / DATE\n"
        "SEOU                                                        MARKER NAME\n"
        "Quorvel Field Suite                                         OBSERVER / AGENCY\n"
        "                                                            REC # / TYPE / VERS\n"
        "                    TRM59800.00     NONE                    ANT # / TYPE\n"
        " -3000000.0000  4000012.3456  3700000.0001                  APPROX POSITION XYZ\n"
        "        1.5000        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n"
        "     1     1                                                WAVELENGTH FACT L1/2\n"
        "     2    C1    L1                                          # / TYPES OF OBSERV\n"
        "     1.0000                                                 INTERVAL\n"
        "  2026    01    01    00    00   00.0000000     GPS         TIME OF FIRST OBS\n"
        "    18                                                      LEAP SECONDS\n"
        "                                                            END OF HEADER\n";
    EXPECT_EQ(ObservationHeader(s, 2, "    C1    L1"), Padded(expected));

    // The first epoch of a 5 Hz stream keeps its fraction.
    HeaderTimes fifth = kTimes;
    fifth.firstMillisecond = 200;
    EXPECT_NE(ObservationHeader(s, 2, "", fifth).find("   00.2000000     GPS"), std::string::npos);

    // No columns yet: the TYPES OF OBSERV line is left out.
    const std::string none = ObservationHeader(s, 0, "");
    EXPECT_EQ(none.find("TYPES OF OBSERV"), std::string::npos);
    EXPECT_EQ(none.size(), Padded(expected).size() - 81);
}

TEST(RinexHeaders, TypesOverSeveralLines) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "    C1";
    const std::string h = ObservationHeader(StationInfo{}, 20, text.c_str());
    const std::string nine = "    C1    C1    C1    C1    C1    C1    C1    C1    C1";
    EXPECT_NE(h.find("    20" + nine + "# / TYPES OF OBSERV \n"), std::string::npos);
    EXPECT_NE(h.find("\n      " + nine + "# / TYPES OF OBSERV \n"), std::string::npos);
    EXPECT_NE(h.find("\n          C1    C1" + std::string(42, ' ') + "# / TYPES OF OBSERV \n"),
              std::string::npos);
    // Ten types: exactly one continuation line.
    const std::string ten = ObservationHeader(StationInfo{}, 10, text.substr(0, 60).c_str());
    EXPECT_NE(ten.find("\n          C1" + std::string(48, ' ') + "# / TYPES OF OBSERV \n"),
              std::string::npos);
    EXPECT_EQ(ten.size(), h.size() - 81);
}

TEST(RinexHeaders, NavigationHeaders) {
    char out[kRinexHeaderSize];
    int n = ComposeNavigationHeader(1, 18, kTimes, out);
    EXPECT_EQ(
        std::string(out, n),
        Padded("     2.11           N: GPS NAV DATA                         RINEX VERSION / TYPE\n"
               "rtcm2rinex                              20261210 063005 UTC PGM / RUN BY / DATE\n"
               "    18                                                      LEAP SECONDS\n"
               "                                                            END OF HEADER\n"));
    n = ComposeNavigationHeader(2, 17, kTimes, out);
    EXPECT_EQ(std::string(out, 81),
              "     2.11           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n");
    EXPECT_NE(
        std::string(out, n).find(
            "\n    17                                                      LEAP SECONDS        \n"),
        std::string::npos);
}

// An epoch at week 2400, second 100000: 2026-01-05 03:46:40 GPS time.
class EpochText : public ::testing::Test {
protected:
    int Add(std::int32_t number) { return record.IndexOf(number); }
    void Set(int i, int slot, double v) {
        record.values[i][slot] = v;
        record.signalMask[i] |= SlotBit(slot);
    }
    std::string Text() { return Epoch(columns, record, kTime); }

    static constexpr std::int64_t kTime = 2400LL * 604800 + 100000 + kGpsEpochUnix;
    EpochRecord record;
    ObservationColumns columns;
};

TEST_F(EpochText, EpochLineAndSatelliteList) {
    Add(5), Add(12), Add(44);
    EXPECT_EQ(Text(), " 26 01 05 03 46 40.0000000 00 03G05G12R07\n");
    record.Clear();
    for (int n = 1; n <= 12; ++n) Add(n);
    Add(33);
    EXPECT_EQ(Text(), " 26 01 05 03 46 40.0000000 00 13G01G02G03G04G05G06G07G08G09G10G11G12\n" +
                          std::string(32, ' ') + " 33\n");
    record.Clear();
    // SBAS as RINEX names it; other GPS-message IDs as numbers.
    Add(129), Add(61), Add(32), Add(38), Add(120), Add(143), Add(34);
    EXPECT_EQ(Text(), " 26 01 05 03 46 40.0000000 00 07S29R24G32R01S20S43 34\n");
    record.Clear();
    EXPECT_EQ(Text(), "");
    // A 5 Hz epoch: the fraction in the seconds field.
    Add(5);
    record.milliseconds = 100000 * 1000 + 800;
    EXPECT_EQ(Text(), " 26 01 05 03 46 40.8000000 00 01G05\n");
    char event[40];
    EXPECT_EQ(std::string(event, ComposeEventLine(platform::UtcTime(kTime), 200, 3, 2, event)),
              " 26 01 05 03 46 40.2000000  3  2\n");
}

TEST_F(EpochText, ColumnsFromTheSignalsSeen) {
    // C/A code on L1 and P code on L2, as from 1004 messages.
    columns.Build(SlotBit(kSlotC1) | SlotBit(kSlotL1CA) | SlotBit(kSlotS1CA) | SlotBit(kSlotP2) |
                  SlotBit(kSlotL2P) | SlotBit(kSlotS2P));
    EXPECT_STREQ(columns.TypeText(), "    C1    L1    S1    P2    L2    S2");
    // Both codes: L1 takes the C/A slot first and the P slot as alternate.
    columns.Build(SlotBit(kSlotL1P) | SlotBit(kSlotL1CA) | SlotBit(kSlotP1));
    EXPECT_STREQ(columns.TypeText(), "    P1    L1");
    EXPECT_EQ(columns.Column(1).primarySlot, kSlotL1CA);
    EXPECT_EQ(columns.Column(1).alternateSlot, kSlotL1P);
    columns.Build(0);
    EXPECT_EQ(columns.Count(), 0);
}

TEST_F(EpochText, ObservationFieldsWithIndicators) {
    columns.Build(SlotBit(kSlotC1) | SlotBit(kSlotL1CA) | SlotBit(kSlotL1P) | SlotBit(kSlotS1CA) |
                  SlotBit(kSlotP2) | SlotBit(kSlotL2P) | SlotBit(kSlotS2P));
    ASSERT_EQ(columns.Count(), 6);  // C1 L1 S1 P2 L2 S2

    const int a = Add(5);  // L1 loss of lock, strength 7; L2 cross-correlated with loss of lock
    Set(a, kSlotC1, 21005472.06);
    Set(a, kSlotL1CA, 110384505.964);
    Set(a, kSlotS1CA, 45.25);
    Set(a, kSlotP2, 21005480.1);
    Set(a, kSlotL2P, 86016012.5);
    Set(a, kSlotS2P, 40.0);
    record.lockFlags[a] = kLossOfLockL1 | kCrossCorrelatedL2 | kLossOfLockL2;
    record.strength1[a] = 7;
    record.strength2[a] = 6;

    const int b = Add(12);  // P-code L1 phase only, no strength: the alternate slot
    Set(b, kSlotL1P, 1.5);
    record.values[b][kSlotC1] = 99.0;  // a value without its mask bit is not written

    const int c = Add(13);  // an infinite value is no value; strength digit 0 is written
    Set(c, kSlotC1, 1.0 / 0.0);
    Set(c, kSlotL2P, -0.25);
    record.lockFlags[c] = kLossOfLockL2;

    const std::string blank(16, ' ');
    EXPECT_EQ(Text(),
              " 26 01 05 03 46 40.0000000 00 03G05G12G13\n"
              "  21005472.060   110384505.96417        45.250    21005480.1004 "
              "  86016012.50056\n"
              "        40.000  \n" +
                  blank + "         1.500 0" + blank + blank + blank + "\n" + blank + "\n" + blank +
                  blank + blank + blank + "        -0.25010\n" + blank + "\n");
}

// The fast value format must give exactly what "%14.3f" gives.
TEST(ObservationValueFormat, SameTextAsPrintf) {
    std::vector<double> values = {
        0.0,           -0.0,           -0.0001,        0.0005,     0.0015,     2.5e-4,
        45.25,         -0.25,          0.9995,         999.9995,   1.0005,     21005472.06,
        110384505.964, 999999999.9994, -99999999.9996, 86016012.5, 123456.0005,
        4.9e-324,      -4.9e-324,      0.00048828125,  -0.0004999, 999999999.9996, 1e8};
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        // Magnitudes from thousandths to 10^9, and values just off halves.
        const double magnitude = std::pow(10.0, -3 + 12 * unit);
        values.push_back((state & 1 ? -1 : 1) * magnitude);
        values.push_back(std::nextafter(std::floor(magnitude * 1000) / 1000 + 0.0005, 0.0));
    }
    for (double v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%14.3f", v);
        char out[kObservationValueWidth];
        if (FormatObservationValue(v, out)) {
            ASSERT_EQ(std::string(out, kObservationValueWidth), expected) << v;
        } else {
            ASSERT_GT(std::strlen(expected), 13u) << v;
        }
    }
    char out[kObservationValueWidth];
    EXPECT_FALSE(FormatObservationValue(1e9, out));
    EXPECT_FALSE(FormatObservationValue(std::nan(""), out));
    EXPECT_FALSE(FormatObservationValue(-999999999.9996, out));
}

}  // namespace
}  // namespace corvane

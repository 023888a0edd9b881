#include "rinex/gnss_ephemeris.h"

#include <cstdio>

#include "platform/clock.h"
#include "rinex/rinex_number_format.h"

namespace corvane {
namespace {

constexpr double kGpsPi = 3.1415926535898;
constexpr std::int64_t kGpsEpochUnix = 315964800;
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::int32_t kBeidouWeekZero = 1356;  // BDT week 0 starts with GPS week 1356

constexpr double kUraMetres[16] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,   48.0,
                                   96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0, 32767.0};

constexpr double P2(int n) {
    double v = 1.0;
    for (int i = 0; i < (n < 0 ? -n : n); ++i) v = n < 0 ? v / 2 : v * 2;
    return v;
}

double S(BitCursor& in, int bits, double scale) { return static_cast<double>(in.S(bits)) * scale; }
double U(BitCursor& in, int bits, double scale) { return static_cast<double>(in.U(bits)) * scale; }
int I(BitCursor& in, int bits) { return static_cast<int>(in.U(bits)); }

// Galileo signal-in-space accuracy in metres of its index; -1: no accuracy
// prediction available.
double SisaMetres(int n) {
    if (n < 50) return n * 0.01;
    if (n < 75) return 0.5 + (n - 50) * 0.02;
    if (n < 100) return 1.0 + (n - 75) * 0.04;
    if (n < 126) return 2.0 + (n - 100) * 0.16;
    return -1.0;
}

// The orbit fields common to the four messages from M0 to Ω̇, with the
// widths and scales of Galileo and QZSS (BeiDou differs in some).
void Orbit(BitCursor& in, GnssEphemeris& e, bool beidou) {
    e.crs = S(in, beidou ? 18 : 16, beidou ? P2(-6) : P2(-5));
    e.deltaN = S(in, 16, P2(-43) * kGpsPi);
    e.m0 = S(in, 32, P2(-31) * kGpsPi);
    e.cuc = S(in, beidou ? 18 : 16, beidou ? P2(-31) : P2(-29));
    e.e = U(in, 32, P2(-33));
    e.cus = S(in, beidou ? 18 : 16, beidou ? P2(-31) : P2(-29));
    e.sqrtA = U(in, 32, P2(-19));
}

}  // namespace

bool DecodeGnssEphemeris(BitCursor& in, int number, const ConverterClock& clock,
                         GnssEphemeris (&tables)[kEphemerisKinds][kEphemerisSatellites],
                         int* kind, int* index) {
    GnssEphemeris e;
    int id = 0;
    if (number == 1045 || number == 1046) {
        *kind = number == 1045 ? kGalileoFnav : kGalileoInav;
        id = I(in, 6);
        e.week = I(in, 12) + 1024;
        e.iode = I(in, 10);
        e.accuracy = I(in, 8);
        e.idot = S(in, 14, P2(-43) * kGpsPi);
        e.toc = I(in, 14) * 60;
        e.af2 = S(in, 6, P2(-59));
        e.af1 = S(in, 21, P2(-46));
        e.af0 = S(in, 31, P2(-34));
        Orbit(in, e, false);
        e.toe = I(in, 14) * 60;
        e.cic = S(in, 16, P2(-29));
        e.omega0 = S(in, 32, P2(-31) * kGpsPi);
        e.cis = S(in, 16, P2(-29));
        e.i0 = S(in, 32, P2(-31) * kGpsPi);
        e.crc = S(in, 16, P2(-5));
        e.omega = S(in, 32, P2(-31) * kGpsPi);
        e.omegaDot = S(in, 24, P2(-43) * kGpsPi);
        e.tgd1 = S(in, 10, P2(-32));
        if (number == 1045) {
            const int hs = I(in, 2), dvs = I(in, 1);
            e.health = (hs << 4) | (dvs << 3);
            e.dataSources = (1 << 1) | (1 << 8);  // F/NAV E5a-I; clock for E5a, E1
        } else {
            e.tgd2 = S(in, 10, P2(-32));
            const int e5bHs = I(in, 2), e5bDvs = I(in, 1), e1Hs = I(in, 2), e1Dvs = I(in, 1);
            e.health = (e5bHs << 7) | (e5bDvs << 6) | (e1Hs << 1) | e1Dvs;
            e.dataSources = (1 << 0) | (1 << 2) | (1 << 9);  // I/NAV E1-B, E5b-I; clock E5b, E1
        }
        if (id < 1 || id > 36) return false;
    } else if (number == 1042) {
        *kind = kBeidou;
        id = I(in, 6);
        e.week = I(in, 13);
        e.accuracy = I(in, 4);
        e.idot = S(in, 14, P2(-43) * kGpsPi);
        e.iode = I(in, 5);
        e.toc = I(in, 17) * 8;
        e.af2 = S(in, 11, P2(-66));
        e.af1 = S(in, 22, P2(-50));
        e.af0 = S(in, 24, P2(-33));
        e.iodc = I(in, 5);
        Orbit(in, e, true);
        e.toe = I(in, 17) * 8;
        e.cic = S(in, 18, P2(-31));
        e.omega0 = S(in, 32, P2(-31) * kGpsPi);
        e.cis = S(in, 18, P2(-31));
        e.i0 = S(in, 32, P2(-31) * kGpsPi);
        e.crc = S(in, 18, P2(-6));
        e.omega = S(in, 32, P2(-31) * kGpsPi);
        e.omegaDot = S(in, 24, P2(-43) * kGpsPi);
        e.tgd1 = S(in, 10, 1e-10);
        e.tgd2 = S(in, 10, 1e-10);
        e.health = I(in, 1);
        if (id < 1 || id > 63) return false;
    } else if (number == 1044) {
        *kind = kQzss;
        id = I(in, 4);
        e.toc = I(in, 16) * 16;
        e.af2 = S(in, 8, P2(-55));
        e.af1 = S(in, 16, P2(-43));
        e.af0 = S(in, 22, P2(-31));
        e.iode = I(in, 8);
        Orbit(in, e, false);
        e.toe = I(in, 16) * 16;
        e.cic = S(in, 16, P2(-29));
        e.omega0 = S(in, 32, P2(-31) * kGpsPi);
        e.cis = S(in, 16, P2(-29));
        e.i0 = S(in, 32, P2(-31) * kGpsPi);
        e.crc = S(in, 16, P2(-5));
        e.omega = S(in, 32, P2(-31) * kGpsPi);
        e.omegaDot = S(in, 24, P2(-43) * kGpsPi);
        e.idot = S(in, 14, P2(-43) * kGpsPi);
        e.codesOnL2 = I(in, 2);
        e.week = ResolveGpsWeek(I(in, 10), clock.gpsWeek);
        e.accuracy = I(in, 4);
        e.health = I(in, 6);
        e.tgd1 = S(in, 8, P2(-31));
        e.iodc = I(in, 10);
        e.fitInterval = I(in, 1);
        e.l2PFlag = 1;  // QZSS sends no L2 P data; RINEX sets the flag
        if (id < 1 || id > 10) return false;
    } else {
        return false;
    }
    GnssEphemeris& entry = tables[*kind][id - 1];
    if (e.toc == entry.lastWrittenToc) return false;  // written to this file already
    e.lastWrittenToc = e.toc;
    entry = e;
    *index = id - 1;
    return true;
}

int ComposeGnssRecord(const GnssEphemeris& eph, int kind, int id, char* out) {
    const bool galileo = kind == kGalileoFnav || kind == kGalileoInav;
    const char system = galileo ? 'E' : kind == kBeidou ? 'C' : 'J';
    // Galileo and QZSS count GPS weeks; BeiDou's epoch is in BeiDou time,
    // whose weeks start 1356 GPS weeks later.
    const std::int64_t week = kind == kBeidou ? eph.week + kBeidouWeekZero : eph.week;
    const platform::CalendarTime c =
        platform::UtcTime(week * kSecondsPerWeek + eph.toc + kGpsEpochUnix);
    int n = std::snprintf(out, 32, "%c%02d %04d %02d %02d %02d %02d %02d", system, id % 100,
                          c.year % 10000, c.month % 100, c.day % 100, c.hour % 100, c.minute % 100,
                          c.second % 100);
    const auto number = [&](double v) {
        FormatRinexNumber(v, out + n);
        n += kRinexNumberWidth;
    };
    const auto line = [&](double a, double b, double cc, double d) {
        for (char ch : {'\n', ' ', ' ', ' ', ' '}) out[n++] = ch;
        number(a);
        number(b);
        number(cc);
        number(d);
    };
    number(eph.af0);
    number(eph.af1);
    number(eph.af2);
    line(eph.iode, eph.crs, eph.deltaN, eph.m0);
    line(eph.cuc, eph.e, eph.cus, eph.sqrtA);
    line(eph.toe, eph.cic, eph.omega0, eph.cis);
    line(eph.i0, eph.crc, eph.omega, eph.omegaDot);
    const double ura = kUraMetres[eph.accuracy & 15];
    if (galileo) {
        line(eph.idot, eph.dataSources, eph.week, 0);
        line(SisaMetres(eph.accuracy), eph.health, eph.tgd1, eph.tgd2);
        line(eph.toe, 0, 0, 0);  // transmission time: not sent; toe stands for it
    } else if (kind == kBeidou) {
        line(eph.idot, 0, eph.week, 0);
        line(ura, eph.health, eph.tgd1, eph.tgd2);
        line(eph.toe, eph.iodc, 0, 0);
    } else {
        line(eph.idot, eph.codesOnL2, eph.week, eph.l2PFlag);
        line(ura, eph.health, eph.tgd1, eph.iodc);
        line(eph.toe, eph.fitInterval, 0, 0);
    }
    // The last line holds two numbers.
    n -= 2 * kRinexNumberWidth;
    out[n++] = '\n';
    return n;
}

}  // namespace corvane

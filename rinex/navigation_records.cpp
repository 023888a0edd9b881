#include "rinex/navigation_records.h"

#include <cstdio>

#include "platform/clock.h"
#include "rinex/glonass_day.h"
#include "rinex/rinex_number_format.h"

namespace corvane {
namespace {

constexpr double kGpsPi = 3.1415926535898;
constexpr std::int64_t kGpsEpochUnix = 315964800;  // 1980-01-06 00:00:00
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kGlonassOffset = 10800;  // GLONASS day: UTC + 3 h

constexpr double kUraMetres[16] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,   48.0,
                                   96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0, 32767.0};

constexpr double P2(int n) {
    double v = 1.0;
    for (int i = 0; i < n; ++i) v /= 2.0;
    return v;
}

// Builds one record: the epoch line, then lines of four 19-character numbers.
class RecordText {
public:
    explicit RecordText(char* out) : out_(out) {}

    void Epoch(int number, std::int64_t unixTime) {
        const platform::CalendarTime c = platform::UtcTime(unixTime);
        length_ += std::snprintf(out_ + length_, 32, "%02d %02d %02d %02d %02d %02d %04.1f",
                                 number % 100, c.year % 100, c.month, c.day, c.hour, c.minute,
                                 static_cast<double>(c.second));
    }
    void Number(double v) {
        FormatRinexNumber(v, out_ + length_);
        length_ += kRinexNumberWidth;
    }
    void Numbers(double a, double b, double c, double d) {
        NewLine();
        Number(a);
        Number(b);
        Number(c);
        Number(d);
    }
    void NewLine() {
        const char next[] = "\n   ";
        for (char ch : next) {
            if (ch) out_[length_++] = ch;
        }
    }
    int End() {
        out_[length_++] = '\n';
        return length_;
    }

private:
    char* out_;
    int length_ = 0;
};

}  // namespace

std::int32_t ResolveGpsWeek(std::int32_t tenBitWeek, std::int32_t clockWeek) {
    std::int64_t k = clockWeek - tenBitWeek + 512;
    k = k >= 0 ? k / 1024 : -((-k + 1023) / 1024);
    if (k < 0) k = 0;
    return static_cast<std::int32_t>(tenBitWeek + 1024 * k);
}

bool DecodeGpsEphemeris(BitCursor& in, GpsEphemeris (&table)[kGpsSatellites], int& lastIndex,
                        ConverterClock& clock) {
    const int id = static_cast<int>(in.U(6));
    if (id < 1 || id > kGpsSatellites) return false;
    lastIndex = id - 1;
    GpsEphemeris& entry = table[id - 1];
    GpsEphemeris e;  // filled, then stored whole once it proves new
    e.lastWrittenToc = entry.lastWrittenToc;
    e.week = ResolveGpsWeek(static_cast<std::int32_t>(in.U(10)), clock.gpsWeek);
    e.uraIndex = static_cast<std::int32_t>(in.U(4));
    const int codes = static_cast<int>(in.U(2));
    e.flags |= ((codes & 1) ? 2 : 0) | ((codes & 2) ? 4 : 0);
    e.idot = static_cast<double>(in.S(14)) * P2(43) * kGpsPi;
    e.iode = static_cast<std::int32_t>(in.U(8));
    e.toc = static_cast<std::int32_t>(in.U(16)) * 16;
    if (e.toc == entry.lastWrittenToc) return false;
    entry.lastWrittenToc = e.toc;
    e.lastWrittenToc = e.toc;
    e.af2 = static_cast<double>(in.S(8)) * P2(55);
    e.af1 = static_cast<double>(in.S(16)) * P2(43);
    e.af0 = static_cast<double>(in.S(22)) * P2(31);
    e.iodc = static_cast<std::int32_t>(in.U(10));
    e.crs = static_cast<double>(in.S(16)) * P2(5);
    e.deltaN = static_cast<double>(in.S(16)) * P2(43) * kGpsPi;
    e.m0 = static_cast<double>(in.S(32)) * P2(31) * kGpsPi;
    e.cuc = static_cast<double>(in.S(16)) * P2(29);
    e.e = static_cast<double>(in.U(32)) * P2(33);
    e.cus = static_cast<double>(in.S(16)) * P2(29);
    e.sqrtA = static_cast<double>(in.U(32)) * P2(19);
    e.toe = static_cast<std::int32_t>(in.U(16)) * 16;
    e.cic = static_cast<double>(in.S(16)) * P2(29);
    e.omega0 = static_cast<double>(in.S(32)) * P2(31) * kGpsPi;
    e.cis = static_cast<double>(in.S(16)) * P2(29);
    e.i0 = static_cast<double>(in.S(32)) * P2(31) * kGpsPi;
    e.crc = static_cast<double>(in.S(16)) * P2(5);
    e.omega = static_cast<double>(in.S(32)) * P2(31) * kGpsPi;
    e.omegaDot = static_cast<double>(in.S(24)) * P2(43) * kGpsPi;
    e.tgd = static_cast<double>(in.S(8)) * P2(31);
    e.health = static_cast<std::int32_t>(in.U(6));
    if (in.U(1)) e.flags |= 1;
    if (in.U(1)) e.flags |= 0x10;
    // The week is that of the broadcast, not always that of toe: an
    // ephemeris for the start of the next week is sent at the end of this
    // one, and some receivers keep the old week for a while after the
    // rollover. toe lies within half a week of the clock; a clock more than
    // a week and a half away says nothing about it.
    const std::int64_t fromClock =
        (static_cast<std::int64_t>(e.week) - clock.gpsWeek) * kSecondsPerWeek + e.toe -
        clock.gpsSecond;
    if (fromClock < -kSecondsPerWeek / 2 && fromClock > -kSecondsPerWeek * 3 / 2) ++e.week;
    if (fromClock > kSecondsPerWeek / 2 && fromClock < kSecondsPerWeek * 3 / 2) --e.week;
    entry = e;

    // An ephemeris whose reference time lies 7 to 10 hours after the clock
    // sets the clock to it.
    const std::int64_t delta =
        (static_cast<std::int64_t>(e.week) - clock.gpsWeek) * kSecondsPerWeek + e.toe -
        clock.gpsSecond;
    if (delta >= 25201 && delta <= 35999) clock.Set(e.week, e.toe);
    return true;
}

bool DecodeGlonassEphemeris(BitCursor& in, GlonassEphemeris (&table)[kGlonassSlots], int& lastIndex,
                            const ConverterClock& clock) {
    const int slot = static_cast<int>(in.U(6));
    if (slot < 1 || slot > kGlonassSlots) return false;
    lastIndex = slot - 1;
    GlonassEphemeris& entry = table[slot - 1];
    GlonassEphemeris e;
    e.lastWrittenTb = entry.lastWrittenTb;
    e.frequencyNumber = static_cast<std::int32_t>(in.U(5)) - 7;
    in.Skip(2 + 2);  // almanac health, its availability, P1
    const int hours = static_cast<int>(in.U(5));
    const int minutes = static_cast<int>(in.U(6));
    const int half = static_cast<int>(in.U(1));
    e.tk = hours * 3600 + minutes * 60 + 30 * half;
    e.health = in.U(1) != 0;
    in.Skip(1);  // P2
    e.tb = static_cast<std::int32_t>(in.U(7)) * 900;
    if (e.tb == entry.lastWrittenTb) return false;
    entry.lastWrittenTb = e.tb;
    e.lastWrittenTb = e.tb;
    e.vx = static_cast<double>(in.SM(24)) * P2(20);
    e.x = static_cast<double>(in.SM(27)) * P2(11);
    e.ax = static_cast<double>(in.SM(5)) * P2(30);
    e.vy = static_cast<double>(in.SM(24)) * P2(20);
    e.y = static_cast<double>(in.SM(27)) * P2(11);
    e.ay = static_cast<double>(in.SM(5)) * P2(30);
    e.vz = static_cast<double>(in.SM(24)) * P2(20);
    e.z = static_cast<double>(in.SM(27)) * P2(11);
    e.az = static_cast<double>(in.SM(5)) * P2(30);
    in.Skip(1);  // P3
    e.gammaN = static_cast<double>(in.SM(11)) * P2(40);
    in.Skip(2 + 1);  // P, ln
    e.tauN = static_cast<double>(in.SM(22)) * P2(30);
    in.Skip(5);  // delta tau
    e.age = static_cast<std::int32_t>(in.U(5));
    e.week = clock.gpsWeek;
    e.second = clock.gpsSecond;
    entry = e;
    return true;
}

int ComposeGpsRecord(const GpsEphemeris& eph, int prn, char* out) {
    RecordText r(out);
    r.Epoch(prn, static_cast<std::int64_t>(eph.week) * kSecondsPerWeek + eph.toc + kGpsEpochUnix);
    r.Number(eph.af0);
    r.Number(eph.af1);
    r.Number(eph.af2);
    r.Numbers(eph.iode, eph.crs, eph.deltaN, eph.m0);
    r.Numbers(eph.cuc, eph.e, eph.cus, eph.sqrtA);
    r.Numbers(eph.toe, eph.cic, eph.omega0, eph.cis);
    r.Numbers(eph.i0, eph.crc, eph.omega, eph.omegaDot);
    const int codesOnL2 = ((eph.flags & 2) ? 1 : 0) + ((eph.flags & 4) ? 2 : 0);
    r.Numbers(eph.idot, codesOnL2, eph.week, (eph.flags & 1) ? 1 : 0);
    r.Numbers(kUraMetres[eph.uraIndex & 15], eph.health, eph.tgd, eph.iodc);
    r.NewLine();
    r.Number(eph.toe);
    r.Number((eph.flags & 0x10) ? 6 : 4);
    return r.End();
}

int ComposeGlonassRecord(const GlonassEphemeris& eph, int slot, std::int32_t leapSeconds,
                         FrameTime frameTime, char* out) {
    // tb in the GLONASS day of the clock at decoding, on the UTC scale.
    const std::int64_t utc =
        GlonassDayTime(eph.week, eph.second, leapSeconds, eph.tb) - leapSeconds;

    // The frame's start tk (Moscow time) in the UTC day of the clock at
    // decoding, or in the day before or after where that lies nearer.
    const auto floorMod = [](std::int64_t a, std::int64_t b) { return (a % b + b) % b; };
    const std::int64_t clock =
        static_cast<std::int64_t>(eph.week) * kSecondsPerWeek + eph.second - leapSeconds;
    const std::int64_t timeOfDay = floorMod(clock, kSecondsPerDay);
    std::int64_t frame = eph.tk - kGlonassOffset;
    if (frame < timeOfDay - kSecondsPerDay / 2) {
        frame += kSecondsPerDay;
    } else if (frame > timeOfDay + kSecondsPerDay / 2) {
        frame -= kSecondsPerDay;
    }
    frame += clock - timeOfDay;
    const double frameSeconds = static_cast<double>(
        floorMod(frame, frameTime == FrameTime::kSecondsOfWeek ? kSecondsPerWeek : kSecondsPerDay));

    RecordText r(out);
    r.Epoch(slot, utc + kGpsEpochUnix);
    r.Number(0.0 - eph.tauN);
    r.Number(eph.gammaN);
    r.Number(frameSeconds);
    r.Numbers(eph.x, eph.vx, eph.ax, eph.health ? 1 : 0);
    r.Numbers(eph.y, eph.vy, eph.ay, eph.frequencyNumber);
    r.Numbers(eph.z, eph.vz, eph.az, eph.age);
    return r.End();
}

}  // namespace corvane

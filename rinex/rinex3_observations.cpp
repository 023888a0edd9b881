#include "rinex/rinex3_observations.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/rinex_header_source.h"
#include "rinex/observation_value_format.h"

namespace corvane {
namespace {

constexpr char kSystemLetter[kMsmSystemCount] = {'G', 'R', 'E', 'S', 'J', 'C'};
constexpr char kObservableLetter[kObservables] = {'C', 'L', 'D', 'S'};

// Signal codes by constellation and signal ID - 1.
constexpr const char* kCodes[kMsmSystemCount][32] = {
    // GPS
    // (No MSM signal is "2D"; ID 11 carries it for legacy messages.)
    {nullptr, "1C", "1P", "1W", nullptr, nullptr, nullptr, "2C", "2P", "2W", "2D", nullptr,
     nullptr, nullptr, "2S", "2L", "2X", nullptr, nullptr, nullptr, nullptr, "5I", "5Q", "5X",
     nullptr, nullptr, nullptr, nullptr, nullptr, "1S", "1L", "1X"},
    // GLONASS
    {nullptr, "1C", "1P", nullptr, nullptr, nullptr, nullptr, "2C", "2P"},
    // Galileo
    {nullptr, "1C", "1A", "1B", "1X", "1Z", nullptr, "6C", "6A", "6B", "6X", "6Z", nullptr, "7I",
     "7Q", "7X", nullptr, "8I", "8Q", "8X", nullptr, "5I", "5Q", "5X"},
    // SBAS
    {nullptr, "1C", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, "5I", "5Q", "5X"},
    // QZSS
    {nullptr, "1C", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "6S", "6L", "6X",
     nullptr, nullptr, nullptr, "2S", "2L", "2X", nullptr, nullptr, nullptr, nullptr, "5I", "5Q",
     "5X", nullptr, nullptr, nullptr, nullptr, nullptr, "1S", "1L", "1X"},
    // BeiDou
    {nullptr, "2I", "2Q", "2X", nullptr, nullptr, nullptr, "6I", "6Q", "6X", nullptr, nullptr,
     nullptr, "7I", "7Q", "7X"},
};

// Record of 128 satellites of kMaxTypesPerSystem fields, and the epoch line.
constexpr std::size_t kTextSize =
    kSignalEpochSatellites * (3 + kMaxTypesPerSystem * 16 + 1) + 64;

class TextOut {
public:
    TextOut(char* out, std::size_t size) : out_(out), size_(size) {}
    template <typename... Args>
    void Put(const char* format, Args... args) {
        if (length_ >= size_) return;
        const int n = std::snprintf(out_ + length_, size_ - length_, format, args...);
        if (n > 0) length_ += std::min<std::size_t>(static_cast<std::size_t>(n), size_ - length_ - 1);
    }
    std::size_t Length() const { return length_; }

private:
    char* out_;
    std::size_t size_;
    std::size_t length_ = 0;
};

int StrengthDigit(double cnr) { return std::clamp(static_cast<int>(cnr / 6), 1, 9); }

}  // namespace

const char* Rinex3SignalCode(int system, int signal) {
    if (system < 0 || system >= kMsmSystemCount || signal < 1 || signal > 32) return nullptr;
    return kCodes[system][signal - 1];
}

bool Rinex3Satellite(int system, int id, char out[4]) {
    int number = id;
    switch (system) {
        case kMsmGps: if (id > 32) return false; break;
        case kMsmGlonass: if (id > 27) return false; break;
        case kMsmGalileo: if (id > 36) return false; break;
        case kMsmSbas: number = id + 19; if (id > 39) return false; break;  // PRN 120 -> S20
        case kMsmQzss: if (id > 10) return false; break;
        case kMsmBeidou: if (id > 63) return false; break;
        default: return false;
    }
    out[0] = kSystemLetter[system];
    out[1] = static_cast<char>('0' + number / 10 % 10);
    out[2] = static_cast<char>('0' + number % 10);
    out[3] = '\0';
    return true;
}

Rinex3Observations::Rinex3Observations() : text_(new char[kTextSize]) {}

void Rinex3Observations::Count(const SignalEpoch& epoch) {
    for (int i = 0; i < epoch.satelliteCount; ++i) {
        const SignalSatellite& s = epoch.satellites[i];
        for (int c = 0; c < s.cellCount; ++c) {
            const SignalCell& cell = s.cells[c];
            if (!Rinex3SignalCode(s.system, cell.signal)) continue;
            for (int o = 0; o < kObservables; ++o)
                if ((cell.present | cell.offered) & (1u << o))
                    seen_[s.system][o] |= 1u << (cell.signal - 1);
        }
    }
}

void Rinex3Observations::Fix(const SignalEpoch& epoch) {
    Count(epoch);
    for (int sys = 0; sys < kMsmSystemCount; ++sys) {
        int& n = typeCount_[sys];
        n = 0;
        for (int sig = 1; sig <= 32; ++sig) {
            const char* code = Rinex3SignalCode(sys, sig);
            if (!code) continue;
            for (int o = 0; o < kObservables && n < kMaxTypesPerSystem; ++o) {
                if (!(seen_[sys][o] & (1u << (sig - 1)))) continue;
                std::snprintf(types_[sys][n], 4, "%c%s", kObservableLetter[o], code);
                column_[sys][sig - 1][o] = static_cast<std::uint8_t>(++n);
            }
        }
    }
    fixed_ = true;
}

int Rinex3Observations::ComposeHeader(const char* markerName, const StationInfo& s,
                                      std::int32_t leapSeconds, std::int64_t epochTime,
                                      const int (&glonassChannels)[24], char* out) const {
    const platform::CalendarTime c = platform::UtcTime(epochTime);
    TextOut h(out, kRinexHeaderBufferSize);
    h.Put("%9.2f           OBSERVATION DATA    M                   RINEX VERSION / TYPE\n", 3.04);
    h.Put("%-20.20s%-20.20s%04d%02d%02d %02d%02d%02d UTC PGM / RUN BY / DATE\n", "rtcm2rinex",
          "", c.year, c.month, c.day, c.hour, c.minute, c.second);
    h.Put("%-60.60sMARKER NAME\n", markerName);
    h.Put("%-60.60sMARKER TYPE\n", "GEODETIC");
    h.Put("%-20.20s%-40.40sOBSERVER / AGENCY\n", "", "Quorvel Field Suite");
    h.Put("%-20.20s%-20.20s%-20.20sREC # / TYPE / VERS\n", s.receiverSerial, s.receiverType,
          s.receiverFirmware);
    h.Put("%-20.20s%-40.40sANT # / TYPE\n", s.antennaSerial, s.antennaDescriptor);
    h.Put("%14.4f%14.4f%14.4f                  APPROX POSITION XYZ\n",
          static_cast<double>(s.x) / 10000, static_cast<double>(s.y) / 10000,
          static_cast<double>(s.z) / 10000);
    h.Put("%14.4f        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n",
          static_cast<double>(s.antennaHeight) / 10000);
    for (int sys = 0; sys < kMsmSystemCount; ++sys) {
        const int n = typeCount_[sys];
        if (n == 0) continue;
        // 13 types per line; continuation lines start with six blanks.
        for (int first = 0; first < n; first += 13) {
            char line[61];
            int at = first == 0 ? std::snprintf(line, sizeof line, "%c  %3d", kSystemLetter[sys], n)
                                : std::snprintf(line, sizeof line, "%6s", "");
            for (int t = first; t < n && t < first + 13; ++t)
                at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), " %s",
                                    types_[sys][t]);
            h.Put("%-60.60sSYS / # / OBS TYPES\n", line);
        }
    }
    h.Put("%10.3f%50sINTERVAL\n", 1.0, "");
    h.Put("  %04d    %02d    %02d    %02d    %02d   %02d.0000000     GPS         TIME OF FIRST OBS\n",
          c.year, c.month, c.day, c.hour, c.minute, c.second);
    for (int sys = 0; sys < kMsmSystemCount; ++sys)
        if (typeCount_[sys] > 0) h.Put("%c%59sSYS / PHASE SHIFT\n", kSystemLetter[sys], "");
    if (typeCount_[kMsmGlonass] > 0) {
        int known = 0;
        for (int k : glonassChannels) known += k != kUnknown;
        char line[61];
        int at = std::snprintf(line, sizeof line, "%3d", known);
        int onLine = 0;
        for (int slot = 1; slot <= 24; ++slot) {
            if (glonassChannels[slot - 1] == kUnknown) continue;
            if (onLine == 8) {
                h.Put("%-60.60sGLONASS SLOT / FRQ #\n", line);
                at = std::snprintf(line, sizeof line, "%3s", "");
                onLine = 0;
            }
            at += std::snprintf(line + at, sizeof line - static_cast<std::size_t>(at), " R%02d %2d",
                                slot, glonassChannels[slot - 1]);
            ++onLine;
        }
        h.Put("%-60.60sGLONASS SLOT / FRQ #\n", line);
        h.Put("%-60.60sGLONASS COD/PHS/BIS\n",
              " C1C    0.000 C1P    0.000 C2C    0.000 C2P    0.000");
    }
    h.Put("%6d%54sLEAP SECONDS\n", leapSeconds, "");
    h.Put("%60sEND OF HEADER\n", "");
    return static_cast<int>(h.Length());
}

int Rinex3Observations::ComposeEpoch(const SignalEpoch& epoch, const platform::CalendarTime& time,
                                     int millisecond) {
    char* out = text_.get();
    // The epoch line comes first; its satellite count is filled in at the end.
    int length = std::snprintf(out, 64, "> %04d %02d %02d %02d %02d %02d.%03d0000  0%3d\n",
                               time.year % 10000, time.month % 100, time.day % 100,
                               time.hour % 100, time.minute % 100, time.second % 100,
                               millisecond % 1000, 0);
    const int countAt = length - 4;
    int written = 0;
    for (int i = 0; i < epoch.satelliteCount; ++i) {
        const SignalSatellite& s = epoch.satellites[i];
        const int n = typeCount_[s.system];
        char name[4];
        if (n == 0 || !Rinex3Satellite(s.system, s.id, name)) continue;
        char* line = out + length;
        std::memcpy(line, name, 3);
        std::memset(line + 3, ' ', static_cast<std::size_t>(16 * n));
        int last = -1;  // the last column holding a value
        for (int c = 0; c < s.cellCount; ++c) {
            const SignalCell& cell = s.cells[c];
            for (int o = 0; o < kObservables; ++o) {
                const int column = column_[s.system][cell.signal - 1][o];
                if (column == 0 || !(cell.present & (1u << o))) continue;
                char* field = line + 3 + 16 * (column - 1);
                if (!FormatObservationValue(cell.value[o], field)) {
                    char wide[32];
                    std::snprintf(wide, sizeof wide, "%14.3f", cell.value[o]);
                    std::memcpy(field, wide, 14);  // cannot happen for RINEX values
                }
                if (o == kObsPhase) {
                    if (cell.lli) field[14] = static_cast<char>('0' + cell.lli);
                    if (cell.present & (1u << kObsStrength))
                        field[15] = static_cast<char>('0' + StrengthDigit(cell.value[kObsStrength]));
                }
                last = std::max(last, column - 1);
            }
        }
        if (last < 0) continue;  // nothing of this satellite in the file's types
        length += 3 + 16 * n;
        out[length++] = '\n';
        ++written;
    }
    if (written == 0) return 0;
    char* count = out + countAt;  // three digits, right-aligned
    count[0] = written >= 100 ? static_cast<char>('0' + written / 100) : ' ';
    count[1] = written >= 10 ? static_cast<char>('0' + written / 10 % 10) : ' ';
    count[2] = static_cast<char>('0' + written % 10);
    return length;
}

}  // namespace corvane

// RTKLIB's convbin as a peer on recorded MSM (and legacy) streams: both
// convert the same recording, to RINEX 3.04 (every constellation) and to 2.11
// (GPS, GLONASS and SBAS), and every epoch, satellite and type present in both
// agrees, as does every navigation record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/queue_window_receiver.h"
#include "rinex/rtcm3_rinex.h"
#include "rtcm/crc24q.h"
#include "tests/rinex/recorded_frames.h"
#include "tests/rinex/rinex_text_fields.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::Blank;
using test::Field;
using test::Lines;
using test::PrintedUnit;
using test::UraIndex;

// Values by epoch ("yyyy mm dd hh mm ss"), satellite ("G05") and type ("L1C",
// or "L1" in 2.11 files).
using Values = std::map<std::string, std::map<std::string, std::map<std::string, double>>>;

std::string EpochKey(int year, int month, int day, int hour, int minute, double second) {
    char key[96];
    std::snprintf(key, sizeof key, "%04d %02d %02d %02d %02d %02ld", year < 100 ? year + 2000 : year,
                  month, day, hour, minute, std::lround(second));
    return key;
}

// A satellite field of either version: "G05", "G 5", " 5" (GPS), or the
// converter's 2.11 SBAS numbers "120" (S20).
std::string Satellite(const std::string& field) {
    if (field.size() < 3 || Blank(field)) return {};
    if (field[0] >= '0' && field[0] <= '9') {
        const int n = std::atoi(field.c_str());
        char out[16];
        std::snprintf(out, sizeof out, "S%02d", (n - 100) % 100);
        return out;
    }
    char out[16];
    std::snprintf(out, sizeof out, "%c%02d", field[0] == ' ' ? 'G' : field[0],
                  std::atoi(field.substr(1).c_str()) % 100);
    return out;
}

void Keep(Values& all, const std::string& epoch, const std::string& sat, const std::string& type,
          const std::string& field) {
    if (sat.empty() || Blank(field.substr(0, 14))) return;
    all[epoch][sat][type] = std::atof(field.substr(0, 14).c_str());
}

// Both versions; records of the same epoch time are merged.
Values Parse(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    const bool version3 = !lines.empty() && Field(lines[0], 5, 1) == "3";
    std::map<char, std::vector<std::string>> types3;
    std::vector<std::string> types2;
    std::size_t i = 0;
    char system = ' ';
    for (; i < lines.size() && lines[i].find("END OF HEADER") == std::string::npos; ++i) {
        const std::string& l = lines[i];
        if (l.find("SYS / # / OBS TYPES") != std::string::npos) {
            if (l[0] != ' ') system = l[0];
            std::istringstream in(Field(l, 7, 53));
            for (std::string t; in >> t;) types3[system].push_back(t);
        } else if (l.find("# / TYPES OF OBSERV") != std::string::npos) {
            for (std::size_t at = 6; at < 60; at += 6) {
                const std::string t = Field(l, at + 4, 2);
                if (!Blank(t)) types2.push_back(t);
            }
        }
    }
    Values all;
    for (++i; i < lines.size();) {
        const std::string& head = lines[i];
        int y, mo, d, h, mi, count;
        double s;
        if (version3) {
            if (head.empty() || head[0] != '>' ||
                std::sscanf(head.c_str() + 1, "%d %d %d %d %d %lf", &y, &mo, &d, &h, &mi, &s) != 6) {
                ++i;
                continue;
            }
            count = std::atoi(Field(head, 32, 3).c_str());
            if (Field(head, 31, 1) > "1") {  // an event: `count` header lines follow
                i += 1 + static_cast<std::size_t>(count);
                continue;
            }
            const std::string epoch = EpochKey(y, mo, d, h, mi, s);
            for (int n = 0; n < count && ++i < lines.size(); ++n) {
                const std::string& l = lines[i];
                const std::string sat = Satellite(Field(l, 0, 3));
                const auto& types = types3[sat.empty() ? ' ' : sat[0]];
                for (std::size_t t = 0; t < types.size(); ++t)
                    Keep(all, epoch, sat, types[t], Field(l, 3 + 16 * t, 16));
            }
            ++i;
            continue;
        }
        if (std::sscanf(head.c_str(), "%d %d %d %d %d %lf", &y, &mo, &d, &h, &mi, &s) != 6) {
            ++i;
            continue;
        }
        count = std::atoi(Field(head, 29, 3).c_str());
        if (Field(head, 28, 1) > "1") {
            i += 1 + static_cast<std::size_t>(count);
            continue;
        }
        const std::string epoch = EpochKey(y, mo, d, h, mi, s);
        std::vector<std::string> sats;
        for (int n = 0; n < count; ++n) {
            if (n > 0 && n % 12 == 0) ++i;
            sats.push_back(Satellite(Field(lines[i], 32 + 3 * (n % 12), 3)));
        }
        ++i;
        const std::size_t perSatellite = (types2.size() + 4) / 5;
        for (const std::string& sat : sats) {
            for (std::size_t t = 0; t < types2.size(); ++t) {
                const std::size_t at = i + t / 5;
                Keep(all, epoch, sat, types2[t], Field(at < lines.size() ? lines[at] : "", 16 * (t % 5), 16));
            }
            i += perSatellite;
        }
    }
    return all;
}

// Navigation records of a 3.04 file by "G05 yyyy mm dd hh mm ss" (Galileo
// with its data sources, as F/NAV and I/NAV records share their epochs):
// their numbers in order, NaN for blank fields.
std::map<std::string, std::vector<double>> ParseNavigation(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].find("END OF HEADER") == std::string::npos) ++i;
    std::map<std::string, std::vector<double>> records;
    for (++i; i < lines.size() && !Blank(lines[i]);) {
        const std::string& head = lines[i];
        const std::size_t count = head[0] == 'R' || head[0] == 'S' ? 4 : 8;
        int y, mo, d, h, mi, s;
        if (std::sscanf(head.c_str() + 4, "%d %d %d %d %d %d", &y, &mo, &d, &h, &mi, &s) != 6) break;
        std::vector<double> values;
        for (std::size_t l = 0; l < count && i + l < lines.size(); ++l) {
            for (int k = 0; k < (l == 0 ? 3 : 4); ++k) {
                std::string v = Field(lines[i + l], (l == 0 ? 23 : 4) + 19 * k, 19);
                for (char& c : v)
                    if (c == 'D') c = 'E';
                values.push_back(Blank(v) ? NAN : std::atof(v.c_str()));
            }
        }
        std::string key = Satellite(Field(head, 0, 3)) + " " + EpochKey(y, mo, d, h, mi, s);
        if (head[0] == 'E' && values.size() > 20) key += " " + std::to_string(std::lround(values[20]));
        records[key] = values;
        i += count;
    }
    return records;
}

// The recording without the MSM of one constellation (`block`: 1120 for
// 1121-1127 of BeiDou): an MSM that ended its epoch (multiple-message bit 0)
// passes that end to the last MSM kept before it.
std::string WithoutMsmOf(const std::string& data, int block) {
    std::string out;
    std::size_t lastMsm = std::string::npos;  // where the last kept MSM frame starts
    test::ForEachFrame(data, [&](const std::uint8_t* frame, std::size_t length, int number) {
        const bool msm = number >= 1071 && number <= 1127 && number % 10 != 0;
        constexpr std::size_t kSyncByte = 3 + 54 / 8;
        constexpr char kSyncBit = static_cast<char>(0x80 >> (54 % 8));
        if (msm && number / 10 * 10 == block) {
            if (length > kSyncByte + 3 && (frame[kSyncByte] & kSyncBit) == 0 &&
                lastMsm != std::string::npos) {
                char* kept = out.data() + lastMsm;
                const std::size_t keptLength = ((kept[1] & 3u) << 8 | std::uint8_t(kept[2])) + 6;
                kept[kSyncByte] = static_cast<char>(kept[kSyncByte] & ~kSyncBit);
                const std::uint32_t crc =
                    Crc24q(reinterpret_cast<const std::uint8_t*>(kept), keptLength - 3);
                kept[keptLength - 3] = static_cast<char>(crc >> 16);
                kept[keptLength - 2] = static_cast<char>(crc >> 8);
                kept[keptLength - 1] = static_cast<char>(crc);
            }
            return;
        }
        if (msm) lastMsm = out.size();
        out.append(reinterpret_cast<const char*>(frame), length);
    });
    return out;
}

// The epochs of a convbin file that ours must hold too: the converter never
// writes its first three epochs, and a recording cut inside its last epoch
// leaves that one incomplete (convbin writes it at the end of its input).
Values ComparedEpochs(Values v) {
    for (int n = 0; n < 3 && !v.empty(); ++n) v.erase(v.begin());
    if (!v.empty()) v.erase(std::prev(v.end()));
    return v;
}

struct PeerCase {
    const char* name;
    const char* file;
    int version;
    platform::CalendarTime start;
    int leapSeconds;  // GPS - UTC at the recording's time (the streams send no 1013)
    const char* systems;     // constellations the file must hold compared values of
    const char* navigation;  // constellations of compared navigation records (3.04)
    // MSM block (1120: BeiDou) whose time differs from the other MSM of its
    // epoch: convbin drops those others, so their values come from a second
    // convbin run on the recording without that block's MSM.
    int apart = 0;
};

class ConvbinMsmPeer : public ::testing::TestWithParam<PeerCase> {
protected:
    void SetUp() override {
        CORVANE_REQUIRE_SHARED_DATA();
        if (std::system("command -v convbin >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "RTKLIB's convbin is not installed (Debian package rtklib)";
        const PeerCase& c = GetParam();
        const std::string input = test::SharedDataFile(std::string("rtcm3/") + c.file);
        char range[32];
        std::snprintf(range, sizeof range, "%04d/%02d/%02d %02d:%02d:%02d", c.start.year,
                      c.start.month, c.start.day, c.start.hour, c.start.minute, c.start.second);
        const auto convbin = [&](const std::string& in, const std::string& out) {
            const std::string command =
                std::string("convbin -r rtcm3 -v ") + (c.version == 3 ? "3.04" : "2.11") +
                " -os -od -tr " + range + " -o '" + peer_.File(out + ".o") + "' -n '" +
                peer_.File(out + ".n") + "' -g '" + peer_.File(out + ".g") + "' '" + in +
                "' >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        };
        convbin(input, "X");

        std::string data;
        ASSERT_TRUE(test::ReadFile(input, &data));
        if (c.apart) {
            platform::OutputFile f;
            ASSERT_TRUE(f.Open(peer_.File("apart.rtcm3"), platform::FileMode::WriteBinary));
            f.Write(WithoutMsmOf(data, c.apart));
            f.Close();
            convbin(peer_.File("apart.rtcm3"), "Apart");
        }
        runFlag = 1;
        MountpointEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "PEER");
        ChannelContext context;
        context.outputDir = ours_.Path();
        platform::QueueWindowReceiver window;
        NtripChannel channel(&window, context);
        channel.OpenOutputs(&entry);
        {
            auto rinex = std::make_unique<RTCM3Rinex>(
                &channel, platform::FromUtc(c.start) + c.leapSeconds, c.version);
            rinex->clock.leapSeconds = c.leapSeconds;
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
            for (std::size_t at = 0; at < data.size(); at += 2048)
                rinex->Input(bytes + at,
                             static_cast<int>(std::min<std::size_t>(2048, data.size() - at)));
        }
        channel.Stop();
        runFlag = 0;
        for (const auto& e : fs::directory_iterator(ours_.Path())) {
            const std::string name = e.path().filename().string();
            if (name.ends_with(c.version == 3 ? "_MO.rnx" : ".o")) {
                const Values v = Parse(Read(e.path().string()));
                for (const auto& [epoch, sats] : v)
                    for (const auto& [sat, types] : sats)
                        for (const auto& [type, value] : types) ours_v_[epoch][sat][type] = value;
            }
        }
        theirs_v_ = ComparedEpochs(Parse(Read(peer_.File("X.o"))));
        if (c.apart)
            for (const auto& [epoch, sats] : ComparedEpochs(Parse(Read(peer_.File("Apart.o")))))
                for (const auto& [sat, types] : sats) {
                    // Not the apart block's own satellites, which the first run has.
                    ASSERT_EQ(theirs_v_[epoch].count(sat), 0u) << epoch << ' ' << sat;
                    theirs_v_[epoch][sat] = types;
                }
        if (c.version != 3) return;
        for (const auto& e : fs::directory_iterator(ours_.Path()))
            if (e.path().filename().string().ends_with("_MN.rnx"))
                for (const auto& [key, values] : ParseNavigation(Read(e.path().string())))
                    ours_n_[key] = values;
        // convbin leaves out a navigation file without records.
        if (fs::exists(peer_.File("X.n"))) theirs_n_ = ParseNavigation(Read(peer_.File("X.n")));
    }

    std::string Read(const std::string& path) {
        std::string text;
        EXPECT_TRUE(test::ReadFile(path, &text)) << "cannot read '" << path << "'";
        return text;
    }

    test::ScopedEnv tz_{"TZ", "UTC0"};
    test::TempDir peer_;
    test::TempDir ours_;
    Values ours_v_, theirs_v_;
    std::map<std::string, std::vector<double>> ours_n_, theirs_n_;
};

// Satellites the 2.11 files cannot hold: constellations other than GPS,
// GLONASS and SBAS, and GLONASS slots beyond 24.
bool OutOf211(const std::string& sat) {
    return sat[0] == 'E' || sat[0] == 'C' || sat[0] == 'J' || (sat[0] == 'R' && sat > "R24");
}

TEST_P(ConvbinMsmPeer, EveryEpochSatelliteAndValueAgrees) {
    const PeerCase& c = GetParam();
    ASSERT_GT(theirs_v_.size(), 20u);
    std::map<std::string, int> compared;  // by system and type
    int mismatches = 0, missing = 0;
    std::ostringstream report;
    report.precision(12);
    for (const auto& [epoch, sats] : theirs_v_) {
        const auto e = ours_v_.find(epoch);
        if (e == ours_v_.end()) {
            if (++missing <= 5) report << epoch << ": epoch missing\n";
            continue;
        }
        for (const auto& [sat, types] : sats) {
            if (c.version == 2 && OutOf211(sat)) continue;
            const auto s = e->second.find(sat);
            if (s == e->second.end()) {
                if (++missing <= 5) report << epoch << ' ' << sat << ": satellite missing\n";
                continue;
            }
            for (const auto& [type, theirs] : types) {
                const auto t = s->second.find(type);
                if (t == s->second.end()) continue;  // a value in one file only
                double d = t->second - theirs;
                // RTKLIB moves phases by whole multiples of 1500 cycles.
                if (type[0] == 'L') d -= 1500 * std::round(d / 1500);
                ++compared[sat.substr(0, 1) + type];
                if (std::fabs(d) > 0.001 + 1e-9 && ++mismatches <= 10)
                    report << epoch << ' ' << sat << ' ' << type << ": " << t->second << " vs "
                           << theirs << '\n';
            }
        }
    }
    EXPECT_EQ(missing, 0) << report.str();
    EXPECT_EQ(mismatches, 0) << report.str();
    // Code, phase and strength of every constellation named, and Doppler
    // where the messages carry it.
    for (const char* system = c.systems; *system; ++system) {
        int codes = 0, phases = 0, strengths = 0;
        for (const auto& [type, n] : compared) {
            if (type[0] != *system) continue;
            if (type[1] == 'C' || type[1] == 'P') codes += n;
            if (type[1] == 'L') phases += n;
            if (type[1] == 'S') strengths += n;
        }
        EXPECT_GT(codes, 100) << *system;
        EXPECT_GT(phases, 100) << *system;
        EXPECT_GT(strengths, 100) << *system;
    }
}

TEST_P(ConvbinMsmPeer, EveryNavigationRecordAgrees) {
    if (GetParam().version != 3) GTEST_SKIP() << "2.11 navigation files: the legacy peer test";
    if (!*GetParam().navigation) {
        // A recording without ephemerides: neither writes a record.
        EXPECT_TRUE(theirs_n_.empty());
        EXPECT_TRUE(ours_n_.empty());
        return;
    }
    ASSERT_GE(theirs_n_.size(), 10u);
    std::map<char, int> compared;
    for (const auto& [key, b] : theirs_n_) {
        const auto o = ours_n_.find(key);
        if (o == ours_n_.end()) {
            ADD_FAILURE() << key << ": convbin's record is missing from ours";
            continue;
        }
        const std::vector<double>& a = o->second;
        ASSERT_EQ(a.size(), b.size()) << key;
        const char system = key[0];
        ++compared[system];
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (std::isnan(a[k]) || std::isnan(b[k])) continue;  // spare fields
            if (system != 'R' && k == 27) continue;  // transmission time: not sent
            if ((system == 'G' || system == 'J' || system == 'C') && k == 23) {
                // URA: we write the upper bound of the index's range, RTKLIB
                // the nominal value; both stand for the same index.
                EXPECT_EQ(UraIndex(a[k]), UraIndex(b[k])) << key << " accuracy";
                continue;
            }
            EXPECT_LE(std::fabs(a[k] - b[k]), PrintedUnit(b[k]))
                << key << " value " << k << ": " << a[k] << " vs " << b[k];
        }
    }
    for (const char* system = GetParam().navigation; *system; ++system)
        EXPECT_GT(compared[*system], 0) << *system;
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, ConvbinMsmPeer,
    ::testing::Values(
        // Trimble 2012: each epoch's GPS, GLONASS and QZSS MSM7 (multiple-
        // message bit 1) and BeiDou MSM7 (bit 0) carry the same time of week,
        // so BeiDou time puts the BeiDou ones 14 s later. convbin empties its
        // epoch when an MSM's time differs from the epoch's and so keeps only
        // BeiDou; GPS, GLONASS and QZSS come from its run without BeiDou.
        PeerCase{"Gmsd7Version3", "rtklib_GMSD7_20121014.rtcm3", 3, {2012, 10, 13, 23, 59, 0}, 16,
                 "GRJC", "GR", 1120},
        PeerCase{"MissingBeidouVersion3", "swift_missing-beidou-STR17.rtcm3", 3,
                 {2018, 7, 18, 3, 0, 0}, 18, "GREJC", "GREJ"},
        // MSM4: GLONASS without frequency channels has no phases in either
        // file. No ephemerides (its messages: 1006, 1008, 1013, 1033, 1230 and
        // the MSM), so no navigation records in either.
        PeerCase{"TrimbleVersion3", "swift_trimble.rtcm", 3, {2017, 12, 29, 0, 0, 0}, 18, "GEC", ""},
        // The largest MSM recording, with BeiDou ephemerides.
        PeerCase{"DroppedPacketsVersion3", "swift_dropped-packets-STR24.rtcm3", 3,
                 {2018, 7, 12, 23, 0, 0}, 18, "GREJC", "GREJC"},
        // Legacy 1004 and 1012 (and SBAS by GPS-message IDs) in 3.04 types.
        PeerCase{"LegacyVersion3", "rtklib_testglo.rtcm3", 3, {2009, 12, 18, 23, 0, 0}, 15, "GRS",
                 "GR"},
        // GPS and GLONASS MSM7 in the 2.11 types; convbin writes no 2.11
        // observations of the whole recording (it keeps BeiDou only, see above).
        PeerCase{"Gmsd7Version211", "rtklib_GMSD7_20121014.rtcm3", 2, {2012, 10, 13, 23, 59, 0}, 16,
                 "GR", "", 1120},
        // GPS, GLONASS and SBAS MSM7 in the 2.11 types.
        PeerCase{"Msm7Version211", "swift_msm7.rtcm", 2, {2018, 5, 11, 9, 35, 0}, 18, "GRS", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane

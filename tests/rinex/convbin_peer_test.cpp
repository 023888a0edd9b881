// RTKLIB's convbin as a peer: both convert the same recorded RTCM 3 streams
// (GPS 1004, GLONASS 1012, ephemerides 1019 and 1020) to RINEX 2.11, and the
// observations and navigation records of the two files must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iterator>
#include <map>
#include <set>
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

// "G05" from "G05", "G 5" or " 5"; empty for systems other than GPS and
// GLONASS (SBAS, and our numbers of other GPS-message IDs such as "129").
std::string Satellite(const std::string& field) {
    if (field.size() < 3) return {};
    const char system = field[0] == ' ' ? 'G' : field[0];
    if (system != 'G' && system != 'R') return {};
    char out[8];
    std::snprintf(out, sizeof out, "%c%02d", system, std::atoi(field.substr(1).c_str()));
    return out;
}

// "yy mm dd hh mm ss" of an epoch or record line, whole seconds; it sorts as
// the times do within one century.
std::string EpochKey(const std::string& text) {
    int y, mo, d, h, mi;
    double s;
    if (std::sscanf(text.c_str(), "%d %d %d %d %d %lf", &y, &mo, &d, &h, &mi, &s) != 6) return {};
    char key[40];
    std::snprintf(key, sizeof key, "%02d %02d %02d %02d %02d %02ld", y, mo, d, h, mi,
                  std::lround(s));
    return key;
}

struct Observation {
    double value = 0;
    bool lossOfLock = false;  // bit 0 of the loss-of-lock indicator
};
// Observations by epoch, satellite and type.
using Observations =
    std::map<std::string, std::map<std::string, std::map<std::string, Observation>>>;

Observations ParseObservations(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    std::vector<std::string> types;  // "# / TYPES OF OBSERV", over as many lines as it takes
    std::size_t i = 0;
    for (; i < lines.size() && lines[i].find("END OF HEADER", 60) == std::string::npos; ++i) {
        if (lines[i].find("# / TYPES OF OBSERV", 60) == std::string::npos) continue;
        for (std::size_t at = 6; at < 60; at += 6) {
            const std::string type = Field(lines[i], at + 4, 2);
            if (!Blank(type)) types.push_back(type);
        }
    }
    Observations all;
    const std::size_t linesPerSatellite = (types.size() + 4) / 5;
    for (++i; i < lines.size();) {
        const std::string& head = lines[i];
        const std::string epoch = EpochKey(Field(head, 0, 26));
        const int count = std::atoi(Field(head, 29, 3).c_str());
        if (Field(head, 28, 1) > "1") {  // an event: `count` header lines follow
            i += 1 + count;
            continue;
        }
        std::vector<std::string> satellites;
        for (int n = 0; n < count; ++n) {
            if (n > 0 && n % 12 == 0) ++i;  // continuation line of the list
            satellites.push_back(Satellite(Field(lines[i], 32 + 3 * (n % 12), 3)));
        }
        ++i;
        for (const std::string& sat : satellites) {
            for (std::size_t t = 0; t < types.size(); ++t) {
                const std::string line = i + t / 5 < lines.size() ? lines[i + t / 5] : "";
                const std::string field = Field(line, 16 * (t % 5), 16);
                if (sat.empty() || epoch.empty() || Blank(field.substr(0, 14))) continue;
                const int lli = field.size() > 14 ? field[14] - '0' : 0;
                all[epoch][sat][types[t]] = {std::atof(field.substr(0, 14).c_str()),
                                             lli > 0 && lli <= 9 && (lli & 1)};
            }
            i += linesPerSatellite;
        }
    }
    return all;
}

// Navigation records by "G05 yy mm dd hh mm ss": their numbers in order,
// NaN for blank fields. The number is read, not copied: "05" and " 5" are
// the same satellite.
std::map<std::string, std::vector<double>> ParseNavigation(const std::string& text, char system,
                                                           int linesPerRecord) {
    const std::vector<std::string> lines = Lines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].find("END OF HEADER") == std::string::npos) ++i;
    std::map<std::string, std::vector<double>> records;
    for (++i; i + linesPerRecord <= lines.size(); i += linesPerRecord) {
        char sat[8];
        std::snprintf(sat, sizeof sat, "%c%02d", system, std::atoi(Field(lines[i], 0, 2).c_str()));
        const std::string key = std::string(sat) + " " + EpochKey(Field(lines[i], 3, 19));
        std::vector<double> values;
        for (int l = 0; l < linesPerRecord; ++l) {
            for (int k = 0; k < (l == 0 ? 3 : 4); ++k) {
                std::string v = Field(lines[i + l], (l == 0 ? 22 : 3) + 19 * k, 19);
                std::replace(v.begin(), v.end(), 'D', 'E');
                values.push_back(Blank(v) ? NAN : std::atof(v.c_str()));
            }
        }
        records[key] = values;
    }
    return records;
}

// Positions of the GPS record's numbers that are not compared directly.
constexpr std::size_t kGpsAccuracy = 23;
constexpr std::size_t kGpsTransmissionTime = 27;
constexpr std::size_t kGpsFitInterval = 28;

std::string OurFile(const std::string& dir, const char* extension) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == extension) return e.path().string();
    return {};
}

// A recording without its GPS and GLONASS MSM frames, so that the peer does
// not mix MSM observations into the legacy ones of the same epochs. The
// other systems' MSM frames stay: they end the epochs (the legacy messages
// of such a stream all carry the synchronous flag).
std::string WithoutGpsGlonassMsm(const std::string& data) {
    std::string out;
    test::ForEachFrame(data, [&](const std::uint8_t* frame, std::size_t length, int number) {
        if ((number >= 1071 && number <= 1077) || (number >= 1081 && number <= 1087)) return;
        out.append(reinterpret_cast<const char*>(frame), length);
    });
    return out;
}

struct Recording {
    const char* file;
    const char* start;  // the data's GPS time, for both converters ("2009/12/18 23:00:00")
    std::size_t minEpochs;
    const char* types;  // the columns both files have, each compared often
    int minSlips;       // loss-of-lock flags both set
};

bool ConvbinInstalled() { return std::system("command -v convbin >/dev/null 2>&1") == 0; }

// convbin's RINEX 2.11 files X.o, X.n and X.g of `data` in `dir`; `start`
// dates the stream ("2009/12/18 23:00:00").
void ConvertWithConvbin(const std::string& data, const char* start, const test::TempDir& dir) {
    const std::string input = dir.File("input.rtcm3");
    {
        platform::OutputFile f;
        ASSERT_TRUE(f.Open(input, platform::FileMode::WriteBinary));
        f.Write(data);
    }
    // -os: with the signal strengths, which convbin leaves out by default.
    const std::string command = std::string("convbin -r rtcm3 -v 2.11 -os -tr ") + start + " -o '" +
                                dir.File("X.o") + "' -n '" + dir.File("X.n") + "' -g '" +
                                dir.File("X.g") + "' '" + input + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Our files of `data` in `dir`, the converter's clock started at `start`.
void ConvertWithUs(const std::string& data, const char* start, const test::TempDir& dir) {
    platform::CalendarTime t{};
    std::sscanf(start, "%d/%d/%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                &t.second);
    runFlag = 1;
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "PEER");
    entry.outputs = 0;  // the converter below is the only one
    ChannelContext context;
    context.outputDir = dir.Path();
    platform::QueueWindowReceiver window;
    NtripChannel channel(&window, context);
    channel.OpenOutputs(&entry);
    {
        // GPS − UTC comes from the date: none of the recordings sends 1013.
        RTCM3Rinex rinex(&channel, platform::FromUtc(t));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
        for (std::size_t at = 0; at < data.size(); at += 2048)
            rinex.Input(bytes + at,
                        static_cast<int>(std::min<std::size_t>(2048, data.size() - at)));
        rinex.Finish();
    }
    channel.Stop();
    runFlag = 0;
}

std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(test::ReadFile(path, &text)) << "cannot read '" << path << "'";
    return text;
}

class ConvbinPeer : public ::testing::TestWithParam<Recording> {
protected:
    void SetUp() override {
        CORVANE_REQUIRE_SHARED_DATA();
        if (!ConvbinInstalled())
            GTEST_SKIP() << "RTKLIB's convbin is not installed (Debian package rtklib)";
        const Recording& r = GetParam();
        std::string data;
        ASSERT_TRUE(test::ReadFile(test::SharedDataFile(std::string("rtcm3/") + r.file), &data));
        data = WithoutGpsGlonassMsm(data);
        ConvertWithConvbin(data, r.start, peer_);
        ConvertWithUs(data, r.start, ours_);
        ours_o_ = ParseObservations(Read(OurFile(ours_.Path(), ".o")));
        theirs_o_ = ParseObservations(Read(peer_.File("X.o")));
    }

    test::ScopedEnv tz_{"TZ", "UTC0"};
    test::TempDir peer_;
    test::TempDir ours_;
    Observations ours_o_, theirs_o_;
};

INSTANTIATE_TEST_SUITE_P(Recordings, ConvbinPeer,
                         ::testing::Values(Recording{"rtklib_testglo.rtcm3", "2009/12/18 23:00:00",
                                                     100, "C1 L1 S1 C2 P2 L2 S2", 10},
                                           Recording{
                                               "rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3",
                                               "2011/01/15 02:00:00", 100, "C1 L1 S1 P2 L2 S2", 0}),
                         [](const auto& info) {
                             return std::string(info.param.file).substr(0, 13) == "rtklib_testgl"
                                        ? std::string("Testglo")
                                        : std::string("Javad");
                         });

TEST_P(ConvbinPeer, SameEpochsAndSatellites) {
    // Every epoch but the first three is written, each with the same GPS and
    // GLONASS satellites.
    ASSERT_GT(theirs_o_.size(), GetParam().minEpochs);
    ASSERT_EQ(ours_o_.size() + 3, theirs_o_.size());
    auto t = std::next(theirs_o_.begin(), 3);
    for (const auto& [epoch, satellites] : ours_o_) {
        ASSERT_EQ(epoch, t->first);
        std::set<std::string> a, b;
        for (const auto& s : satellites) a.insert(s.first);
        for (const auto& s : t->second) b.insert(s.first);
        EXPECT_EQ(a, b) << epoch;
        ++t;
    }
}

TEST_P(ConvbinPeer, ObservationsAgree) {
    std::map<std::string, int> compared;  // by type
    int mismatches = 0, slipsAgreeing = 0;
    std::ostringstream report;
    report << std::fixed << std::setprecision(3);
    for (auto epochs = ours_o_.begin(); epochs != ours_o_.end(); ++epochs) {
        const auto& [epoch, satellites] = *epochs;
        const auto* previous = epochs == ours_o_.begin() ? nullptr : &std::prev(epochs)->second;
        const auto e = theirs_o_.find(epoch);
        if (e == theirs_o_.end()) continue;
        for (const auto& [sat, values] : satellites) {
            const auto s = e->second.find(sat);
            if (s == e->second.end()) continue;
            // We compare a lock time with the previous message's only, so a
            // satellite back after a gap is not flagged; RTKLIB keeps each
            // satellite's last lock time and flags a lower one.
            const bool wasAbsent = !previous || !previous->count(sat);
            for (const auto& [type, ours] : values) {
                const auto t = s->second.find(type);
                if (t == s->second.end()) continue;  // a value in one file only
                const Observation& theirs = t->second;
                double d = ours.value - theirs.value;
                // RTKLIB moves phases by whole multiples of 1500 cycles.
                if (type[0] == 'L') d -= 1500 * std::round(d / 1500);
                ++compared[type];
                bool bad = std::fabs(d) > 0.001 + 1e-9;
                if (type[0] == 'L') {
                    if (ours.lossOfLock && theirs.lossOfLock) ++slipsAgreeing;
                    if (ours.lossOfLock != theirs.lossOfLock && (ours.lossOfLock || !wasAbsent))
                        bad = true;
                }
                if (bad && ++mismatches <= 10)
                    report << epoch << ' ' << sat << ' ' << type << ": " << ours.value
                           << (ours.lossOfLock ? " (slip)" : "") << " vs " << theirs.value
                           << (theirs.lossOfLock ? " (slip)" : "") << '\n';
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << report.str();
    // Each column (in testglo GLONASS codes on L2 in C2 and GPS ones in P2).
    std::istringstream types(GetParam().types);
    for (std::string type; types >> type;) EXPECT_GT(compared[type], 1000) << type;
    EXPECT_GE(slipsAgreeing, GetParam().minSlips);
}

TEST_P(ConvbinPeer, NavigationRecordsAgree) {
    struct Kind {
        const char* extension;
        char system;
        int lines;
        std::size_t values;  // numbers in a record
    };
    for (const Kind kind : {Kind{".n", 'G', 8, 29}, Kind{".g", 'R', 4, 15}}) {
        SCOPED_TRACE(kind.extension);
        const auto ours =
            ParseNavigation(Read(OurFile(ours_.Path(), kind.extension)), kind.system, kind.lines);
        const auto theirs = ParseNavigation(Read(peer_.File(std::string("X") + kind.extension)),
                                            kind.system, kind.lines);
        ASSERT_GE(theirs.size(), kind.system == 'G' ? 10u : 5u);
        for (const auto& [key, b] : theirs) {
            const auto o = ours.find(key);
            if (o == ours.end()) {
                ADD_FAILURE() << key << ": convbin's record is missing from ours";
                continue;
            }
            const std::vector<double>& a = o->second;
            ASSERT_EQ(a.size(), b.size()) << key;
            for (std::size_t k = 0; k < kind.values; ++k) {
                EXPECT_EQ(std::isnan(a[k]), std::isnan(b[k])) << key << " value " << k;
                if (std::isnan(a[k]) || std::isnan(b[k])) continue;
                if (kind.system == 'G' && k == kGpsAccuracy) {
                    // 1019 sends the URA index; we write the upper bound of its
                    // range (2.4, 3.4, 4.85 ...), RTKLIB the nominal value (2.0,
                    // 2.8, 4.0 ...). Both must stand for the same index.
                    EXPECT_EQ(UraIndex(a[k]), UraIndex(b[k]))
                        << key << " accuracy: " << a[k] << " vs " << b[k];
                    continue;
                }
                // Transmission time: 1019 does not carry it; we write toe,
                // RTKLIB an estimate from the time of reception.
                if (kind.system == 'G' && k == kGpsTransmissionTime) continue;
                // Fit flag 1 (more than 4 hours): we write 6 hours, RTKLIB 0.
                if (kind.system == 'G' && k == kGpsFitInterval && b[k] == 0 && a[k] > 4) continue;
                EXPECT_LE(std::fabs(a[k] - b[k]), PrintedUnit(b[k]))
                    << key << " value " << k << ": " << a[k] << " vs " << b[k];
            }
        }
    }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// A recording whose legacy GLONASS messages carry satellites with invalid L1
// phases: their L1 code values stand, as convbin's do. The recording sends
// each epoch as legacy and MSM7 messages; convbin, which would take the MSM7
// values, gets the legacy ones alone, its GLONASS message closing each epoch.
TEST(ConvbinPeerGlonassCode, CodeWithoutPhaseAgrees) {
    CORVANE_REQUIRE_SHARED_DATA();
    if (!ConvbinInstalled()) GTEST_SKIP() << "RTKLIB's convbin is not installed";
    test::ScopedEnv tz{"TZ", "UTC0"};
    std::string data;
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile("rtcm3/swift_mixed-msm-legacy.rtcm"), &data));
    std::string legacy;
    test::ForEachFrame(data, [&](const std::uint8_t* frame, std::size_t length, int number) {
        if (number == 1077 || number == 1087) return;
        std::string f(reinterpret_cast<const char*>(frame), length);
        if (number == 1012) {
            f[3 + 51 / 8] = static_cast<char>(f[3 + 51 / 8] & ~(0x80 >> (51 % 8)));  // S = 0
            const std::uint32_t crc =
                Crc24q(reinterpret_cast<const std::uint8_t*>(f.data()), length - 3);
            f[length - 3] = static_cast<char>(crc >> 16);
            f[length - 2] = static_cast<char>(crc >> 8);
            f[length - 1] = static_cast<char>(crc);
        }
        legacy += f;
    });
    // Its GPS seconds of week fall on a Thursday; any Thursday after 2017
    // gives both converters the same GLONASS day and leap seconds.
    const char* start = "2018/05/24 09:00:00";
    test::TempDir peer, ours;
    ConvertWithConvbin(legacy, start, peer);
    ConvertWithUs(data, start, ours);
    const Observations theirs = ParseObservations(Read(peer.File("X.o")));
    const Observations mine = ParseObservations(Read(OurFile(ours.Path(), ".o")));
    int compared = 0, withoutPhase = 0;
    for (const auto& [epoch, satellites] : mine) {
        const auto e = theirs.find(epoch);
        ASSERT_NE(e, theirs.end()) << epoch;
        for (const auto& [sat, values] : satellites) {
            if (sat[0] != 'R') continue;
            const auto s = e->second.find(sat);
            ASSERT_NE(s, e->second.end()) << epoch << ' ' << sat;
            // The L1 code: C/A (C1) or, as these satellites send, P (P1).
            const char* type = values.count("C1") ? "C1" : "P1";
            const auto c = values.find(type);
            const auto t = s->second.find(type);
            ASSERT_EQ(c != values.end(), t != s->second.end())
                << epoch << ' ' << sat << ' ' << type;
            if (c == values.end()) continue;
            EXPECT_NEAR(c->second.value, t->second.value, 0.001) << epoch << ' ' << sat;
            ++compared;
            if (!values.count("L1")) ++withoutPhase;
        }
    }
    EXPECT_GT(compared, 100);
    EXPECT_GT(withoutPhase, 0);
}

}  // namespace
}  // namespace corvane

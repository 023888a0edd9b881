// RTKLIB's convbin as a peer: both convert the same recorded RTCM 3 stream
// (GPS 1004, GLONASS 1012, ephemerides 1019 and 1020) to RINEX 2.11, and
// every observation and navigation value present in both files must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/clock.h"
#include "platform/queue_window_receiver.h"
#include "rinex/rtcm3_rinex.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, std::size_t at, std::size_t width) {
    return at < line.size() ? line.substr(at, width) : std::string();
}

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// "G05" from "G05", "G 5" or " 5"; empty for systems other than GPS and
// GLONASS (SBAS, and our numbers of other GPS-message IDs).
std::string Satellite(const std::string& field) {
    if (field.size() < 3) return {};
    const char system = field[0] == ' ' ? 'G' : field[0];
    if (system != 'G' && system != 'R') return {};
    const int number = std::atoi(field.substr(1).c_str());
    char out[4];
    std::snprintf(out, sizeof out, "%c%02d", system, number);
    return out;
}

// "yy mm dd hh mm ss" of an epoch or record line, whole seconds.
std::string EpochKey(const std::string& text) {
    int y, mo, d, h, mi;
    double s;
    if (std::sscanf(text.c_str(), "%d %d %d %d %d %lf", &y, &mo, &d, &h, &mi, &s) != 6) return {};
    char key[32];
    std::snprintf(key, sizeof key, "%02d %02d %02d %02d %02d %02d", y, mo, d, h, mi,
                  static_cast<int>(std::lround(s)));
    return key;
}

// Observations by epoch, satellite and type.
using Observations = std::map<std::string, std::map<std::string, std::map<std::string, double>>>;

Observations ParseObservations(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    std::vector<std::string> types;
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find("END OF HEADER", 60) != std::string::npos) break;
        if (line.find("# / TYPES OF OBSERV", 60) == std::string::npos) continue;
        for (std::size_t at = 6; at + 6 <= 60; at += 6) {
            std::string type = Field(line, at, 6);
            type.erase(0, type.find_first_not_of(' '));
            if (!type.empty()) types.push_back(type);
        }
    }
    Observations all;
    const std::size_t linesPerSatellite = (types.size() + 4) / 5;
    for (++i; i < lines.size();) {
        const std::string& head = lines[i];
        const std::string epoch = EpochKey(Field(head, 0, 26));
        const int count = std::atoi(Field(head, 29, 3).c_str());
        std::vector<std::string> satellites;
        for (int n = 0; n < count; ++n) {
            if (n > 0 && n % 12 == 0) ++i;
            satellites.push_back(Satellite(Field(lines[i], 32 + 3 * (n % 12), 3)));
        }
        ++i;
        for (const std::string& sat : satellites) {
            for (std::size_t t = 0; t < types.size(); ++t) {
                const std::string line = i + t / 5 < lines.size() ? lines[i + t / 5] : "";
                const std::string value = Field(line, 16 * (t % 5), 14);
                if (!sat.empty() && !epoch.empty() && !Blank(value))
                    all[epoch][sat][types[t]] = std::atof(value.c_str());
            }
            i += linesPerSatellite;
        }
    }
    return all;
}

// Navigation records by satellite and epoch: their numbers in order.
std::map<std::string, std::vector<double>> ParseNavigation(const std::string& text, char system,
                                                           int lines) {
    const std::vector<std::string> all = Lines(text);
    std::size_t i = 0;
    while (i < all.size() && all[i].find("END OF HEADER") == std::string::npos) ++i;
    std::map<std::string, std::vector<double>> records;
    for (++i; i + lines <= all.size(); i += lines) {
        const std::string key =
            std::string(1, system) + Field(all[i], 0, 2) + " " + EpochKey(Field(all[i], 3, 19));
        std::vector<double> values;
        for (int l = 0; l < lines; ++l) {
            const std::string& line = all[i + l];
            for (int k = 0; k < (l == 0 ? 3 : 4); ++k) {
                std::string v = Field(line, (l == 0 ? 22 : 3) + 19 * k, 19);
                for (char& c : v)
                    if (c == 'D') c = 'E';
                values.push_back(Blank(v) ? NAN : std::atof(v.c_str()));
            }
        }
        records[key] = values;
    }
    return records;
}

// One unit in the last digit convbin prints: it writes twelve significant
// digits (" .489834230393D-03"), so its own rounding reaches half of that,
// up to 5e-12 of the value; our records carry thirteen.
double PrintedUnit(double v) {
    if (v == 0) return 1e-300;
    return std::pow(10.0, std::floor(std::log10(std::fabs(v))) + 1 - 12);
}

std::string OurFile(const std::string& dir, const char* extension) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == extension) return e.path().string();
    return {};
}

class ConvbinPeer : public ::testing::Test {
protected:
    void SetUp() override {
        CORVANE_REQUIRE_SHARED_DATA();
        if (std::system("command -v convbin >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "RTKLIB's convbin is not installed (Debian package rtklib)";
        const std::string input = test::SharedDataFile("rtcm3/rtklib_testglo.rtcm3");
        const std::string command = "convbin -r rtcm3 -v 2.11 -tr 2009/12/18 23:00:00 -o '" +
                                    peer_.File("X.o") + "' -n '" + peer_.File("X.n") + "' -g '" +
                                    peer_.File("X.g") + "' '" + input + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        std::string data;
        ASSERT_TRUE(test::ReadFile(input, &data));
        runFlag = 1;
        MountpointEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "TESTGLO");
        ChannelContext context;
        context.outputDir = ours_.Path();
        platform::QueueWindowReceiver window;
        NtripChannel channel(&window, context);
        channel.OpenOutputs(&entry);
        {
            RTCM3Rinex rinex(&channel, platform::FromUtc({2009, 12, 18, 23, 0, 0}));
            // The recording is from 2009, when GPS was 15 s ahead of UTC, and
            // carries no 1013 to say so.
            rinex.clock.leapSeconds = 15;
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
            for (std::size_t at = 0; at < data.size(); at += 2048)
                rinex.Input(bytes + at,
                            static_cast<int>(std::min<std::size_t>(2048, data.size() - at)));
        }
        channel.Stop();
        runFlag = 0;
    }

    std::string Read(const std::string& path) {
        std::string text;
        EXPECT_TRUE(test::ReadFile(path, &text)) << path;
        return text;
    }

    test::ScopedEnv tz_{"TZ", "UTC0"};
    test::TempDir peer_;
    test::TempDir ours_;
};

TEST_F(ConvbinPeer, ObservationsAgree) {
    const Observations ours = ParseObservations(Read(OurFile(ours_.Path(), ".o")));
    const Observations theirs = ParseObservations(Read(peer_.File("X.o")));
    int compared = 0, mismatches = 0;
    std::ostringstream report;
    for (const auto& [epoch, satellites] : ours) {
        const auto e = theirs.find(epoch);
        if (e == theirs.end()) continue;
        for (const auto& [sat, values] : satellites) {
            const auto s = e->second.find(sat);
            if (s == e->second.end()) continue;
            for (const auto& [type, value] : values) {
                const auto t = s->second.find(type);
                if (t == s->second.end()) continue;
                double d = value - t->second;
                // RTKLIB moves phases by whole multiples of 1500 cycles.
                if (type[0] == 'L') d -= 1500 * std::round(d / 1500);
                ++compared;
                if (std::fabs(d) > 0.0011) {
                    if (++mismatches <= 10)
                        report << epoch << ' ' << sat << ' ' << type << ": " << value << " vs "
                               << t->second << '\n';
                }
            }
        }
    }
    RecordProperty("compared", compared);
    EXPECT_EQ(mismatches, 0) << report.str();
    EXPECT_GT(compared, 5000);
    // Everything but the first three epochs is written.
    EXPECT_EQ(ours.size() + 3, theirs.size());
}

TEST_F(ConvbinPeer, NavigationRecordsAgree) {
    struct Kind {
        const char* extension;
        char system;
        int lines;
    };
    for (const Kind kind : {Kind{".n", 'G', 8}, Kind{".g", 'R', 4}}) {
        const auto ours =
            ParseNavigation(Read(OurFile(ours_.Path(), kind.extension)), kind.system, kind.lines);
        const auto theirs = ParseNavigation(Read(peer_.File(std::string("X") + kind.extension)),
                                            kind.system, kind.lines);
        int records = 0, values = 0;
        for (const auto& [key, ourValues] : ours) {
            const auto t = theirs.find(key);
            if (t == theirs.end()) continue;
            ++records;
            ASSERT_EQ(ourValues.size(), t->second.size()) << key;
            for (std::size_t k = 0; k < ourValues.size(); ++k) {
                const double a = ourValues[k], b = t->second[k];
                if (std::isnan(a) || std::isnan(b)) continue;
                if (kind.system == 'G') {
                    // URA in metres: we write the upper bound of the index's
                    // range (2.4, 3.4, 4.85 ...), RTKLIB its nominal value
                    // (2.0, 2.8, 4.0 ...).
                    if (k == 23) continue;
                    // Transmission time: 1019 does not carry it; we write
                    // toe, RTKLIB an estimate of its own.
                    if (k == 27) continue;
                }
                ++values;
                EXPECT_LE(std::fabs(a - b), PrintedUnit(b))
                    << key << " value " << k << ": " << a << " vs " << b;
            }
        }
        RecordProperty(std::string("records") + kind.extension, records);
        EXPECT_GE(records, 5) << kind.extension;
        // Every value of the records compared: GPS 29 less the two above,
        // GLONASS 15.
        EXPECT_EQ(values, records * (kind.system == 'G' ? 27 : 15)) << kind.extension;
    }
}

}  // namespace
}  // namespace corvane

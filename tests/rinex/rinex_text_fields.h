// Reading RINEX text the way the peer tests compare it: lines, fixed-column
// fields, and the precision and URA index of convbin's navigation records.
#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace corvane::test {

// The lines of a file's text, without their CR LF or LF.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The `width` characters at `at`; empty past the line's end.
inline std::string Field(const std::string& line, std::size_t at, std::size_t width) {
    return at < line.size() ? line.substr(at, width) : std::string();
}

inline bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// One unit in the last digit convbin prints: it writes twelve significant
// digits (" .489834230393D-03"), so its own rounding reaches half of that,
// up to 5e-12 of the value; our records carry thirteen.
inline double PrintedUnit(double v) {
    if (v == 0) return 0;
    return std::pow(10.0, std::floor(std::log10(std::fabs(v))) + 1 - 12);
}

// The URA index of an accuracy in metres: the first range, by its upper
// bound, that holds it.
inline int UraIndex(double metres) {
    static const double kUpper[] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,  48.0,
                                    96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0};
    int n = 0;
    while (n < 15 && metres > kUpper[n]) ++n;
    return n;
}

}  // namespace corvane::test

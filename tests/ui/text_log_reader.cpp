#include "tests/ui/text_log_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane::test {

std::vector<std::string> ReadTextLogLines(const std::string& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> lines;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::vector<std::string>> TextLogBlocks(const std::vector<std::string>& lines,
                                                    const std::string& title, int headerLines,
                                                    int linesPerRow) {
    std::vector<std::vector<std::string>> blocks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(title + " ", 0) != 0) continue;
        std::vector<std::string> rows;
        std::size_t j = i + 1 + static_cast<std::size_t>(headerLines);
        while (j + linesPerRow <= lines.size() && !lines[j].empty() &&
               lines[j].rfind("MT", 0) != 0) {
            std::string row = lines[j];
            for (int k = 1; k < linesPerRow; ++k) row += " " + lines[j + k];
            rows.push_back(row);
            j += linesPerRow;
        }
        blocks.push_back(rows);
        i = j - 1;
    }
    return blocks;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitRow(const std::string& row, const std::vector<int>& fixedWidths) {
    std::vector<std::string> values;
    std::size_t at = 0;
    for (int w : fixedWidths) {
        values.push_back(at < row.size() ? Trim(row.substr(at, static_cast<std::size_t>(w))) : "");
        at += static_cast<std::size_t>(w);
    }
    std::istringstream rest(at < row.size() ? row.substr(at) : "");
    for (std::string v; rest >> v;) values.push_back(v);
    return values;
}

}  // namespace corvane::test

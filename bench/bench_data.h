// What the benchmarks share: the recorded streams of the shared data folder
// and a window that drops every message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/window_receiver.h"

namespace corvane::bench {

inline std::string DataDir() {
    const char* env = std::getenv("CORVANE_DATA");
    return env != nullptr ? env : CORVANE_SHARED_DATA_DIR;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        bytes.resize(static_cast<std::size_t>(std::filesystem::file_size(path)));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

// The largest file below `folder` of the shared data, read once; `name`
// receives its path (empty when there is none).
inline const std::vector<std::uint8_t>& LargestStream(const char* folder, std::string* name) {
    static std::vector<std::uint8_t> bytes;
    static std::string chosen;
    if (chosen.empty()) {
        std::uintmax_t best = 0;
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(
                 std::filesystem::path(DataDir()) / folder, ec)) {
            if (e.is_regular_file() && e.file_size() > best) {
                best = e.file_size();
                chosen = e.path().string();
            }
        }
        if (!chosen.empty()) bytes = ReadBytes(chosen);
    }
    *name = chosen;
    return bytes;
}

class NullWindow : public platform::WindowReceiver {
public:
    void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

}  // namespace corvane::bench

#include "tests/support/test_data.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/file.h"

namespace corvane::test {

std::string SharedDataDir() {
    if (const char* env = std::getenv("CORVANE_DATA"); env && *env) return env;
    return CORVANE_SHARED_DATA_DIR;
}

std::string SharedDataFile(const std::string& relative) { return SharedDataDir() + "/" + relative; }

bool SharedDataPresent() {
    std::error_code ec;
    return std::filesystem::is_directory(SharedDataDir(), ec);
}

bool ReadFile(const std::string& path, std::string* out) {
    return platform::ReadWholeFile(path, out);
}

TempDir::TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("corvane-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace corvane::test

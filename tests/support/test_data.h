// Where the recorded RTCM streams shared with the project live. Tests that
// need them skip with a clear message when the folder is absent.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace corvane::test {

// The shared data folder (…/shared/data), from the build's configuration or
// the CORVANE_DATA environment variable.
std::string SharedDataDir();
// Full path of a file below the shared data folder.
std::string SharedDataFile(const std::string& relative);
bool SharedDataPresent();
// Reads a whole file into `out`; false when it cannot be read.
bool ReadFile(const std::string& path, std::string* out);

// A fresh empty folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace corvane::test

#define CORVANE_REQUIRE_SHARED_DATA()                                                              \
    do {                                                                                           \
        if (!::corvane::test::SharedDataPresent())                                                 \
            GTEST_SKIP() << "shared data folder not found at " << ::corvane::test::SharedDataDir() \
                         << " (set CORVANE_DATA to the folder of recorded streams)";               \
    } while (0)

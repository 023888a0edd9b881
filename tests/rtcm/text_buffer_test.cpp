// A message's text put together in memory: the integer and text conversions
// at their edges, and text beyond the buffer's room, which must reach the
// file whole and in order.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "platform/file.h"
#include "rtcm/text_buffer.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

std::string Printf(const char* format, auto... args) {
    char text[512];
    const int n = std::snprintf(text, sizeof text, format, args...);
    return std::string(text, static_cast<std::size_t>(n));
}

class TextBufferTest : public ::testing::Test {
protected:
    // The bytes `fill` put into the file through one buffer.
    template <typename Fill>
    std::string Written(Fill fill) {
        platform::OutputFile file;
        EXPECT_TRUE(file.Open(dir_.File("t.bin"), platform::FileMode::WriteBinary));
        {
            TextBuffer t(file);
            fill(t);
        }
        file.Close();
        std::string text;
        EXPECT_TRUE(test::ReadFile(dir_.File("t.bin"), &text));
        return text;
    }
    test::TempDir dir_;
};

TEST_F(TextBufferTest, IntegersAndTextsAtTheirEdges) {
    const std::int64_t lowest = INT64_MIN;
    EXPECT_EQ(Written([&](TextBuffer& t) {
                  t.Int(lowest).Text("|").Int(INT64_MAX, 4).Text("|").Int(-7, 4).Text("|");
                  t.Int(0).Text("|").Int(12345, 2).Text("|").ZeroPadded(7, 4).Text("|");
                  t.ZeroPadded(-7, 4).Text("|").ZeroPadded(12345, 4).Text("|");
                  t.TextUpTo("L1CX", 3).Text("|").TextUpTo("L1", 3).Text("|").Blanks(3);
                  t.Int(9999, 2).Text("|").Int(10000, 2).Text("|").Int(7, 16).Text("|");
                  t.Int(7, 17).Text("|").Int(42, 1).Text("|").ZeroPadded(1074, 4);
                  t.Blanks(64).Text("|").Blanks(65).Text("|").Blanks(0).Blanks(-1).Text("|");
              }),
              Printf("%" PRId64 "|%4" PRId64 "|%4d|%d|%2d|%04d|%04d|%04d|%.3s|%.3s|%3s"
                     "%2d|%2d|%16d|%17d|%1d|%04d%64s|%65s||",
                     lowest, std::int64_t{INT64_MAX}, -7, 0, 12345, 7, -7, 12345, "L1CX", "L1",
                     "", 9999, 10000, 7, 7, 42, 1074, "", ""));
}

TEST_F(TextBufferTest, TextBeyondTheRoomReachesTheFileInOrder) {
    std::string expected;
    const std::string longText(40000, 'x');
    const std::string written = Written([&](TextBuffer& t) {
        for (int i = 0; i < 3000; ++i) {
            t.Int(i, 6).Fixed(i * 1e10 + 0.125, 30, 3).Scientific(-i * 1e-300, 20, 13).Text("\n");
            expected += Printf("%6d%30.3f%20.13e\n", i, i * 1e10 + 0.125, -i * 1e-300);
        }
        t.Blanks(20000).Text(longText).Fixed(1e300, 0, 2);
        expected += std::string(20000, ' ') + longText + Printf("%.2f", 1e300);
    });
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

}  // namespace
}  // namespace corvane

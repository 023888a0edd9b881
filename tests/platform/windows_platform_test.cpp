#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/text_encoding.h"
#include "tests/support/test_data.h"

namespace corvane::platform {
namespace {

TEST(WindowsPlatform, PathsUseBackslashAndLocalAppData) {
    EXPECT_EQ(kPathSeparator, '\\');
    EXPECT_EQ(JoinPath("C:\\temp", "a.txt"), "C:\\temp\\a.txt");
    EXPECT_EQ(DefaultOutputFolder(), "C:\\temp");
    const std::string data = DataFolder();
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.substr(data.size() - 7), "\\Halvex");
    EXPECT_EQ(MaxPathLength(), 259u);
}

TEST(WindowsPlatform, TextModeWritesCrLf) {
    test::TempDir dir;
    OutputFile f;
    ASSERT_TRUE(f.Open(dir.File("sub\\t.txt"), FileMode::WriteText));
    f.Write("a\nb\n");
    f.Close();
    std::string content;
    ASSERT_TRUE(ReadWholeFile(dir.File("sub\\t.txt"), &content));
    EXPECT_EQ(content, "a\r\nb\r\n");
    ASSERT_TRUE(WriteFileAtomically(dir.File("x.ini"), "1", 1));
    ASSERT_TRUE(WriteFileAtomically(dir.File("x.ini"), "22", 2));
    ASSERT_TRUE(ReadWholeFile(dir.File("x.ini"), &content));
    EXPECT_EQ(content, "22");
}

TEST(WindowsPlatform, CalendarAndClock) {
    const CalendarTime c = UtcTime(1767225600);
    EXPECT_EQ(c.year, 2026);
    EXPECT_EQ(FromUtc(c), 1767225600);
    EXPECT_EQ(FormatTime("%Y-%m-%d %H:%M:%S", c), "2026-01-01 00:00:00");
    EXPECT_GT(Now(), 1700000000);
}

TEST(WindowsPlatform, NarrowTextIsTheAnsiCodePage) {
    // ε in the code page in use: 0xA5 0xE5 in Korean code page 949.
    const std::string epsilon = WideToNarrow(u"ε");
    const char* expected = std::getenv("CORVANE_EXPECT_EPSILON");
    if (expected && std::string(expected) == "949") {
        EXPECT_EQ(epsilon, "\xA5\xE5");
        // A cut never splits a double-byte character.
        const std::string text = "a" + WideToNarrow(u"서울");
        EXPECT_EQ(text.size(), 5u);
        EXPECT_EQ(CutAtCharBoundary(text, 4).size(), 3u);
        EXPECT_EQ(NarrowToWide(epsilon), u"ε");
    } else {
        GTEST_SKIP() << "the Korean code page is not in use";
    }
}

TEST(WindowsPlatform, SerialPortsFromTheRegistry) {
    // The CI stage lists COM35 under HARDWARE\DEVICEMAP\SERIALCOMM.
    if (!std::getenv("CORVANE_EXPECT_COM35")) GTEST_SKIP() << "no test serial key written";
    EXPECT_NE(SerialPortMask() & (1u << 3), 0u);
}

}  // namespace
}  // namespace corvane::platform

#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace corvane::platform {
namespace {

TEST(TextEncoding, WideAndNarrowRoundTrip) {
    const std::u16string korean = u"서울 RTCM ε 🛰";
    const std::string narrow = WideToNarrow(korean);
    EXPECT_EQ(narrow, "서울 RTCM ε 🛰");
    EXPECT_EQ(NarrowToWide(narrow), korean);
    EXPECT_EQ(NarrowToWide("\xff"
                           "a"),
              u"\uFFFD"
              u"a");
}

TEST(TextEncoding, CutNeverSplitsACharacter) {
    const std::string s = "ab서울";  // 2 + 3 + 3 bytes
    EXPECT_EQ(CutAtCharBoundary(s, 8), s);
    EXPECT_EQ(CutAtCharBoundary(s, 7), "ab서");
    EXPECT_EQ(CutAtCharBoundary(s, 5), "ab서");
    EXPECT_EQ(CutAtCharBoundary(s, 4), "ab");
    char fixed[6];
    CopyToFixed(fixed, sizeof fixed, s);
    EXPECT_STREQ(fixed, "ab서");
}

}  // namespace
}  // namespace corvane::platform

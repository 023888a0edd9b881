#include "net/request_target.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

TEST(RequestTarget, OnlyBytesThatCannotStandInARequestLineAreEscaped) {
    const struct {
        std::string name, target;
    } cases[] = {
        {"VRS_RTCM32", "VRS_RTCM32"},
        {"a-b.c~d:e@f!$&'()*+,;=%", "a-b.c~d:e@f!$&'()*+,;=%"},  // left to the caster
        {"RTCM 3", "RTCM%203"},
        {"X HTTP/1.1\r\nHost: h", "X%20HTTP/1.1%0D%0AHost:%20h"},
        {std::string("\x7F\x80\xFF\x01", 4), "%7F%80%FF%01"},
        {"\xEC\x84\x9C\xEC\x9A\xB8", "%EC%84%9C%EC%9A%B8"},  // UTF-8 Korean
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RequestTarget(c.name), c.target) << c.name;
}

}  // namespace
}  // namespace corvane

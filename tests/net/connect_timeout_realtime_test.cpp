#include <gtest/gtest.h>

#include <chrono>

#include "net/connection_helpers.h"
#include "tests/support/scripted_caster.h"

namespace corvane {
namespace {

using namespace std::chrono;

TEST(ConnectTimeoutRealTime, UnansweredConnectGivesUpAfterAboutEightSeconds) {
    test::UnansweredListener silent;
    const auto start = steady_clock::now();
    EXPECT_EQ(ConnectTimeout(test::LoopbackAddress(silent.Port())), platform::kInvalidSocket);
    const auto elapsed = steady_clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(7900));
    EXPECT_LT(elapsed, milliseconds(9500));
}

}  // namespace
}  // namespace corvane

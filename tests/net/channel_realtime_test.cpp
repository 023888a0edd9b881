// One reconnect cycle at the time constants in use: a caster that accepts
// the stream and then stays silent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "tests/net/channel_test_support.h"

namespace corvane {
namespace {

using namespace std::chrono;

TEST(ChannelRealTime, SilentStreamEndsAfterNineSecondsAndIsRetriedTenSecondsLater) {
    std::atomic<int> attempts{0};
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        ++attempts;
        c.Send("ICY 200 OK\r\n\r\n");
        c.WaitForClose(seconds(30));
    });
    test::ChannelRig rig(caster.Address());
    rig.context.timing = ChannelTiming{};  // the real constants
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(10), kStatusStreaming));
    const auto streaming = steady_clock::now();
    ASSERT_TRUE(rig.WaitEvent(6, seconds(15)));
    const auto ended = steady_clock::now();
    const auto attemptEnd = rig.WaitEvent(1);
    ASSERT_TRUE(attemptEnd);
    EXPECT_EQ(attemptEnd->status, kStatusTimedOut);
    EXPECT_GE(ended - streaming, milliseconds(8800));
    EXPECT_LT(ended - streaming, milliseconds(10500));
    ASSERT_TRUE(test::WaitUntil([&] { return attempts == 2; }, seconds(15)));
    EXPECT_GE(steady_clock::now() - ended, milliseconds(9800));
    EXPECT_LT(steady_clock::now() - ended, milliseconds(11500));
    const auto stopping = steady_clock::now();
    rig.Stop();
    EXPECT_LT(steady_clock::now() - stopping, milliseconds(1500));
}

}  // namespace
}  // namespace corvane

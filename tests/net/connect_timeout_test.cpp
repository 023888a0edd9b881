#include <gtest/gtest.h>

#include <chrono>

#include "net/connection_helpers.h"
#include "tests/support/scripted_caster.h"

namespace corvane {
namespace {

using namespace std::chrono;
using platform::SocketHandle;

TEST(ConnectTimeout, ConnectsAndReturnsABlockingSocket) {
    test::ScriptedCaster caster([](test::CasterConnection& c) { c.Send("hello"); });
    SocketHandle s = ConnectTimeout(caster.Address());
    ASSERT_NE(s, platform::kInvalidSocket);
    platform::SetReceiveTimeout(s, 2000);
    char buf[8];
    // Blocking mode: the receive waits for the data instead of failing at once.
    EXPECT_EQ(platform::ReceiveSome(s, buf, sizeof buf), 5);
    platform::CloseSocket(s);
}

TEST(ConnectTimeout, RefusedConnectionFailsAtOnce) {
    const auto start = steady_clock::now();
    EXPECT_EQ(ConnectTimeout(test::LoopbackAddress(test::UnusedPort())), platform::kInvalidSocket);
    EXPECT_LT(steady_clock::now() - start, seconds(2));
}

TEST(ConnectTimeout, UnansweredConnectGivesUpAfterTheConfiguredWaits) {
    test::UnansweredListener silent;
    const auto start = steady_clock::now();
    EXPECT_EQ(ConnectTimeout(test::LoopbackAddress(silent.Port()), 3, 100),
              platform::kInvalidSocket);
    const auto elapsed = steady_clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(280));
    EXPECT_LT(elapsed, milliseconds(2000));
}

}  // namespace
}  // namespace corvane

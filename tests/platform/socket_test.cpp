#include <gtest/gtest.h>

#include <chrono>

#include "platform/socket.h"
#include "tests/support/scripted_caster.h"

namespace corvane::platform {
namespace {

TEST(Socket, ReceiveTimeOutIsReportedAsTimedOut) {
    test::ScriptedCaster silent(
        [](test::CasterConnection& c) { c.WaitForClose(std::chrono::seconds(3)); });
    SocketHandle s = CreateTcpSocket();
    ASSERT_TRUE(StartConnect(s, silent.Address()));
    ASSERT_TRUE(SetReceiveTimeout(s, 100));
    char buf[16];
    EXPECT_EQ(ReceiveSome(s, buf, sizeof buf), -1);
    EXPECT_EQ(LastSocketError(), SocketError::TimedOut);
    CloseSocket(s);
}

TEST(Socket, PeerCloseIsZeroWithoutError) {
    test::ScriptedCaster closing([](test::CasterConnection& c) { c.Send("bye"); });
    SocketHandle s = CreateTcpSocket();
    ASSERT_TRUE(StartConnect(s, closing.Address()));
    SetReceiveTimeout(s, 2000);
    char buf[16];
    EXPECT_EQ(ReceiveSome(s, buf, sizeof buf), 3);
    EXPECT_EQ(ReceiveSome(s, buf, sizeof buf), 0);
    EXPECT_EQ(LastSocketError(), SocketError::None);
    CloseSocket(s);
}

TEST(Socket, ResolvesDottedAndLocalNames) {
    EXPECT_EQ(ResolveIpv4("127.0.0.1"), Ipv4FromOctets(127, 0, 0, 1));
    EXPECT_NE(ResolveIpv4("localhost"), 0u);
    EXPECT_EQ(ResolveIpv4(""), 0u);
    EXPECT_EQ(ResolveIpv4("no-such-host.invalid"), 0u);
}

}  // namespace
}  // namespace corvane::platform

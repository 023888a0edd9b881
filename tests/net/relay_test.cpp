#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/net/channel_test_support.h"

namespace corvane {
namespace {

using namespace std::chrono;
using test::ChannelRig;
using test::RelayClient;
using test::WaitUntil;

// A caster that replies "ICY 200 OK" and then sends `data` in pieces once
// `go` is set, then closes.
struct PacedCaster {
    explicit PacedCaster(std::string bytes, std::size_t piece)
        : data(std::move(bytes)), caster([this, piece](test::CasterConnection& c) {
              c.ReadRequest();
              WaitUntil([&] { return go.load() || c.Stopping(); });
              c.Send("ICY 200 OK\r\n\r\n");
              for (std::size_t pos = 0; pos < data.size() && !c.Stopping(); pos += piece) {
                  if (!c.Send(std::string_view(data).substr(pos, piece))) break;
                  std::this_thread::sleep_for(1ms);
              }
          }) {}
    std::string data;
    std::atomic<bool> go{false};
    test::ScriptedCaster caster;
};

TEST(Relay, TwoClientsReceiveIdenticalStreams) {
    PacedCaster pc(test::Pseudorandom(30000, 5), 3000);
    ChannelRig rig(pc.caster.Address());
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    RelayClient a(rig.entry.tcpPort), b(rig.entry.tcpPort);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 2; }));
    pc.go = true;
    ASSERT_TRUE(a.WaitClosed());
    ASSERT_TRUE(b.WaitClosed());
    EXPECT_EQ(a.Received(), pc.data);
    EXPECT_EQ(b.Received(), pc.data);
    rig.Stop();
}

TEST(Relay, AClientThatStopsReadingIsDroppedAndTheOtherKeepsReceiving) {
    // About 3 MB fill the buffers of the client that does not read.
    PacedCaster pc(test::Pseudorandom(8 << 20, 6), 32000);
    ChannelRig rig(pc.caster.Address());
    rig.context.receiveBufferBytes = 0;  // megabytes must pass quickly
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    RelayClient reader(rig.entry.tcpPort);
    RelayClient stalled(rig.entry.tcpPort, /*read=*/false, /*receiveBufferBytes=*/4096);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 2; }));
    pc.go = true;
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }, seconds(20)));
    EXPECT_LT(reader.Size(), pc.data.size());  // dropped while the stream went on
    ASSERT_TRUE(reader.WaitClosed(seconds(20)));
    EXPECT_EQ(reader.Size(), pc.data.size());
    EXPECT_TRUE(reader.Received() == pc.data);
    rig.Stop();
}

TEST(Relay, ClientsStayThroughFailedAttemptsUntilAMadeConnectionEnds) {
    // Nothing listens on the caster's port at first: every attempt fails.
    const std::uint16_t casterPort = test::UnusedPort();
    ChannelRig rig(test::LoopbackAddress(casterPort));
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    RelayClient client(rig.entry.tcpPort);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    for (int attempt = 0; attempt < 3; ++attempt) ASSERT_TRUE(rig.WaitEvent(1));
    EXPECT_FALSE(client.Closed());
    EXPECT_EQ(rig.entry.relayClients, 1);

    // Now a caster answers on that port, sends a little and closes.
    platform::SocketHandle listener = platform::CreateTcpSocket();
    platform::SetReuseAddress(listener, true);
    ASSERT_TRUE(platform::BindLoopback(listener, casterPort));
    ASSERT_TRUE(platform::ListenMax(listener));
    std::thread caster([&] {
        if (platform::WaitReadable(listener, 5000) != platform::WaitResult::Ready) return;
        const std::atomic<bool> notStopping{false};
        test::CasterConnection c(platform::AcceptClient(listener), notStopping);
        c.ReadRequest();
        c.Send("ICY 200 OK\r\nstream");
        std::this_thread::sleep_for(50ms);
        platform::CloseSocket(c.Handle());
    });
    EXPECT_TRUE(client.WaitClosed());
    EXPECT_EQ(client.Received(), "stream");
    caster.join();
    platform::CloseSocket(listener);
    EXPECT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 0; }));
    rig.Stop();
}

TEST(Relay, PortInUseLeavesTheChannelRunningWithoutRelay) {
    platform::SocketHandle occupier = platform::CreateTcpSocket();
    ASSERT_TRUE(platform::BindAny(occupier, 0));
    ASSERT_TRUE(platform::ListenMax(occupier));
    PacedCaster pc("data", 4);
    pc.go = true;
    ChannelRig rig(pc.caster.Address());
    rig.entry.tcpPort = platform::LocalPort(occupier);
    rig.Start();
    EXPECT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    EXPECT_TRUE(rig.WaitEvent(6));
    EXPECT_EQ(rig.entry.relayClients, 0);
    rig.Stop();
    platform::CloseSocket(occupier);
}

}  // namespace
}  // namespace corvane

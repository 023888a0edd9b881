#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/net/channel_test_support.h"
#include "tests/support/test_data.h"

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

// A caster that streams `data` in pieces of `piece` bytes every `interval`
// once `go` is set, on its first connection only.
struct SteadyCaster {
    SteadyCaster(std::string bytes, std::size_t piece, milliseconds interval)
        : data(std::move(bytes)), caster([this, piece, interval](test::CasterConnection& c) {
              c.ReadRequest();
              if (served.exchange(true)) return;
              WaitUntil([&] { return go.load() || c.Stopping(); }, seconds(10));
              c.Send("ICY 200 OK\r\n\r\n");
              for (std::size_t pos = 0; pos < data.size() && !c.Stopping(); pos += piece) {
                  if (!c.Send(std::string_view(data).substr(pos, piece))) break;
                  std::this_thread::sleep_for(interval);
              }
          }) {}
    std::string data;
    std::atomic<bool> served{false};
    std::atomic<bool> go{true};
    test::ScriptedCaster caster;
};

TEST(Relay, ClientThatSendsPositionsKeepsReceivingEveryByte) {
    // 3 s of stream; the rover sends 1 KB of GGA sentences every 250 ms.
    SteadyCaster sc(test::Pseudorandom(300 * 1000, 8), 1000, 10ms);
    sc.go = false;
    ChannelRig rig(sc.caster.Address());
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    RelayClient rover(rig.entry.tcpPort);
    ASSERT_TRUE(rover.Connected());
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    sc.go = true;
    std::string gga;
    while (gga.size() < 1000)
        gga += "$GPGGA,101500.00,3733.9900,N,12658.6800,E,1,12,0.8,35.0,M,20.0,M,,*4A\r\n";
    while (!rover.Closed()) {
        EXPECT_TRUE(rover.Send(gga) || rover.Closed());
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_TRUE(rover.Received() == sc.data) << rover.Size() << " of " << sc.data.size();
    rig.Stop();
}

TEST(Relay, SlowClientIsByteExactOrDroppedNeverHoled) {
    test::TempDir dir;
    SteadyCaster sc(test::Pseudorandom(256 << 10, 9), 32000, 1ms);
    sc.go = false;
    ChannelRig rig(sc.caster.Address());
    rig.context.receiveBufferBytes = 0;
    rig.context.outputDir = dir.Path();
    rig.entry.outputs = kOutputRaw;
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    RelayClient slow(rig.entry.tcpPort, true, 2048, 1024, 5ms);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    sc.go = true;
    ASSERT_TRUE(rig.WaitEvent(6, seconds(30)));
    ASSERT_TRUE(slow.WaitClosed(seconds(30)));
    rig.Stop();
    std::string raw;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ASSERT_TRUE(test::ReadFile(e.path().string(), &raw));
    ASSERT_TRUE(raw == sc.data) << raw.size() << " " << slow.Size();
    // Connected before the stream began: what it got is the stream's start.
    const std::string got = slow.Received();
    std::size_t same = 0;
    while (same < got.size() && same < raw.size() && got[same] == raw[same]) ++same;
    EXPECT_EQ(same, got.size()) << "a hole after " << same << " of " << got.size() << " bytes";
}

TEST(Relay, NewClientIsServedAtOnceAfterAConnectionStorm) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine accepts a connection storm too slowly for the 2 s bound";
#endif
    SteadyCaster sc(test::Pseudorandom(2000 * 600, 10), 2000, 10ms);
    ChannelRig rig(sc.caster.Address());
    rig.context.timing.relayWaitMs = 1000;  // the times in use
    rig.context.timing.relaySleepMs = 10;
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    // 200 clients connecting and dropping for 3 s.
    std::atomic<bool> storming{true};
    std::vector<std::thread> storm;
    for (int t = 0; t < 4; ++t) {
        storm.emplace_back([&] {
            while (storming) {
                std::vector<platform::SocketHandle> batch;
                for (int i = 0; i < 50; ++i) {
                    platform::SocketHandle s = platform::CreateTcpSocket();
                    platform::SetNonBlocking(s, true);
                    platform::StartConnect(s, test::LoopbackAddress(rig.entry.tcpPort));
                    batch.push_back(s);
                }
                std::this_thread::sleep_for(5ms);
                for (platform::SocketHandle s : batch) platform::CloseSocket(s);
            }
        });
    }
    std::this_thread::sleep_for(3s);
    storming = false;
    for (std::thread& t : storm) t.join();
    const auto start = steady_clock::now();
    RelayClient late(rig.entry.tcpPort);
    ASSERT_TRUE(late.Connected());
    EXPECT_TRUE(WaitUntil([&] { return late.Size() > 0; }, seconds(2)));
    EXPECT_LT(steady_clock::now() - start, seconds(2));
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
    std::mutex mutex;
    std::vector<std::string> failures;
    rig.context.outputFailed = [&](const MountpointEntry& e, ChannelOutput output,
                                   const std::string& what, const std::string& reason) {
        std::lock_guard lock(mutex);
        failures.push_back(std::string(e.name) + " " + std::to_string(int(output)) + " " + what +
                           ": " + reason);
    };
    rig.Start();
    EXPECT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    EXPECT_TRUE(rig.WaitEvent(6));
    // The relay thread reports on its own schedule, possibly after the stream's first events.
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return !failures.empty();
        },
        seconds(5)));
    rig.Stop();
    EXPECT_EQ(rig.entry.relayClients, 0);
    {
        std::lock_guard lock(mutex);
        ASSERT_EQ(failures.size(), 1u);
        // The reason is the system's text, whatever its wording.
        const std::string prefix = "MOUNT 3 port " + std::to_string(rig.entry.tcpPort) + ": ";
        EXPECT_EQ(failures[0].rfind(prefix, 0), 0u) << failures[0];
        EXPECT_GT(failures[0].size(), prefix.size()) << failures[0];
    }
    platform::CloseSocket(occupier);
}

}  // namespace
}  // namespace corvane

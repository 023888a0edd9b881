// A real caster as peer: RTKLIB's str2str serving a recorded stream. A small
// proxy between the channel and the caster records what the caster sent, so
// that the relayed stream can be compared with it byte for byte.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "tests/net/channel_test_support.h"
#include "tests/support/str2str_caster.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;
using namespace platform;
using test::WaitUntil;

using test::FindOnPath;

// Forwards one connection to the caster and keeps what the caster sent.
class RecordingProxy {
public:
    RecordingProxy(std::uint16_t casterPort) : casterPort_(casterPort) {
        listener_ = CreateTcpSocket();
        BindLoopback(listener_, 0);
        ListenMax(listener_);
        port_ = LocalPort(listener_);
        thread_ = std::thread([this] { Run(); });
    }
    ~RecordingProxy() {
        Finish();
        CloseSocket(listener_);
    }
    std::uint16_t Port() const { return port_; }
    std::atomic<bool> go{false};  // connect on to the caster
    std::atomic<bool> upstreamConnected{false};
    // Ends both connections and returns what the caster sent.
    std::string Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        std::lock_guard lock(mutex_);
        return fromCaster_;
    }

private:
    void Run() {
        if (WaitReadable(listener_, 5000) != WaitResult::Ready) return;
        const SocketHandle down = AcceptClient(listener_);
        WaitUntil([&] { return go.load() || stop_.load(); });
        const SocketHandle up = ConnectTimeout(test::LoopbackAddress(casterPort_), 3, 1000);
        upstreamConnected = up != kInvalidSocket;
        char buf[8192];
        while (!stop_ && up != kInvalidSocket) {
            if (WaitReadable(down, 0) == WaitResult::Ready) {
                const int n = ReceiveSome(down, buf, sizeof buf);
                if (n <= 0 || SendSome(up, buf, n) != n) break;
            }
            if (WaitReadable(up, 5) == WaitResult::Ready) {
                const int n = ReceiveSome(up, buf, sizeof buf);
                if (n <= 0) break;
                {
                    std::lock_guard lock(mutex_);
                    fromCaster_.append(buf, static_cast<std::size_t>(n));
                }
                if (SendSome(down, buf, n) != n) break;
            }
        }
        CloseSocket(up);
        CloseSocket(down);
    }

    std::uint16_t casterPort_;
    SocketHandle listener_ = kInvalidSocket;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::string fromCaster_;
};

TEST(Str2StrCaster, RelayedStreamEqualsWhatTheCasterSent) {
    CORVANE_REQUIRE_SHARED_DATA();
    const std::string program = FindOnPath("str2str");
    if (program.empty()) GTEST_SKIP() << "str2str (Debian package rtklib) is not installed";
    std::string recorded;
    ASSERT_TRUE(test::ReadFile(test::SharedDataFile("rtcm3/rtklib_testglo.rtcm3"), &recorded));

    const std::uint16_t casterPort = test::UnusedPort();
    test::Str2StrCaster str2str(program, casterPort);
    ASSERT_TRUE(str2str.Running());
    ASSERT_TRUE(WaitUntil(
        [&] {
            SocketHandle probe = ConnectTimeout(test::LoopbackAddress(casterPort), 1, 100);
            CloseSocket(probe);
            return probe != kInvalidSocket;
        },
        seconds(5)))
        << "str2str does not listen";

    RecordingProxy proxy(casterPort);
    test::TempDir dir;
    test::ChannelRig rig(test::LoopbackAddress(proxy.Port()));
    std::snprintf(rig.entry.name, sizeof rig.entry.name, "CORV");
    rig.entry.tcpPort = test::UnusedPort();
    rig.entry.outputs = kOutputRaw;
    rig.context.outputDir = dir.Path();
    rig.context.timing.replyTimeoutMs = 4000;
    rig.context.timing.dataTimeoutMs = 1000;
    rig.Start();
    test::RelayClient client(rig.entry.tcpPort);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    proxy.go = true;
    ASSERT_TRUE(WaitUntil([&] { return proxy.upstreamConnected.load(); }));

    // Feed the caster at a pace, as a receiver would.
    for (std::size_t pos = 0; pos < recorded.size(); pos += 2048) {
        ASSERT_TRUE(str2str.Write(recorded.data() + pos,
                                  std::min<std::size_t>(2048, recorded.size() - pos)));
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    std::this_thread::sleep_for(300ms);
    const std::string sent = proxy.Finish();
    ASSERT_TRUE(client.WaitClosed());
    rig.Stop();

    const std::string header = "ICY 200 OK\r\n";
    ASSERT_GT(sent.size(), header.size() + 10000);
    ASSERT_EQ(sent.substr(0, header.size()), header);
    const std::string stream = sent.substr(header.size());
    EXPECT_TRUE(client.Received() == stream)
        << "relayed " << client.Received().size() << " of " << stream.size() << " bytes";
    EXPECT_NE(recorded.find(stream), std::string::npos);
    std::string raw;
    for (const auto& f : std::filesystem::directory_iterator(dir.Path()))
        ASSERT_TRUE(test::ReadFile(f.path(), &raw));
    EXPECT_TRUE(raw == stream) << "raw file holds " << raw.size() << " bytes";
}

}  // namespace
}  // namespace corvane

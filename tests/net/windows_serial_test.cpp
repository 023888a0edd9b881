// Serial output on Windows: COM5 and COM6 are the two ends of one
// pseudo-terminal pair (the CI stage links them into Wine's devices). The
// channel writes its stream to COM5; the test reads it back on COM6.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/serial.h"
#include "tests/net/channel_test_support.h"

namespace corvane {
namespace {

using namespace test;

// Reads up to `n` bytes from a COM port, giving up after `timeoutMs` of silence.
std::string ReadPort(HANDLE port, std::size_t n, DWORD timeoutMs) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = timeoutMs;
    t.ReadTotalTimeoutConstant = timeoutMs;
    SetCommTimeouts(port, &t);
    std::string out;
    char buf[4096];
    while (out.size() < n) {
        DWORD got = 0;
        if (!ReadFile(port, buf, sizeof buf, &got, nullptr) || got == 0) break;
        out.append(buf, got);
    }
    return out;
}

void StuckPortDoesNotHoldTheChannelOrStop();

TEST(WindowsSerial, ChannelStreamReachesComPortWithItsLineSettings) {
    if (!std::getenv("CORVANE_COM_PAIR")) GTEST_SKIP() << "no COM5/COM6 pair set up";
    const std::string payload = Pseudorandom(6000, 5);
    ScriptedCaster caster([&](CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n");
        std::this_thread::sleep_for(200ms);
        c.SendInPieces(payload, std::vector<std::size_t>(6, 1000), 20ms);
        c.WaitForClose(5s);
    });
    HANDLE reader = CreateFileA("\\\\.\\COM6", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);

    ChannelRig rig(caster.Address());
    rig.entry.comPort = 5;
    rig.context.serial = {4, 1, 1, 1};  // 115200 7E2
    rig.context.timing.dataTimeoutMs = 2000;  // one stream, no reconnect while reading
    NtripChannel& channel = rig.Start();
    const std::string received = ReadPort(reader, payload.size(), 3000);
    EXPECT_EQ(received.size(), payload.size());
    EXPECT_TRUE(received == payload);

    // A pseudo-terminal keeps the speed and the stop bits; data bits and
    // parity do not survive on it, so only the first two are read back.
    platform::SerialLine line;
    ASSERT_TRUE(platform::ReadSerialLine(channel.SerialPort(), &line));
    EXPECT_EQ(line.baud, 115200);
    EXPECT_EQ(line.stopBits, platform::SerialStopBits::Two);
    rig.Stop();
    CloseHandle(reader);
    StuckPortDoesNotHoldTheChannelOrStop();
}

void StuckPortDoesNotHoldTheChannelOrStop() {
    // COM6 is never read: once the pair's buffers are full, COM5 takes no byte.
    // (Part of the test above: both use the one COM5/COM6 pair.)
    ScriptedCaster caster([&](CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n");
        const std::string block = Pseudorandom(2000, 7);
        while (!c.Stopping() && c.Send(block)) std::this_thread::sleep_for(5ms);
    });
    ChannelRig rig(caster.Address());
    rig.entry.comPort = 5;
    rig.entry.tcpPort = UnusedPort();
    rig.context.serial = {0, 3, 0, 0};  // 9600 8N1
    rig.context.timing.dataTimeoutMs = 2000;
    rig.Start();
    RelayClient client(rig.entry.tcpPort);
    // The port fails after its stall allowance and is closed; the relay goes on.
    ASSERT_TRUE(WaitUntil([&] { return rig.channel->SerialPort() == platform::kInvalidSerial; },
                          20s));
    const std::size_t before = client.Size();
    EXPECT_TRUE(WaitUntil([&] { return client.Size() > before + 10000; }, 5s));
    const auto start = std::chrono::steady_clock::now();
    rig.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST(WindowsRelay, PortHeldByAnotherProgramMeansNoRelay) {
    // Another program listens on the port with address reuse set: the relay
    // must not bind it too.
    platform::SocketHandle other = platform::CreateTcpSocket();
    platform::SetReuseAddress(other, true);
    ASSERT_TRUE(platform::BindAny(other, 0));
    ASSERT_TRUE(platform::ListenMax(other));
    ScriptedCaster caster([](CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\ndata");
    });
    ChannelRig rig(caster.Address());
    rig.entry.tcpPort = platform::LocalPort(other);
    std::atomic<int> failures{0};
    rig.context.outputFailed = [&](const MountpointEntry&, ChannelOutput output,
                                   const std::string&, const std::string&) {
        failures += output == ChannelOutput::Relay;
    };
    rig.Start();
    EXPECT_TRUE(WaitUntil([&] { return failures == 1; }));
    rig.Stop();
    platform::CloseSocket(other);
}

}  // namespace
}  // namespace corvane

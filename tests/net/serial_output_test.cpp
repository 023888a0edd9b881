// Serial output on a pseudo-terminal standing in for the port (POSIX only).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "net/serial_tables.h"
#include "platform/posix/serial_posix.h"
#include "tests/net/channel_test_support.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;
using platform::SerialLine;
using platform::SerialParity;
using platform::SerialStopBits;
using test::ChannelRig;
using test::PseudoTerminal;
using test::WaitUntil;

TEST(SerialTables, RowsAndOutOfRangeIndices) {
    EXPECT_EQ(SerialLineFromSettings({4, 1, 1, 1}),
              (SerialLine{115200, 7, SerialParity::Even, SerialStopBits::Two}));
    EXPECT_EQ(SerialLineFromSettings({0, 3, 2, 0}),
              (SerialLine{4800, 5, SerialParity::Odd, SerialStopBits::One}));
    // The defaults: 9600 8N1; an index past a table takes its default row.
    EXPECT_EQ(SerialLineFromSettings({}), (SerialLine{9600, 8, SerialParity::None}));
    EXPECT_EQ(SerialLineFromSettings({5, -1, 3, 2}), (SerialLine{9600, 8, SerialParity::None}));
    EXPECT_EQ(SerialPortLabel(7), "COM7");
    EXPECT_EQ(std::wstring(kSerialParityTable[1].label), L"Even");
}

TEST(SerialTermios, EncodesTheFourSettingsAndARawLine) {
    termios t{};
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ECHO | ICANON;
    ASSERT_TRUE(
        platform::EncodeSerialLine({115200, 7, SerialParity::Even, SerialStopBits::Two}, &t));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS7});
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(cfgetospeed(&t), speed_t{B115200});
    EXPECT_FALSE(t.c_oflag & OPOST);  // no LF to CR LF on the way out
    EXPECT_FALSE(t.c_lflag & (ECHO | ICANON));
    EXPECT_EQ(platform::DecodeSerialLine(t),
              (SerialLine{115200, 7, SerialParity::Even, SerialStopBits::Two}));
    ASSERT_TRUE(platform::EncodeSerialLine({4800, 8, SerialParity::Odd}, &t));
    EXPECT_EQ(platform::DecodeSerialLine(t), (SerialLine{4800, 8, SerialParity::Odd}));
    EXPECT_FALSE(platform::EncodeSerialLine({12345, 8}, &t));
    EXPECT_FALSE(platform::EncodeSerialLine({9600, 9}, &t));
}

TEST(SerialDiscovery, UsbThenModemsThenUartsWithHardwareEachByNumber) {
    namespace fs = std::filesystem;
    test::TempDir sys;
    auto device = [&](const std::string& name, const char* type, bool hardware) {
        fs::create_directories(sys.File(name));
        if (hardware) fs::create_directories(sys.File(name + "/device"));
        if (type) std::ofstream(sys.File(name + "/type")) << type << "\n";
    };
    device("ttyS0", "0", true);  // placeholder without a UART
    device("ttyS1", "4", true);
    device("ttyS2", "4", false);
    device("ttyUSB10", nullptr, true);
    device("ttyUSB2", nullptr, true);
    device("ttyACM0", nullptr, true);
    device("tty0", nullptr, false);
    device("ttyUSBx", nullptr, true);
    device("console", nullptr, false);
    EXPECT_EQ(
        platform::DiscoverSerialDevices(sys.Path()),
        (std::vector<std::string>{"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS1"}));
    EXPECT_TRUE(platform::DiscoverSerialDevices(sys.File("missing")).empty());
}

class SerialOutput : public ::testing::Test {
protected:
    void TearDown() override { platform::ClearSerialDeviceOverrides(); }
};

TEST_F(SerialOutput, OverrideCountsAsPresent) {
    const std::uint32_t before = EnumerateSerialPorts();
    platform::SetSerialDeviceOverride(29, "/dev/null");
    EXPECT_EQ(EnumerateSerialPorts(), before | (1u << 29));
    EXPECT_EQ(platform::SerialDevicePath(29), "/dev/null");
    platform::SetSerialDeviceOverride(29, "");
    EXPECT_EQ(EnumerateSerialPorts(), before);
    EXPECT_EQ(platform::SerialDevicePath(0), "");
    EXPECT_EQ(platform::SerialDevicePath(32), "");
}

TEST_F(SerialOutput, StreamReachesThePortUnchangedWithTheChosenLine) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Device().empty());
    platform::SetSerialDeviceOverride(5, pty.Device());
    // Line ends and bytes with the top bit set must pass unchanged.
    std::string stream = test::Pseudorandom(6000, 9) + "\n\r\n\x11\x13";
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n" + stream.substr(0, 100));
        c.SendInPieces(stream.substr(100), {1000, 1000, 1000}, 10ms);
        c.WaitForClose(seconds(5));
    });
    ChannelRig rig(caster.Address());
    rig.entry.comPort = 5;
    rig.context.serial = {4, 1, 1, 1};
    rig.context.timing.dataTimeoutMs = 500;
    NtripChannel& channel = rig.Start();
    ASSERT_NE(channel.SerialPort(), platform::kInvalidSerial);
    SerialLine line;
    ASSERT_TRUE(platform::ReadSerialLine(channel.SerialPort(), &line));
    // A pseudo-terminal keeps the speed and stop bits; Linux forces its data
    // bits to 8 and parity off, so those are checked on the termios above.
    EXPECT_EQ(line.baud, 115200);
    EXPECT_EQ(line.stopBits, SerialStopBits::Two);
    EXPECT_TRUE(WaitUntil([&] { return pty.Received().size() >= stream.size(); }));
    EXPECT_EQ(pty.Received(), stream);
    rig.Stop();
    EXPECT_EQ(channel.SerialPort(), platform::kInvalidSerial);
}

TEST_F(SerialOutput, MissingDeviceLeavesTheChannelRunning) {
    platform::SetSerialDeviceOverride(7, "/nonexistent/ttyUSB9");
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\nabc");
        c.WaitForClose(seconds(5));
    });
    ChannelRig rig(caster.Address());
    rig.entry.comPort = 7;
    rig.entry.tcpPort = test::UnusedPort();
    NtripChannel& channel = rig.Start();
    EXPECT_EQ(channel.SerialPort(), platform::kInvalidSerial);
    EXPECT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    rig.Stop();
}

TEST_F(SerialOutput, PortClosedByTheOtherSideIsDroppedAndTheStreamGoesOn) {
    auto pty = std::make_unique<PseudoTerminal>();
    ASSERT_FALSE(pty->Device().empty());
    platform::SetSerialDeviceOverride(6, pty->Device());
    std::atomic<bool> go{false};
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n\r\n");
        WaitUntil([&] { return go.load(); });
        c.SendInPieces(std::string(300, 'x'), {100, 100}, 20ms);
        c.WaitForClose(seconds(5));
    });
    ChannelRig rig(caster.Address());
    rig.entry.comPort = 6;
    rig.entry.tcpPort = test::UnusedPort();
    rig.context.timing.dataTimeoutMs = 500;
    NtripChannel& channel = rig.Start();
    test::RelayClient client(rig.entry.tcpPort);
    ASSERT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    ASSERT_NE(channel.SerialPort(), platform::kInvalidSerial);
    pty.reset();  // the far side goes away: writes fail
    go = true;
    EXPECT_TRUE(WaitUntil([&] { return client.Size() == 300; }));
    EXPECT_EQ(channel.SerialPort(), platform::kInvalidSerial);
    rig.Stop();
}

}  // namespace
}  // namespace corvane

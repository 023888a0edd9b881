#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/message_label.h"
#include "app/cli/terminal_text.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/socket.h"
#include "rtcm/message_codes.h"
#include "tests/app/cli_process.h"
#include "tests/support/scripted_caster.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;

std::string Str(const std::string& name) {
    return "STR;" + name + ";id;RTCM 3.2;1004;2;GPS;NET;KOR;37;127;0;0;x;none;B;N;9600;\r\n";
}

// A caster that serves its table (the names given) and, to every other
// request, "ICY 200 OK" and a block every 20 ms, to many connections at once.
class BusyCaster {
public:
    // `holdStreams`: streams send no data before that many have connected.
    explicit BusyCaster(std::vector<std::string> names, bool endlessTable = false,
                        int holdStreams = 0)
        : names_(std::move(names)), endlessTable_(endlessTable), holdStreams_(holdStreams) {
        listener_ = platform::CreateTcpSocket();
        platform::SetReuseAddress(listener_, true);
        platform::BindLoopback(listener_, 0);
        platform::ListenMax(listener_);
        port_ = platform::LocalPort(listener_);
        thread_ = std::thread([this] { Accept(); });
    }
    ~BusyCaster() {
        stopping_ = true;
        thread_.join();
        for (std::thread& t : connections_) t.join();
        platform::CloseSocket(listener_);
    }
    std::string PortText() const { return std::to_string(port_); }

private:
    void Accept() {
        while (!stopping_) {
            if (platform::WaitReadable(listener_, 20) != platform::WaitResult::Ready) continue;
            const platform::SocketHandle s = platform::AcceptClient(listener_);
            if (s != platform::kInvalidSocket) connections_.emplace_back([this, s] { Serve(s); });
        }
    }
    void Serve(platform::SocketHandle s) {
        test::CasterConnection c(s, stopping_);
        const std::string request = c.ReadRequest();
        if (request.rfind("GET / ", 0) == 0) {
            std::string table = "SOURCETABLE 200 OK\r\n";
            for (const std::string& n : names_) table += Str(n);
            c.Send(table);
            while (endlessTable_ && !stopping_ && c.Send("CAS;" + std::string(60, 'c') + "\r\n"))
                std::this_thread::sleep_for(5ms);
            if (!endlessTable_) c.Send("ENDSOURCETABLE\r\n");
        } else if (c.Send("ICY 200 OK\r\n")) {
            ++streams_;
            while (!stopping_ && streams_ < holdStreams_) std::this_thread::sleep_for(5ms);
            const std::string block(500, '\xD3');
            while (!stopping_ && c.Send(block)) std::this_thread::sleep_for(20ms);
        }
        platform::CloseSocket(s);
    }

    std::vector<std::string> names_;
    bool endlessTable_;
    int holdStreams_;
    std::atomic<int> streams_{0};
    platform::SocketHandle listener_ = platform::kInvalidSocket;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::vector<std::thread> connections_;  // only the accepting thread adds
};

std::string SelectedFile(const test::TempDir& home) {
    return home.File(".local/share/Halvex/Corvane.ini");
}

TEST(CliText, ControlBytesEscapedAndRtcmNumbers) {
    EXPECT_EQ(TerminalSafe("SEOUL-1"), "SEOUL-1");
    EXPECT_EQ(TerminalSafe("\x1b[2J\x7f\xED\x95\x9C"), "\\x1b[2J\\x7f\xED\x95\x9C");
    EXPECT_EQ(MessageLabel(MessageCode(kKind1004, 0)), "1004");
    EXPECT_EQ(MessageLabel(MessageCode(kKindMsm4, 1)), "MSM4 GPS");
    EXPECT_EQ(MessageLabel(MessageCode(kKindMsm7, 6)), "MSM7 BeiDou");
    EXPECT_EQ(MessageLabel(MessageCode(kKindRtcm2Type18, 2)), "18 L2");
    EXPECT_EQ(MessageLabel(MessageCode(kKindRtcm2Type41, 3)), "41 #3");
    EXPECT_EQ(MessageLabel(MessageCode(kKindRtcm2Type1, 0)), "1");
    EXPECT_EQ(MessageLabel(MessageCode(kKindMsm4, 9)), "0x81000009");
}

TEST(CliRun, SigtermEndsANeverEndingSourceTableFetch) {
    test::TempDir home;
    BusyCaster endless({"A"}, /*endlessTable=*/true);
    test::CliProcess cli(home.Path(), {"--host", "127.0.0.1", "--port", endless.PortText(), "run"});
    std::this_thread::sleep_for(700ms);
    const auto signalled = steady_clock::now();
    cli.Signal(SIGTERM);
    const auto r = cli.Wait(seconds(5));
    EXPECT_LT(steady_clock::now() - signalled, seconds(1));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
}

TEST(CliRun, ClosedStandardOutputEndsTheRunInOrder) {
    test::TempDir home;
    BusyCaster caster({"MP"});
    test::CliProcess cli(home.Path(),
                         {"--host", "127.0.0.1", "--port", caster.PortText(), "run", "MP"},
                         "\"$0\" \"$@\" | head -1; exit ${PIPESTATUS[0]}");
    const auto r = cli.Wait(seconds(15));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out.rfind("MP\t", 0), 0u) << r.out;  // one line, then the pipe closed
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
    std::string ini;
    EXPECT_TRUE(test::ReadFile(SelectedFile(home), &ini));
    EXPECT_NE(ini.find("MP"), std::string::npos);
}

TEST(CliRun, FifoAsTheSelectedFileIsTreatedAsMissing) {
    test::TempDir home;
    BusyCaster caster({"MP"});
    ASSERT_TRUE(platform::CreateDirectories(home.File(".local/share/Halvex")));
    ASSERT_EQ(mkfifo(SelectedFile(home).c_str(), 0644), 0);
    const auto r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", caster.PortText(),
                                              "run", "MP", "--duration", "0.5"},
                                seconds(10));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("MP\t2\t"), std::string::npos) << r.out;
}

TEST(CliRun, RelayPortsPastTheLastPortAreRefusedByName) {
    test::TempDir home;
    BusyCaster caster({"AA", "BB", "CC"});
    const auto r = test::RunCli(
        home.Path(), {"--host", "127.0.0.1", "--port", caster.PortText(), "--tcp-start", "65534",
                      "run", "AA:tcp", "BB:tcp", "CC:tcp", "--duration", "0.3"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find("CC: relay port 65536 refused"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("AA:"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("BB:"), std::string::npos) << r.err;
}

TEST(CliRun, OutOfDescriptorsNamesTheOutputsNotOpenedAndStreamsTheRest) {
    test::TempDir home;
    std::vector<std::string> names, args;
    for (int i = 0; i < 24; ++i) names.push_back("M" + std::to_string(10 + i));
    // Every channel holds its socket before any file opens, so the files,
    // not the sockets, meet the limit, however the threads are scheduled.
    BusyCaster caster(names, false, static_cast<int>(names.size()));
    args = {"--host", "127.0.0.1", "--port", caster.PortText(), "--out-dir", home.File("out"),
            "run"};
    for (const std::string& n : names) args.push_back(n + ":out=B");
    // The files open with each stream's first bytes; the limit runs out
    // once about half of them have.
    args.insert(args.end(), {"--duration", "4"});
    test::CliProcess cli(home.Path(), args, "ulimit -n 40; exec \"$0\" \"$@\"");
    const auto r = cli.Wait(seconds(20));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find(": cannot open " + home.File("out") + "/M"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Too many open files"), std::string::npos) << r.err;
    std::size_t written = 0;
    for (const auto& e : std::filesystem::directory_iterator(home.File("out")))
        written += e.is_regular_file() && std::filesystem::file_size(e.path()) > 0;
    EXPECT_GT(written, 0u);
}

TEST(CliList, CasterNamesReachTheTerminalEscaped) {
    test::TempDir home;
    BusyCaster caster({"EVIL\x1b[2J\x07"});
    const auto r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", caster.PortText(), "list"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("EVIL\\x1b[2J\\x07\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace corvane

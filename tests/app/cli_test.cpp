#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/selected_file.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/socket.h"
#include "tests/app/cli_process.h"
#include "tests/support/scripted_caster.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;
using test::CasterConnection;

std::string Str(const std::string& name, const std::string& format, const std::string& lat,
                const std::string& lon) {
    return "STR;" + name + ";id;" + format + ";1004;2;GPS;NET;KOR;" + lat + ";" + lon +
           ";0;0;x;none;B;N;9600;\r\n";
}

std::string Table(const std::string& records) {
    return "SOURCETABLE 200 OK\r\n" + records + "ENDSOURCETABLE\r\n";
}

std::string Port(const test::ScriptedCaster& c) { return std::to_string(c.Port()); }

TEST(Cli, ListPrintsBothCastersInSystemOrder) {
    test::TempDir home;
    test::ScriptedCaster builtin([](CasterConnection& c) {
        c.ReadRequest();
        c.Send(Table(Str("SEOU", "RTCM 3.2", "37.5665", "126.978") +
                     Str("BUSN", "RTCM 2.3", "35.1", "129.04") + Str("RAWX", "RAW", "1", "1")));
    });
    test::ScriptedCaster manual([](CasterConnection& c) {
        c.ReadRequest();
        c.Send(Table(Str("SEJU00", "RTCM 3", "33", "126") + Str("OTHER", "RTCM 3.1", "-1.5", "2")));
    });
    // OTHER was selected in an earlier run.
    RememberedMaps remembered;
    remembered[1]["OTHER"] = {5000, 0, 1};
    const std::string bytes = FormatSelectedFile(remembered);
    ASSERT_TRUE(platform::CreateDirectories(home.File(".local/share/Halvex")));
    ASSERT_TRUE(platform::WriteFileAtomically(home.File(".local/share/Halvex/Corvane.ini"),
                                              bytes.data(), bytes.size()));

    const auto r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(builtin),
                                              "--caster2", "127.0.0.1:" + Port(manual), "list"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out,
              "seq\tcaster\tname\tversion\tlatitude\tlongitude\tselected\n"
              "0\t0\tBUSN\t2.3\t35.1000\t129.0400\t0\n"
              "1\t0\tSEOU\t3.2\t37.5665\t126.9780\t0\n"
              "2\t1\tOTHER\t3.1\t-1.5000\t2.0000\t1\n");
}

TEST(Cli, BadOptionsAndUnknownMountpointsExitTwo) {
    test::TempDir home;
    auto r = test::RunCli(home.Path(), {"--purpose", "13", "list"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("--purpose"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);

    r = test::RunCli(home.Path(), {"--bogus", "list"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("bogus"), std::string::npos) << r.err;

    r = test::RunCli(home.Path(), {"convert"});
    EXPECT_EQ(r.exitStatus, 2);
    r = test::RunCli(home.Path(), {"convert", "x.rtcm3", "--time", "2023-02-29 12:00:00"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("2023-02-29"), std::string::npos) << r.err;
    r = test::RunCli(home.Path(), {"run", "--duration", "nan"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("--duration"), std::string::npos) << r.err;

    test::ScriptedCaster caster([](CasterConnection& c) {
        c.ReadRequest();
        c.Send(Table(Str("KNOWN", "RTCM 3", "1", "2")));
    });
    r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(caster), "run", "NOPE:tcp",
                                   "--duration", "1"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("NOPE"), std::string::npos) << r.err;
    // Nothing named and nothing remembered.
    r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(caster), "run"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("no mountpoint"), std::string::npos) << r.err;

    // A mountpoint of a caster that does not answer: the caster is named.
    const std::string silent = "127.0.0.1:" + std::to_string(test::UnusedPort());
    r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(caster), "--caster2",
                                   silent, "run", "KNOWN@1", "--duration", "1"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find(silent), std::string::npos) << r.err;

    r = test::RunCli(home.Path(), {"convert", home.File("missing.rtcm3")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("missing.rtcm3"), std::string::npos) << r.err;

    r = test::RunCli(home.Path(),
                     {"--host", "127.0.0.1", "--port", std::to_string(test::UnusedPort()), "auth"});
    EXPECT_EQ(r.exitStatus, 4);
    EXPECT_EQ(r.out, "unreachable\n");
}

TEST(Cli, AuthReportsTheCastersAnswer) {
    test::TempDir home;
    test::ScriptedCaster refusing([](CasterConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 401 Unauthorized\r\n\r\n");
    });
    auto r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(refusing), "auth"});
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.out, "refused\n");

    std::atomic<bool> asked{false};
    test::ScriptedCaster accepting([&](CasterConnection& c) {
        asked =
            c.ReadRequest().rfind("GET /ISAUTHORIZED? HTTP/1.1\r\nAuthorization: Basic ", 0) == 0;
        c.Send("HTTP/1.1 200 OK\r\n\r\n");
    });
    r = test::RunCli(home.Path(), {"--host", "127.0.0.1", "--port", Port(accepting), "auth"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "accepted\n");
    EXPECT_TRUE(asked);
}

// A caster that serves its table, then one mountpoint's stream: "ICY 200 OK"
// and `payload` once `go` is set, then silence until the channel stops.
class StreamCaster {
public:
    StreamCaster(std::string name, std::string payload)
        : name_(std::move(name)),
          payload_(std::move(payload)),
          caster_([this](CasterConnection& c) {
              const std::string request = c.ReadRequest();
              if (request.rfind("GET / ", 0) == 0) {
                  c.Send(Table(Str(name_, "RTCM 3.2", "37", "127")));
                  return;
              }
              while (!go && !c.Stopping()) std::this_thread::sleep_for(milliseconds(5));
              c.Send("ICY 200 OK\r\n");
              c.SendInPieces(payload_, std::vector<std::size_t>(20, 1500), milliseconds(5));
              c.WaitForClose(seconds(30));
          }) {}
    std::uint16_t Port() const { return caster_.Port(); }
    std::atomic<bool> go{false};

private:
    std::string name_, payload_;
    test::ScriptedCaster caster_;
};

platform::SocketHandle ConnectRelay(std::uint16_t port) {
    const auto deadline = steady_clock::now() + seconds(10);
    while (steady_clock::now() < deadline) {
        platform::SocketHandle s = platform::CreateTcpSocket();
        if (platform::StartConnect(s, test::LoopbackAddress(port))) return s;
        platform::CloseSocket(s);
        std::this_thread::sleep_for(milliseconds(50));
    }
    return platform::kInvalidSocket;
}

std::string ReadExactly(platform::SocketHandle s, std::size_t n) {
    platform::SetReceiveTimeout(s, 5000);
    std::string out;
    char buf[4096];
    while (out.size() < n) {
        const int got = platform::ReceiveSome(s, buf, sizeof buf);
        if (got <= 0) break;
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

TEST(Cli, RunRelaysTwoStreamsAndSavesOnSigterm) {
    test::TempDir home;
    std::string payload1(40000, '\0'), payload2(25000, '\0');
    for (std::size_t i = 0; i < payload1.size(); ++i) payload1[i] = static_cast<char>(i * 7 + 1);
    for (std::size_t i = 0; i < payload2.size(); ++i) payload2[i] = static_cast<char>(i * 13 + 5);
    StreamCaster builtin("MP1", payload1);
    StreamCaster manual("MP2", payload2);
    const std::uint16_t tcpStart = test::UnusedPort();

    test::CliProcess cli(
        home.Path(),
        {"--host", "127.0.0.1", "--port", std::to_string(builtin.Port()), "--caster2",
         "127.0.0.1:" + std::to_string(manual.Port()), "--tcp-start", std::to_string(tcpStart),
         "--out-dir", home.File("out"), "run", "MP1:tcp:out=B", "MP2@1:tcp", "--duration", "60"});
    // MP1 is number 0, MP2 number 1: their relays listen on the start port + 0 and + 1.
    platform::SocketHandle c1 = ConnectRelay(tcpStart);
    platform::SocketHandle c2 = ConnectRelay(static_cast<std::uint16_t>(tcpStart + 1));
    ASSERT_NE(c1, platform::kInvalidSocket);
    ASSERT_NE(c2, platform::kInvalidSocket);
    std::this_thread::sleep_for(milliseconds(300));  // both clients accepted by their relays
    builtin.go = true;
    manual.go = true;
    EXPECT_EQ(ReadExactly(c1, payload1.size()), payload1);
    EXPECT_EQ(ReadExactly(c2, payload2.size()), payload2);
    platform::CloseSocket(c1);
    platform::CloseSocket(c2);

    cli.Signal(SIGTERM);
    const auto r = cli.Wait(seconds(15));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("MP1\t2\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("MP2\t2\t"), std::string::npos) << r.out;

    std::string ini;
    ASSERT_TRUE(test::ReadFile(home.File(".local/share/Halvex/Corvane.ini"), &ini));
    RememberedMaps saved;
    ParseSelectedFile(ini, saved);
    EXPECT_EQ(saved[0].at("MP1"), (MountpointSettings{tcpStart, 0, 1}));
    EXPECT_EQ(saved[1].at("MP2"),
              (MountpointSettings{static_cast<std::uint16_t>(tcpStart + 1), 0, 0}));
    std::string conf;
    EXPECT_TRUE(test::ReadFile(home.File(".config/Quillmarsh/corvane-cli.conf"), &conf));

    // MP1 recorded its stream whole into one raw file; MP2 recorded nothing.
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(home.File("out")))
        files.push_back(e.path().string());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(files[0]).filename().string().rfind("MP1_", 0), 0u);
    std::string raw;
    ASSERT_TRUE(test::ReadFile(files[0], &raw));
    EXPECT_TRUE(raw == payload1) << raw.size() << " of " << payload1.size() << " bytes";
}

// The extensions of the files in `folder`, sorted; every name starts with `stem`.
std::vector<std::string> WrittenExtensions(const std::string& folder, const std::string& stem) {
    std::vector<std::string> extensions;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(name.rfind(stem + "_", 0), 0u) << name;
        EXPECT_GT(std::filesystem::file_size(e.path()), 0u) << name;
        extensions.push_back(e.path().extension().string());
    }
    std::sort(extensions.begin(), extensions.end());
    return extensions;
}

TEST(Cli, ConvertWritesEveryOutputAndCountsMessages) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::TempDir home;
    const std::string out = home.File("out");
    const std::string input = test::SharedDataFile("rtcm3/rtklib_testglo.rtcm3");
    const auto r = test::RunCli(home.Path(), {"--out-dir", out, "convert", input, "--text",
                                              "--rinex", "--raw", "--time", "2009-12-18 23:00:00"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    // The recording holds 186 epochs of 1004 and of 1012.
    EXPECT_NE(r.out.find("1004\t186\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1012\t186\n"), std::string::npos) << r.out;

    const std::vector<std::string> expected{".g", ".n", ".o", ".rtcm", ".txt"};
    EXPECT_EQ(WrittenExtensions(out, "rtklib_testglo"), expected);

    // The raw file is the input, byte for byte.
    std::string in, raw;
    ASSERT_TRUE(test::ReadFile(input, &in));
    for (const auto& e : std::filesystem::directory_iterator(out)) {
        if (e.path().extension() == ".rtcm") {
            ASSERT_TRUE(test::ReadFile(e.path().string(), &raw));
        }
    }
    EXPECT_TRUE(raw == in) << raw.size() << " of " << in.size() << " bytes";
}

// RINEX 3.04 by option: one mixed observation and one mixed navigation file
// per hour, and nothing of the 2.11 files; a version other than 2 or 3 is a
// usage error.
TEST(Cli, ConvertWritesRinex3FilesByOption) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::TempDir home;
    const std::string out = home.File("out");
    const std::string input = test::SharedDataFile("rtcm3/swift_dropped-packets-STR24.rtcm3");
    auto r = test::RunCli(home.Path(), {"--out-dir", out, "convert", input, "--rinex",
                                        "--rinex-version", "3", "--time", "2018-07-12 23:00:00"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out))
        names.push_back(e.path().filename().string().substr(e.path().filename().string().size() - 7));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"_MN.rnx", "_MO.rnx"}));

    r = test::RunCli(home.Path(), {"convert", input, "--rinex", "--rinex-version", "4"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("--rinex-version"), std::string::npos) << r.err;
}

TEST(Cli, ConvertDecodesRtcm2WithTheChosenName) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::TempDir home;
    const std::string out = home.File("out");
    const auto r = test::RunCli(home.Path(), {"--out-dir", out, "convert",
                                              test::SharedDataFile("rtcm2/rtklib_testglo.rtcm2"),
                                              "--format", "2", "--name", "R2", "--text", "--codes"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("0x00010000\t"), std::string::npos) << r.out;  // type 1
    EXPECT_EQ(WrittenExtensions(out, "R2"), (std::vector<std::string>{".txt"}));
}

TEST(Cli, ConvertIntoAnUnwritableFolderFailsWithoutOutput) {
    CORVANE_REQUIRE_SHARED_DATA();
    test::TempDir home;
    ASSERT_TRUE(platform::WriteFileAtomically(home.File("plain"), "x", 1));
    const auto r =
        test::RunCli(home.Path(), {"--out-dir", home.File("plain/out"), "convert",
                                   test::SharedDataFile("rtcm3/rtklib_testglo.rtcm3"), "--raw"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find(home.File("plain/out")), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace corvane

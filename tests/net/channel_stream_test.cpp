#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/net/channel_test_support.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;
using test::ChannelRig;
using test::RelayClient;
using test::ScriptedCaster;
using test::WaitUntil;

// A caster that answers every request with `reply` (stream bytes may follow
// the header in the same send), then sends `after` in pieces once `go` is
// set, then keeps the connection until the channel closes it.
struct StreamCaster {
    StreamCaster(std::string replyBytes, std::string afterBytes,
                 std::vector<std::size_t> pieces = {}, bool keepOpen = false)
        : reply(std::move(replyBytes)),
          after(std::move(afterBytes)),
          caster([this, pieces, keepOpen](test::CasterConnection& c) {
              c.ReadRequest();
              WaitUntil([&] { return go.load() || c.Stopping(); });
              c.Send(reply);
              std::this_thread::sleep_for(20ms);
              c.SendInPieces(after, pieces, 20ms);
              if (keepOpen) c.WaitForClose(seconds(5));
          }) {}
    std::string reply;
    std::string after;
    std::atomic<bool> go{false};
    ScriptedCaster caster;
};

std::string Chunk(const std::string& data) {
    char size[16];
    std::snprintf(size, sizeof size, "%zX\r\n", data.size());
    return size + data + "\r\n";
}

TEST(ChannelRequest, BuiltinSlotSendsPurposeSuffixAndCredentials) {
    StreamCaster sc("HTTP/1.1 404 Not Found\r\n\r\n", "");
    sc.go = true;
    ChannelRig rig(sc.caster.Address(), kBuiltinSlot);
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), -5));
    rig.Stop();
    ASSERT_GE(sc.caster.Requests().size(), 1u);
    EXPECT_EQ(sc.caster.Requests()[0],
              "GET /MOUNT HTTP/1.1\r\nUser-Agent: NTRIP Caster/1.0 #3\r\n"
              "Authorization: Basic cWFkbHU6cWFkbHU=\r\n\r\n");
}

TEST(ChannelRequest, ManualSlotWithEmptyCredentialsStillAuthorizes) {
    StreamCaster sc("HTTP/1.1 401 Unauthorized\r\n\r\n", "");
    sc.go = true;
    ChannelRig rig(sc.caster.Address(), kManualSlot);
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), -6));
    rig.Stop();
    ASSERT_GE(sc.caster.Requests().size(), 1u);
    EXPECT_EQ(sc.caster.Requests()[0],
              "GET /MOUNT HTTP/1.1\r\nUser-Agent: NTRIP Caster/1.0\r\n"
              "Authorization: Basic Og==\r\n\r\n");
}

// Runs one stream through a channel with a relay client connected before
// the caster answers; returns what the client received before the relay
// closed it, and the status the attempt ended with.
struct StreamResult {
    std::string relayed;
    std::string raw;  // the raw file
    int status = 0;
};

StreamResult RelayOneStream(StreamCaster& sc) {
    test::TempDir dir;
    ChannelRig rig(sc.caster.Address());
    rig.entry.tcpPort = test::UnusedPort();
    rig.entry.outputs = kOutputRaw;
    rig.context.outputDir = dir.Path();
    rig.Start();
    RelayClient client(rig.entry.tcpPort);
    EXPECT_TRUE(client.Connected());
    EXPECT_TRUE(WaitUntil([&] { return rig.entry.relayClients == 1; }));
    sc.go = true;
    EXPECT_TRUE(rig.WaitEvent(6));  // the data loop ended
    StreamResult r;
    EXPECT_TRUE(client.WaitClosed());
    r.relayed = client.Received();
    const auto attemptEnd = rig.WaitEvent(1);  // the attempt ended
    EXPECT_TRUE(attemptEnd);
    if (attemptEnd) r.status = attemptEnd->status;
    rig.Stop();
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_TRUE(test::ReadFile(e.path().string(), &r.raw));
    return r;
}

TEST(ChannelStream, PlainStreamWithDataInTheHeaderReceive) {
    const std::string first = test::Pseudorandom(300, 7);
    const std::string rest = test::Pseudorandom(20000, 8);
    StreamCaster sc("ICY 200 OK\r\n" + first, rest, {1, 2047, 5000});
    const StreamResult r = RelayOneStream(sc);
    EXPECT_EQ(r.relayed, first + rest);
    EXPECT_EQ(r.status, kStatusReceiveFailed);  // the caster closed
}

TEST(ChannelStream, ChunkedStreamWithChunkInTheHeaderReceive) {
    const std::string a = test::Pseudorandom(100, 1), b = test::Pseudorandom(5000, 2),
                      c = test::Pseudorandom(3, 3);
    const std::string header =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nServer: test\r\n\r\n";
    const std::string framed = Chunk(b) + Chunk(c);
    // Pieces cut the second chunk's size line between its digits and CR LF.
    const std::size_t sizeDigits = framed.find('\r');
    StreamCaster sc(header + Chunk(a), framed, {1, sizeDigits - 1, 2, 700});
    const StreamResult r = RelayOneStream(sc);
    EXPECT_EQ(r.relayed, a + b + c);
}

TEST(ChannelStream, HttpHeaderArrivingInPiecesIsReadWhole) {
    // The status line comes alone; the chunked announcement follows later.
    StreamCaster sc("HTTP/1.1 200 OK\r\n", "Transfer-Encoding: chunked\r\n\r\n" + Chunk("abc"),
                    {28});
    EXPECT_EQ(RelayOneStream(sc).relayed, "abc");
}

TEST(ChannelStream, ChunkedFramingIsRemovedHoweverItIsAnnounced) {
    const std::string a = test::Pseudorandom(3000, 4), b = test::Pseudorandom(100, 5);
    for (const std::string header :
         {"HTTP/1.1 200 OK\r\nServer: test\r\nTransfer-Encoding: chunked\r\n\r\n",
          "HTTP/1.1 200 OK\r\nTransfer-Encoding:chunked\r\n\r\n"}) {
        // The second chunk carries an extension.
        StreamCaster sc(header, Chunk(a) + "64;src=\"x\"\r\n" + b + "\r\n0\r\n\r\n", {1000});
        const StreamResult r = RelayOneStream(sc);
        EXPECT_TRUE(r.raw == a + b) << header << r.raw.size();
        EXPECT_TRUE(r.relayed == a + b) << header;
    }
}

TEST(ChannelStream, BinaryRightAfterTheStatusLineIsStream) {
    const std::string data = test::Pseudorandom(5000, 11);
    StreamCaster sc("HTTP/1.1 200 OK\r\n" + data, "");
    const StreamResult r = RelayOneStream(sc);
    EXPECT_TRUE(r.raw == data) << r.raw.size();
}

TEST(ChannelStream, FourBadChunkBlocksEndTheStreamWithMinus8) {
    const std::string header = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string bad = "zz\r\nzz\r\nzz\r\nzz\r\n";
    StreamCaster sc(header, Chunk("ok") + bad, {7, 4, 4, 4, 4}, true);
    const StreamResult r = RelayOneStream(sc);
    EXPECT_EQ(r.relayed, "ok");
    EXPECT_EQ(r.status, kStatusUnrecognised);
}

TEST(ChannelStream, ThreeBadChunkBlocksKeepTheStream) {
    const std::string header = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    StreamCaster sc(header, "zz\r\nzz\r\nzz\r\n" + Chunk("good"), {4, 4, 4});
    const StreamResult r = RelayOneStream(sc);
    EXPECT_EQ(r.relayed, "good");
    EXPECT_EQ(r.status, kStatusReceiveFailed);
}

TEST(ChannelStream, BitRateIsReportedAndSaturates) {
    // 4000 bytes every 20 ms: about 1.6 Mbit/s.
    StreamCaster sc("ICY 200 OK\r\n\r\n", test::Pseudorandom(160000),
                    std::vector<std::size_t>(40, 4000), true);
    ChannelRig rig(sc.caster.Address());
    rig.context.timing.bitRatePeriodMs = 20;
    rig.context.timing.dataTimeoutMs = 500;
    sc.go = true;
    rig.Start();
    const auto rate = rig.WaitEvent(2);
    ASSERT_TRUE(rate);
    // About 1.6 Mbit/s: the 16-bit field stays at its top instead of wrapping.
    EXPECT_EQ(rate->bitRate, 65535);
    rig.Stop();
    EXPECT_EQ(rig.entry.bitRate, 0);
    EXPECT_EQ(rig.entry.status, 0);
}

TEST(ChannelTimeouts, NoReplyIsATimeOutAndAClosedConnectionAFailure) {
    test::ScriptedCaster silent([](test::CasterConnection& c) {
        c.ReadRequest();
        c.WaitForClose(seconds(5));
    });
    ChannelRig quiet(silent.Address());
    quiet.context.timing.replyTimeoutMs = 100;
    quiet.Start();
    EXPECT_TRUE(quiet.WaitEvent(1, seconds(5), kStatusTimedOut));
    quiet.Stop();

    test::ScriptedCaster closing([](test::CasterConnection& c) { c.ReadRequest(); });
    ChannelRig closed(closing.Address());
    closed.Start();
    EXPECT_TRUE(closed.WaitEvent(1, seconds(5), kStatusReceiveFailed));
    closed.Stop();
}

TEST(ChannelTimeouts, HeaderTrickledByteByByteTimesOutAndIsRetriedAfterThePause) {
    std::atomic<int> attempts{0};
    ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        ++attempts;
        c.Send("HTTP/1.1 200 OK\r\n");
        for (int i = 0; i < 100 && !c.Stopping() && c.Send("X"); ++i)
            std::this_thread::sleep_for(50ms);
    });
    ChannelRig rig(caster.Address());
    rig.context.timing.replyTimeoutMs = 400;
    const auto start = steady_clock::now();
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), kStatusTimedOut));
    EXPECT_LT(steady_clock::now() - start, milliseconds(400 + 300));
    EXPECT_TRUE(WaitUntil([&] { return attempts == 2; }));
    rig.Stop();
}

TEST(ChannelTimeouts, SilenceEndsTheStreamAndTheNextAttemptFollowsThePause) {
    std::atomic<int> attempt{0};
    ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        ++attempt;
        c.Send("ICY 200 OK\r\n\r\n");
        c.WaitForClose(seconds(5));
    });
    ChannelRig rig(caster.Address());
    const ChannelTiming t = rig.context.timing;
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    const auto streaming = steady_clock::now();
    ASSERT_TRUE(rig.WaitEvent(6));
    const auto ended = steady_clock::now();
    const auto attemptEnd = rig.WaitEvent(1);
    ASSERT_TRUE(attemptEnd);
    EXPECT_EQ(attemptEnd->status, kStatusTimedOut);
    EXPECT_GE(ended - streaming, milliseconds(t.dataFailures * t.dataTimeoutMs - 30));
    ASSERT_TRUE(WaitUntil([&] { return attempt == 2; }));
    EXPECT_GE(steady_clock::now() - ended, milliseconds(t.pauseSteps * t.pauseStepMs - 20));
    rig.Stop();
}

TEST(ChannelTimeouts, ClearingRunFlagDuringThePauseEndsTheThreadWithinAStep) {
    ChannelRig rig(test::LoopbackAddress(test::UnusedPort()));  // connection refused
    rig.context.timing.pauseSteps = 50;
    rig.context.timing.pauseStepMs = 100;
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1));  // the failed attempt
    std::this_thread::sleep_for(30ms);
    runFlag = 0;
    const auto cleared = steady_clock::now();
    const auto last = rig.WaitEvent(1, seconds(2));  // the thread's last notification
    ASSERT_TRUE(last);
    EXPECT_LT(steady_clock::now() - cleared, milliseconds(100 + 150));
    EXPECT_EQ(last->status, 0);
    rig.channel->Stop();
}

TEST(ChannelStop, ReturnsPromptlyDuringAConnectAndAfterBothThreadsEnded) {
    test::UnansweredListener silent;
    ChannelRig rig(test::LoopbackAddress(silent.Port()));
    rig.context.timing.connectWaits = 8;
    rig.context.timing.connectWaitMs = 1000;
    rig.context.timing.relayWaitMs = 1000;
    rig.entry.tcpPort = test::UnusedPort();
    rig.Start();
    {
        RelayClient probe(rig.entry.tcpPort, false);
        ASSERT_TRUE(probe.Connected());
    }
    std::this_thread::sleep_for(200ms);  // in the middle of the connect
    const auto start = steady_clock::now();
    rig.Stop();
    // Well before the 8 s of the connect; the relay's one-second wait for a
    // client bounds it where shutting the listener down does not wake it.
    EXPECT_LT(steady_clock::now() - start, milliseconds(1500));
    // Both threads have ended: the last notification is there, nothing
    // follows, and the relay port no longer listens.
    const std::vector<test::ChannelEvent> events = rig.window.Drain();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().what, 1);
    EXPECT_EQ(rig.entry.status, 0);
    EXPECT_EQ(rig.entry.relayClients, 0);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(rig.window.Size(), 0u);
    EXPECT_EQ(ConnectTimeout(test::LoopbackAddress(rig.entry.tcpPort), 1, 200),
              platform::kInvalidSocket);
    rig.channel->Stop();  // a second Stop does nothing
}

TEST(ChannelStop, EndsAStreamAtOnceEvenWithRunFlagStillSet) {
    StreamCaster sc("ICY 200 OK\r\n\r\n", "", {}, true);
    sc.go = true;
    ChannelRig rig(sc.caster.Address());
    rig.context.timing.dataTimeoutMs = 2000;
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(1, seconds(5), kStatusStreaming));
    const auto start = steady_clock::now();
    rig.channel->Stop();  // runFlag still set
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_EQ(rig.entry.status, 0);
}

TEST(ChannelStop, OnAChannelThatOnlyOpenedItsOutputs) {
    ChannelRig rig(test::LoopbackAddress(1));
    NtripChannel channel(&rig.window, rig.context);
    channel.OpenOutputs(&rig.entry);
    channel.Stop();
    channel.Stop();
    EXPECT_EQ(rig.window.Size(), 0u);
}

}  // namespace
}  // namespace corvane

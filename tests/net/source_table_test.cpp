#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <random>
#include <string>
#include <vector>

#include "net/caster_registry.h"
#include "net/source_table.h"
#include "tests/support/scripted_caster.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

using namespace std::chrono;

constexpr char kStatus[] = "SOURCETABLE 200 OK\r\n";

std::string Str(const std::string& name, const std::string& format, const std::string& lat,
                const std::string& lon) {
    return "STR;" + name + ";" + name + "-id;" + format + ";1004(1),1012(1);2;GPS+GLO;NET;KOR;" +
           lat + ";" + lon + ";0;0;sNTRIP;none;B;N;9600;misc\r\n";
}

// A table larger than the fetch buffer, with CAS and NET records between.
std::string BigTable() {
    std::string t = "Server: Test Caster\r\nContent-Type: text/plain\r\n\r\n";
    t += "CAS;caster.example;2101;Example;Org;0;KOR;37.00;127.00;none\r\n";
    for (int i = 0; i < 90; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "MP%03d", i);
        t += Str(name, i % 3 == 0 ? "RTCM 2.3" : "RTCM 3.2", std::to_string(33 + i * 0.05),
                 std::to_string(126 + i * 0.03));
        if (i % 17 == 0) t += "NET;NET" + std::to_string(i) + ";Org;B;N;http://x;none;none\r\n";
        if (i % 11 == 0) t += Str("RAW" + std::to_string(i), "RAW", "1", "2");
    }
    return t + "ENDSOURCETABLE\r\n";
}

struct Fetched {
    bool ok = false;
    MountpointMap map;
    std::vector<std::string> requests;
    milliseconds elapsed{};
};

// Fetches from a caster that sends the status line, then `body` in pieces of
// the given sizes, then keeps the connection open until the client closes.
Fetched FetchFrom(const std::string& body, std::vector<std::size_t> pieces = {},
                  const std::string& status = kStatus, int receiveMs = 2000) {
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send(status);
        std::this_thread::sleep_for(milliseconds(20));  // the 20-byte receive comes first
        c.SendInPieces(body, pieces, milliseconds(1));
        c.WaitForClose(seconds(5));
    });
    CasterEntry slot;
    slot.address = caster.Address();
    NetTimeouts timeouts;
    timeouts.sourceTableReceiveMs = receiveMs;
    Fetched f;
    const auto start = steady_clock::now();
    f.ok = FetchSourceTable(slot, f.map, timeouts);
    f.elapsed = duration_cast<milliseconds>(steady_clock::now() - start);
    caster.Stop();
    f.requests = caster.Requests();
    return f;
}

std::string Describe(const MountpointMap& map) {
    std::string out;
    for (const auto& [name, e] : map) {
        char line[128];
        std::snprintf(line, sizeof line, "%s %.2f %.4f %.4f\n", name.c_str(), e->formatVersion,
                      e->latitude, e->longitude);
        out += line;
    }
    return out;
}

TEST(SourceTable, RequestAndWholeTable) {
    const Fetched f = FetchFrom(BigTable());
    EXPECT_TRUE(f.ok);
    ASSERT_EQ(f.requests.size(), 1u);
    EXPECT_EQ(f.requests[0],
              "GET / HTTP/1.1\r\nUser-Agent: NTRIP Client 1.0\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(f.map.size(), 90u);
    EXPECT_EQ(f.map.count("RAW0"), 0u);
    const MountpointEntry& e = *f.map.at("MP001");
    EXPECT_FLOAT_EQ(e.formatVersion, 3.2f);
    EXPECT_FLOAT_EQ(e.latitude, 33.05f);
    EXPECT_FLOAT_EQ(e.longitude, 126.03f);
    EXPECT_EQ(e.tcpPort, 0);
    EXPECT_EQ(e.selected, 0);
    EXPECT_LT(f.elapsed, milliseconds(1500));  // ended by ENDSOURCETABLE, not the time-out
}

TEST(SourceTable, ArbitrarySplitsGiveTheSameEntries) {
    const std::string table = BigTable();
    const std::string expected = Describe(FetchFrom(table).map);
    std::mt19937 rng(20261209);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::size_t> pieces;
        std::size_t total = 0;
        while (total < table.size()) {
            const std::size_t n = 1 + rng() % (round % 2 ? 300 : 1500);
            pieces.push_back(n);
            total += n;
        }
        const Fetched f = FetchFrom(table, pieces);
        ASSERT_TRUE(f.ok);
        ASSERT_EQ(Describe(f.map), expected) << "round " << round;
    }
}

TEST(SourceTable, EndSourceTableSplitOverTwoReceivesEndsTheFetch) {
    const std::string body = Str("A1", "RTCM 3", "1", "2") + "ENDSOURCETABLE\r\n";
    const std::size_t split = body.find("TABLE\r\n");
    const Fetched f = FetchFrom(body, {split});
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.map.size(), 1u);
    EXPECT_LT(f.elapsed, milliseconds(1500));
}

TEST(SourceTable, FormatFieldsAndNames) {
    const std::string name40(40, 'N');
    const Fetched f = FetchFrom(Str("V23", "RTCM 2.3", "1", "1") + Str("V3", "RTCM 3", "1", "1") +
                                Str("V32", "RTCM3.2", "1", "1") + Str("V31", "rtcm 3.1", "1", "1") +
                                Str("CMR", "CMR+", "1", "1") + Str("RAW", "RAW", "1", "1") +
                                Str("V0", "RTCM", "1", "1") +
                                Str(name40, "RTCM 3", "-33.5", "-70.25") + "ENDSOURCETABLE\r\n");
    EXPECT_EQ(Describe(f.map),
              "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN 3.00 -33.5000 -70.2500\n"
              "V0 0.00 1.0000 1.0000\n"
              "V23 2.30 1.0000 1.0000\n"
              "V3 3.00 1.0000 1.0000\n"
              "V31 3.10 1.0000 1.0000\n"
              "V32 3.20 1.0000 1.0000\n");
}

TEST(SourceTable, ShortStrRecordIsHeldOnlyUntilItsLineEnd) {
    // Ten separators: the record lacks the separator after the longitude.
    const std::string shortRecord = "STR;SHORT;id;RTCM 3;x;2;GPS;NET;KOR;37.5";
    const std::string after = Str("AFTER", "RTCM 3", "1", "2") + "ENDSOURCETABLE\r\n";

    // At the very end of a receive, it waits for the rest of its line.
    Fetched f = FetchFrom(shortRecord + ";127.25;0\r\n" + after, {shortRecord.size()});
    EXPECT_EQ(Describe(f.map), "AFTER 3.00 1.0000 2.0000\nSHORT 3.00 37.5000 127.2500\n");

    // Followed by its line end, it is complete at once, and so are the
    // records after it in the same receive.
    f = FetchFrom(shortRecord + "\r\n" + after);
    EXPECT_EQ(Describe(f.map), "AFTER 3.00 1.0000 2.0000\nSHORT 3.00 37.5000 0.0000\n");
}

TEST(SourceTable, LineFillingTheWholeBufferEndsTheFetch) {
    const std::string before = Str("BEFORE", "RTCM 3", "1", "2");
    const std::string huge = "STR;" + std::string(5000, 'x') + "\r\n";
    const Fetched f =
        FetchFrom(before + huge + Str("LATER", "RTCM 3", "1", "2") + "ENDSOURCETABLE\r\n",
                  {before.size(), 3000});
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(Describe(f.map), "BEFORE 3.00 1.0000 2.0000\n");
    EXPECT_LT(f.elapsed, milliseconds(1500));
}

TEST(SourceTable, RepliesOtherThanASourceTableGiveAnEmptyMap) {
    Fetched f = FetchFrom(Str("A", "RTCM 3", "1", "2") + "ENDSOURCETABLE\r\n", {},
                          "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\n");
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.map.empty());

    f = FetchFrom("", {}, "sourcetable 200 ok\r\n", 300);  // case-insensitive; table cut short
    EXPECT_TRUE(f.ok);
    EXPECT_TRUE(f.map.empty());
}

TEST(SourceTable, AbsentOrUnreachableSlotGivesAnEmptyMap) {
    MountpointMap map;
    map["OLD"] = std::make_unique<MountpointEntry>();
    EXPECT_FALSE(FetchSourceTable(CasterEntry{}, map));
    EXPECT_TRUE(map.empty());

    CasterEntry refused;
    refused.address = test::LoopbackAddress(test::UnusedPort());
    NetTimeouts quick;
    quick.connectWaits = 1;
    quick.connectWaitMs = 200;
    EXPECT_FALSE(FetchSourceTable(refused, map, quick));
}

TEST(SourceTable, StalledTableKeepsTheRecordsReadSoFar) {
    const Fetched f =
        FetchFrom(Str("A", "RTCM 3", "1", "2") + Str("B", "RTCM 3", "1", "2"), {}, kStatus, 300);
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.map.size(), 2u);
}

TEST(SourceTable, StatusLineReadToItsLineEndHoweverSplit) {
    // LF-only line ends with the first record in the status line's receive,
    // and a status line split over two receives.
    const std::string lf = "STR;A;a;RTCM 3;x;2;GPS;NET;KOR;1;2;0\nSTR;B;b;RTCM 3;x;2;GPS;NET;KOR;3;4;0\n";
    for (const auto& [status, body, pieces] :
         std::vector<std::tuple<std::string, std::string, std::vector<std::size_t>>>{
             {"", "SOURCETABLE 200 OK\n" + lf + "ENDSOURCETABLE\n", {}},
             {"", "SOURCETABLE 200 OK\r\n" + lf + "ENDSOURCETABLE\r\n", {11}},
             {"", "SOURCETABLE 200 OK\n" + lf + "ENDSOURCETABLE\n", {1, 18, 2}},
         }) {
        const Fetched f = FetchFrom(body, pieces, status);
        EXPECT_TRUE(f.ok);
        EXPECT_EQ(Describe(f.map), "A 3.00 1.0000 2.0000\nB 3.00 3.0000 4.0000\n") << body;
    }
}

// A caster that sends CAS lines for ever, as fast as `pause` allows.
struct EndlessTable {
    explicit EndlessTable(milliseconds pause)
        : caster([pause](test::CasterConnection& c) {
              c.ReadRequest();
              c.Send(std::string(kStatus) + Str("FIRST", "RTCM 3", "1", "2"));
              const std::string cas(100, 'C');
              while (!c.Stopping() && c.Send("CAS;" + cas + "\r\n"))
                  std::this_thread::sleep_for(pause);
          }) {}
    test::ScriptedCaster caster;
};

std::atomic<bool> g_cancel{false};

TEST(SourceTable, NeverEndingTableEndsAtTheTimeOrSizeBoundAsCutShort) {
    for (const bool bySize : {false, true}) {
        EndlessTable endless(bySize ? milliseconds(0) : milliseconds(5));
        CasterEntry slot;
        slot.address = endless.caster.Address();
        NetTimeouts t;
        t.sourceTableTotalMs = bySize ? 60000 : 400;
        t.sourceTableMaxBytes = bySize ? 200000 : 16u << 20;
        MountpointMap map;
        bool complete = true;
        const auto start = steady_clock::now();
        EXPECT_TRUE(FetchSourceTable(slot, map, t, &complete));
        EXPECT_LT(steady_clock::now() - start, seconds(3));
        EXPECT_FALSE(complete);
        EXPECT_EQ(map.count("FIRST"), 1u);
        endless.caster.Stop();
    }
}

TEST(SourceTable, KeepWaitingEndsAFetchAsFailed) {
    EndlessTable endless(milliseconds(20));
    CasterEntry slot;
    slot.address = endless.caster.Address();
    NetTimeouts t;
    t.keepWaiting = [] { return !g_cancel.load(); };
    std::thread cancel([] {
        std::this_thread::sleep_for(milliseconds(300));
        g_cancel = true;
    });
    MountpointMap map;
    const auto start = steady_clock::now();
    EXPECT_FALSE(FetchSourceTable(slot, map, t));
    EXPECT_LT(steady_clock::now() - start, seconds(1));
    EXPECT_TRUE(map.empty());
    cancel.join();
    endless.caster.Stop();
}

TEST(SourceTable, ReplyCapturedFromRtklibCaster) {
    CORVANE_REQUIRE_SHARED_DATA();
    std::string reply;
    ASSERT_TRUE(
        test::ReadFile(test::SharedDataFile("ntrip/str2str_caster_sourcetable_reply.bin"), &reply));
    const Fetched f = FetchFrom(reply.substr(20), {}, reply.substr(0, 20));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(Describe(f.map), "RTCM3TEST 3.00 50.0000 8.0000\n");
}

}  // namespace
}  // namespace corvane

// Throughput of one channel on loopback: a caster that sends as fast as it
// can, the channel writing the raw file and feeding one relay client that
// reads everything. The time runs from the caster's first byte to the relay
// client's last.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_data.h"
#include "net/connection_helpers.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"

namespace {

namespace fs = std::filesystem;
using namespace corvane;
using namespace corvane::platform;
using Clock = std::chrono::steady_clock;

SocketAddress Loopback(std::uint16_t port) {
    SocketAddress a;
    a.family = kAddressFamilyIpv4;
    a.ipv4 = Ipv4FromOctets(127, 0, 0, 1);
    a.port = HostToNetwork16(port);
    return a;
}

std::uint16_t FreePort() {
    SocketHandle s = CreateTcpSocket();
    BindLoopback(s, 0);
    const std::uint16_t port = LocalPort(s);
    CloseSocket(s);
    return port;
}

// Accepts one connection, reads the request, then sends the stream once
// `go` is set and closes.
void ServeOnce(SocketHandle listener, std::size_t streamBytes, const std::atomic<bool>& go,
               Clock::time_point* started) {
    const SocketHandle c = AcceptClient(listener);
    if (c == kInvalidSocket) return;
    std::string request;
    char buf[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = ReceiveSome(c, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
    }
    while (!go.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<char> block(64 * 1024);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
    const std::string reply = "ICY 200 OK\r\n\r\n";
    SendSome(c, reply.data(), static_cast<int>(reply.size()));
    *started = Clock::now();
    for (std::size_t sent = 0; sent < streamBytes;) {
        const int n = SendSome(c, block.data(), static_cast<int>(block.size()));
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    CloseSocket(c);
}

void BM_ChannelStream_RelayAndRawFile(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "corvane_channel_bench";
    bench::NullWindow window;
    const std::size_t streamBytes = static_cast<std::size_t>(state.range(0)) << 20;
    for (auto _ : state) {
        SocketHandle listener = CreateTcpSocket();
        SetReuseAddress(listener, true);
        BindLoopback(listener, 0);
        ListenMax(listener);
        CasterEntry casters[kCasterSlots];
        casters[kBuiltinSlot].address = Loopback(LocalPort(listener));
        EncodeCredentials(casters[kBuiltinSlot], "u", "p");
        ChannelContext context;
        context.casters = casters;
        context.outputDir = dir.string();
        MountpointEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "BENCH");
        entry.outputs = kOutputRaw;
        entry.tcpPort = FreePort();

        std::atomic<bool> go{false};
        Clock::time_point started;
        std::thread caster([&] { ServeOnce(listener, streamBytes, go, &started); });
        runFlag = 1;
        NtripChannel channel(&window, context);
        channel.Start(&entry);

        // The relay client, once the relay listens.
        SocketHandle client = kInvalidSocket;
        while (client == kInvalidSocket) {
            client = ConnectTimeout(Loopback(entry.tcpPort), 1, 100);
            if (client == kInvalidSocket) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        while (entry.relayClients.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::size_t received = 0;
        std::vector<char> buf(256 * 1024);
        go = true;
        while (received < streamBytes) {
            const int n = ReceiveSome(client, buf.data(), static_cast<int>(buf.size()));
            if (n <= 0) break;
            received += static_cast<std::size_t>(n);
        }
        const Clock::time_point ended = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ended - started).count());
        if (received < streamBytes) state.SkipWithError("the relay client missed part of the stream");

        runFlag = 0;
        channel.Stop();
        caster.join();
        CloseSocket(client);
        CloseSocket(listener);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * streamBytes));
}

// Stream sizes in MB: a small one for slow builds, a large one for the rate.
BENCHMARK(BM_ChannelStream_RelayAndRawFile)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelStream_RelayAndRawFile)
    ->Arg(256)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include "net/relay_server.h"

#include <chrono>
#include <string>
#include <thread>

#include "net/net_timeouts.h"
#include "net/ntrip_channel.h"

namespace corvane {

using namespace platform;

namespace {
constexpr std::intptr_t kClientsChanged = 4;
constexpr int kMaxAcceptsPerPass = 1024;
constexpr int kMaxReadsPerPass = 16;
constexpr int kBackOffStepMs = 10;
}  // namespace

void RelayServer::Run() {
    MountpointEntry& entry = *channel_.entry;
    const ChannelTiming& timing = channel_.context.timing;
    {
        std::lock_guard lock(mutex_);
        entry.relayClients = 0;
    }
    SocketHandle s = CreateTcpSocket();
    if (s == kInvalidSocket || !SetExclusiveListenerAddress(s) || !BindAny(s, entry.tcpPort) ||
        !ListenMax(s)) {
        channel_.ReportOutputFailure(ChannelOutput::Relay, "port " + std::to_string(entry.tcpPort),
                                     SocketErrorText());
        CloseSocket(s);
        return;
    }
    if (!listener_.Attach(s)) return;
    while (channel_.Running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timing.relaySleepMs));
        DiscardClientInput();
        if (WaitReadable(s, timing.relayWaitMs) != WaitResult::Ready) continue;
        // Every pending connection, so that none waits behind a burst.
        for (int accepted = 0; channel_.Running() && accepted < kMaxAcceptsPerPass; ++accepted) {
            const SocketHandle client = AcceptClient(s);
            if (client == kInvalidSocket) {
                // Out of descriptors, say: wait as if no client had come.
                BackOff(timing.relayWaitMs);
                break;
            }
            AddClient(client);
            if (WaitReadable(s, 0) != WaitResult::Ready) break;
        }
    }
    listener_.Close();
}

void RelayServer::BackOff(int ms) {
    for (int waited = 0; waited < ms && channel_.Running(); waited += kBackOffStepMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(kBackOffStepMs));
}

void RelayServer::AddClient(SocketHandle client) {
    SetSendTimeout(client, socket_options::kRelayClientSendTimeoutMs);
    std::lock_guard lock(mutex_);
    clients_.push_back(client);
    ++channel_.entry->relayClients;
    channel_.PostEvent(kClientsChanged);
}

void RelayServer::DropClient(std::size_t i) {
    CloseSocket(clients_[i]);
    clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
    --channel_.entry->relayClients;
    channel_.PostEvent(kClientsChanged);
}

void RelayServer::DiscardClientInput() {
    std::uint8_t sink[4096];
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < clients_.size();) {
        bool gone = false;
        for (int read = 0; read < kMaxReadsPerPass; ++read) {
            if (WaitReadable(clients_[i], 0) != WaitResult::Ready) break;
            if (ReceiveSome(clients_[i], sink, sizeof sink) <= 0) {
                gone = true;  // closed or reset by the client
                break;
            }
        }
        if (gone)
            DropClient(i);
        else
            ++i;
    }
}

bool RelayServer::SendWhole(SocketHandle client, const std::uint8_t* data, int length) {
    using Clock = std::chrono::steady_clock;
    const int budgetMs = socket_options::kRelayClientSendTimeoutMs;
    const auto end = Clock::now() + std::chrono::milliseconds(budgetMs);
    int sent = 0;
    for (bool shortened = false;; shortened = true) {
        const int n = SendSome(client, data + sent, length - sent);
        if (n <= 0) return false;
        sent += n;
        if (sent == length) {
            if (shortened) SetSendTimeout(client, budgetMs);
            return true;
        }
        // The rest within what is left of the same budget.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) return false;
        SetSendTimeout(client, static_cast<int>(left.count()));
    }
}

void RelayServer::SendToAll(const std::uint8_t* data, int length) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < clients_.size();) {
        if (SendWhole(clients_[i], data, length))
            ++i;
        else
            DropClient(i);
    }
}

void RelayServer::DropAll() {
    std::lock_guard lock(mutex_);
    for (SocketHandle c : clients_) CloseSocket(c);
    clients_.clear();
    if (channel_.entry) channel_.entry->relayClients = 0;
}

}  // namespace corvane

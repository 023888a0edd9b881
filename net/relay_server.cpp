#include "net/relay_server.h"

#include <chrono>
#include <thread>

#include "net/net_timeouts.h"
#include "net/ntrip_channel.h"

namespace corvane {

using namespace platform;

namespace {
constexpr std::intptr_t kClientsChanged = 4;
}

void RelayServer::Run() {
    MountpointEntry& entry = *channel_.entry;
    const ChannelTiming& timing = channel_.context.timing;
    {
        std::lock_guard lock(mutex_);
        entry.relayClients = 0;
    }
    SocketHandle s = CreateTcpSocket();
    if (s == kInvalidSocket) return;
    if (!SetReuseAddress(s, socket_options::kRelayReuseAddress != 0) ||
        !BindAny(s, entry.tcpPort) || !ListenMax(s)) {
        CloseSocket(s);
        return;
    }
    if (!listener_.Attach(s)) return;
    while (channel_.Running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timing.relaySleepMs));
        if (WaitReadable(s, timing.relayWaitMs) != WaitResult::Ready) continue;
        if (!channel_.Running()) break;
        SocketHandle client = AcceptClient(s);
        if (client == kInvalidSocket) continue;
        ShutdownSocket(client, ShutdownHow::Receive);
        SetSendTimeout(client, socket_options::kRelayClientSendTimeoutMs);
        std::lock_guard lock(mutex_);
        clients_.push_back(client);
        ++entry.relayClients;
        channel_.PostEvent(kClientsChanged);
    }
    listener_.Close();
}

void RelayServer::SendToAll(const std::uint8_t* data, int length) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < clients_.size();) {
        if (SendSome(clients_[i], data, length) > 0) {
            ++i;
            continue;
        }
        CloseSocket(clients_[i]);
        clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
        --channel_.entry->relayClients;
        channel_.PostEvent(kClientsChanged);
    }
}

void RelayServer::DropAll() {
    std::lock_guard lock(mutex_);
    for (SocketHandle c : clients_) CloseSocket(c);
    clients_.clear();
    if (channel_.entry) channel_.entry->relayClients = 0;
}

}  // namespace corvane

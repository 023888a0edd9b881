// The local TCP relay of a channel: a listening socket on the mountpoint's
// TCP port, the connected clients in order of arrival, and the sending of
// each block to all of them.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "net/guarded_socket.h"
#include "platform/socket.h"

namespace corvane {

class NtripChannel;

class RelayServer {
public:
    explicit RelayServer(NtripChannel& channel) : channel_(channel) {}
    ~RelayServer() {
        for (platform::SocketHandle c : clients_) platform::CloseSocket(c);
    }
    RelayServer(const RelayServer&) = delete;
    RelayServer& operator=(const RelayServer&) = delete;

    // The relay thread: listens on the entry's TCP port, accepts clients
    // and reads and discards what they send (rovers send their positions)
    // until the channel stops. Ends at once when the port cannot be bound,
    // reporting it as an output failure.
    void Run();
    // Sends one block whole to every client; a client that does not take it
    // within the send budget is closed and dropped, so that no client ever
    // receives a stream with a gap.
    void SendToAll(const std::uint8_t* data, int length);
    // Closes every client and sets the entry's client count to 0.
    void DropAll();
    // Ends a wait of the relay thread at once (from Stop).
    void Shutdown() { listener_.Shutdown(); }
    void Rearm() { listener_.Rearm(); }

private:
    bool SendWhole(platform::SocketHandle client, const std::uint8_t* data, int length);
    void AddClient(platform::SocketHandle client);
    void DropClient(std::size_t index);  // with mutex_ held
    void DiscardClientInput();
    void BackOff(int ms);

    NtripChannel& channel_;
    std::mutex mutex_;  // guards clients_ and the entry's relayClients
    std::vector<platform::SocketHandle> clients_;
    GuardedSocket listener_;
};

}  // namespace corvane

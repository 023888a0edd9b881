// A TCP server on 127.0.0.1 that plays a script for each connection, for the
// tests of everything that talks to a caster.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace corvane::test {

// One accepted connection as the script sees it.
class CasterConnection {
public:
    explicit CasterConnection(platform::SocketHandle s, const std::atomic<bool>& stopping)
        : socket_(s), stopping_(stopping) {}
    // Reads until an empty line ends the request header, the peer closes or
    // `timeout` passes. Returns what was read.
    std::string ReadRequest(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends all bytes; false when the peer is gone.
    bool Send(std::string_view bytes);
    // Sends the bytes in pieces of the given sizes (the rest in one last
    // piece), pausing between pieces so that they arrive as separate receives.
    bool SendInPieces(std::string_view bytes, const std::vector<std::size_t>& sizes,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(20));
    // Waits until the peer closes, the server stops or `timeout` passes.
    void WaitForClose(std::chrono::milliseconds timeout);
    bool Stopping() const { return stopping_.load(); }
    platform::SocketHandle Handle() const { return socket_; }

private:
    platform::SocketHandle socket_;
    const std::atomic<bool>& stopping_;
};

class ScriptedCaster {
public:
    using Script = std::function<void(CasterConnection&)>;
    // OneAtATime plays the script for one connection after the other;
    // Concurrent plays it for every connection at once on a thread of its
    // own (a script that streams ends when Stopping() turns true).
    enum class Mode { OneAtATime, Concurrent };

    // Listens on a free loopback port and plays `script` for each connection,
    // then closes it.
    explicit ScriptedCaster(Script script, Mode mode = Mode::OneAtATime);
    ~ScriptedCaster();
    ScriptedCaster(const ScriptedCaster&) = delete;
    ScriptedCaster& operator=(const ScriptedCaster&) = delete;

    std::uint16_t Port() const { return port_; }
    platform::SocketAddress Address() const;
    int Connections() const { return connections_.load(); }
    // Requests read by the scripts (through ReadRequest), in order.
    std::vector<std::string> Requests() const;
    void Stop();

private:
    friend class CasterConnection;
    void Run();

    void Serve(platform::SocketHandle client);

    Script script_;
    Mode mode_;
    std::vector<std::thread> sessions_;  // Concurrent: one per connection
    platform::SocketHandle listener_ = platform::kInvalidSocket;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A loopback listener whose backlog is full: further connection attempts get
// no answer at all, as from a caster that does not respond.
class UnansweredListener {
public:
    UnansweredListener();
    ~UnansweredListener();
    UnansweredListener(const UnansweredListener&) = delete;
    UnansweredListener& operator=(const UnansweredListener&) = delete;
    std::uint16_t Port() const { return port_; }
    platform::SocketAddress Address() const;

private:
    platform::SocketHandle listener_ = platform::kInvalidSocket;
    std::uint16_t port_ = 0;
    std::vector<platform::SocketHandle> fillers_;
};

// The address of 127.0.0.1 and a port (host byte order).
platform::SocketAddress LoopbackAddress(std::uint16_t port);

// A loopback port that nothing listens on (bound, then closed).
std::uint16_t UnusedPort();

}  // namespace corvane::test

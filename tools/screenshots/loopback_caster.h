// A small NTRIP caster on 127.0.0.1 for pictures of a running main window:
// it answers the source table, streams bytes to every mountpoint request
// (one thread per connection) and refuses the names it is told to refuse
// with 401.
#pragma once

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace corvane {

struct CasterMount {
    std::string name;
    std::string format;  // the source table's format field, e.g. "RTCM 3.2"
    float latitude = 37.5f;
    float longitude = 127.0f;
};

class LoopbackCaster {
public:
    LoopbackCaster(std::vector<CasterMount> mounts, std::set<std::string> refused);
    ~LoopbackCaster();
    LoopbackCaster(const LoopbackCaster&) = delete;
    LoopbackCaster& operator=(const LoopbackCaster&) = delete;
    std::uint16_t Port() const { return port_; }

private:
    void Accept();
    void Serve(platform::SocketHandle client);

    std::vector<CasterMount> mounts_;
    std::set<std::string> refused_;
    platform::SocketHandle listener_ = platform::kInvalidSocket;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::vector<std::thread> sessions_;
};

}  // namespace corvane

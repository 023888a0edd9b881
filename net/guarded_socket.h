// A socket that one thread uses and closes while another thread may shut it
// down at any moment (to end a blocked receive or wait). The handle value is
// only read and changed under a lock, so a shutdown never reaches a socket
// that was closed already, nor another socket that reused its number.
#pragma once

#include <mutex>

#include "platform/socket.h"

namespace corvane {

class GuardedSocket {
public:
    GuardedSocket() = default;
    ~GuardedSocket() { Close(); }
    GuardedSocket(const GuardedSocket&) = delete;
    GuardedSocket& operator=(const GuardedSocket&) = delete;

    // Takes over `s`. After a Shutdown the socket is closed at once and
    // false is returned: the user has stopped and the socket must not be used.
    bool Attach(platform::SocketHandle s) {
        std::lock_guard lock(mutex_);
        if (shutDown_) {
            platform::CloseSocket(s);
            return false;
        }
        platform::CloseSocket(socket_);
        socket_ = s;
        return true;
    }
    // Closes the socket held, if any.
    void Close() {
        std::lock_guard lock(mutex_);
        platform::CloseSocket(socket_);
        socket_ = platform::kInvalidSocket;
    }
    // Shuts the socket held down in both directions, so that a receive, send
    // or wait on it returns at once, and refuses sockets until Rearm.
    void Shutdown() {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        platform::ShutdownSocket(socket_, platform::ShutdownHow::Both);
    }
    void Rearm() {
        std::lock_guard lock(mutex_);
        shutDown_ = false;
    }

private:
    std::mutex mutex_;
    platform::SocketHandle socket_ = platform::kInvalidSocket;
    bool shutDown_ = false;
};

}  // namespace corvane

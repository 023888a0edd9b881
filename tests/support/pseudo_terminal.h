// A pseudo-terminal standing in for a serial port (POSIX only): the code
// under test writes to its device side (Device(), mapped to a port number
// with platform::SetSerialDeviceOverride), the test reads what arrives.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace corvane::test {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            device_ = ptsname(master_);
        if (!device_.empty()) reader_ = std::thread([this] { Read(); });
    }
    ~PseudoTerminal() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (master_ >= 0) close(master_);
    }
    const std::string& Device() const { return device_; }
    std::string Received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    void Read() {
        char buf[4096];
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0) continue;
            std::lock_guard lock(mutex_);
            received_.append(buf, static_cast<std::size_t>(n));
        }
    }
    int master_ = -1;
    std::string device_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string received_;
};

}  // namespace corvane::test

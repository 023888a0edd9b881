// What the channel tests share: short time constants, a running channel on
// a scripted caster, a relay client that collects what it receives, and
// waiting for the channel's notifications.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/connection_helpers.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/window_messages.h"
#include "tests/support/scripted_caster.h"

namespace corvane::test {

using namespace std::chrono_literals;

// Time constants that keep every test well under a second per cycle.
inline ChannelTiming FastTiming() {
    ChannelTiming t;
    t.connectWaits = 3;
    t.connectWaitMs = 100;
    t.replyTimeoutMs = 1000;
    t.dataTimeoutMs = 40;
    t.dataFailures = 9;
    t.pauseSteps = 3;
    t.pauseStepMs = 60;
    t.bitRatePeriodMs = 4000;
    t.relayWaitMs = 50;
    t.relaySleepMs = 2;
    return t;
}

// Polls `done` until it holds or `timeout` passes.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Reproducible bytes of every value, as a stream's payload.
inline std::string Pseudorandom(std::size_t n, std::uint32_t salt = 1) {
    std::string s(n, '\0');
    std::uint32_t x = salt * 2654435761u + 1;
    for (char& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

// A relay client: connects to the relay port (retrying while the relay thread
// starts listening) and collects every byte until the relay closes it; a slow
// one reads at most `readBytes` per `readPause`.
class RelayClient {
public:
    explicit RelayClient(std::uint16_t port, bool read = true, int receiveBufferBytes = 0,
                         int readBytes = 65536,
                         std::chrono::milliseconds readPause = std::chrono::milliseconds(0))
        : readBytes_(readBytes), readPause_(readPause) {
        WaitUntil([&] {
            platform::SocketHandle s = platform::CreateTcpSocket();
            if (receiveBufferBytes > 0) platform::SetReceiveBufferSize(s, receiveBufferBytes);
            platform::SetNonBlocking(s, true);
            platform::StartConnect(s, LoopbackAddress(port));
            if (platform::WaitWritable(s, 200) == platform::WaitResult::Ready &&
                platform::PendingSocketError(s) == 0) {
                platform::SetNonBlocking(s, false);
                socket_ = s;
                return true;
            }
            platform::CloseSocket(s);
            return false;
        });
        if (read && socket_ != platform::kInvalidSocket) thread_ = std::thread([this] { Read(); });
    }
    ~RelayClient() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        platform::CloseSocket(socket_);
    }
    bool Connected() const { return socket_ != platform::kInvalidSocket; }
    // Sends to the relay, as a rover sends its position.
    bool Send(std::string_view bytes) {
        return platform::SendSome(socket_, bytes.data(), static_cast<int>(bytes.size())) ==
               static_cast<int>(bytes.size());
    }
    bool Closed() const { return closed_.load(); }
    std::string Received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }
    std::size_t Size() const {
        std::lock_guard lock(mutex_);
        return received_.size();
    }
    // Waits until the relay has closed the connection.
    bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return WaitUntil([&] { return Closed(); }, timeout);
    }

private:
    void Read() {
        char buf[65536];
        while (!stop_) {
            if (platform::WaitReadable(socket_, 20) != platform::WaitResult::Ready) continue;
            const int n = platform::ReceiveSome(socket_, buf, std::min<int>(sizeof buf, readBytes_));
            if (n <= 0) break;
            {
                std::lock_guard lock(mutex_);
                received_.append(buf, static_cast<std::size_t>(n));
            }
            if (readPause_.count() > 0) std::this_thread::sleep_for(readPause_);
        }
        closed_ = true;
    }

    const int readBytes_;
    const std::chrono::milliseconds readPause_;
    platform::SocketHandle socket_ = platform::kInvalidSocket;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> closed_{false};
    mutable std::mutex mutex_;
    std::string received_;
};

// A channel event with the entry's live fields as they were when it was posted.
struct ChannelEvent {
    std::intptr_t what = 0;
    int status = 0;
    int bitRate = 0;
    int relayClients = 0;
};

// The channel's window: keeps WM_CHANNEL_EVENT posts in a queue.
class EventRecorder : public platform::WindowReceiver {
public:
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (message != WM_CHANNEL_EVENT) return;
        const auto* e = reinterpret_cast<const MountpointEntry*>(wParam);
        std::lock_guard lock(mutex_);
        queue_.push_back({lParam, e->status, e->bitRate, e->relayClients});
        arrived_.notify_all();
    }
    // Takes events until one matches (returned) or `timeout` passes.
    std::optional<ChannelEvent> TakeUntil(const std::function<bool(const ChannelEvent&)>& match,
                                          std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(mutex_);
        for (;;) {
            while (!queue_.empty()) {
                const ChannelEvent e = queue_.front();
                queue_.pop_front();
                if (match(e)) return e;
            }
            if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && queue_.empty())
                return std::nullopt;
        }
    }
    std::vector<ChannelEvent> Drain() {
        std::lock_guard lock(mutex_);
        std::vector<ChannelEvent> all(queue_.begin(), queue_.end());
        queue_.clear();
        return all;
    }
    std::size_t Size() const {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ChannelEvent> queue_;
};

// A channel on one mountpoint, with both caster slots configured and an
// event recorder as its window.
struct ChannelRig {
    explicit ChannelRig(platform::SocketAddress casterAddress, int slot = kBuiltinSlot) {
        for (CasterEntry& c : casters) c.address = casterAddress;
        EncodeCredentials(casters[kBuiltinSlot], kBuiltinCredentialWord, kBuiltinCredentialWord);
        std::snprintf(casters[kBuiltinSlot].agentSuffix, sizeof casters[0].agentSuffix, " #%d", 3);
        EncodeCredentials(casters[kManualSlot], "", "");
        std::snprintf(entry.name, sizeof entry.name, "MOUNT");
        entry.casterIndex = static_cast<std::int8_t>(slot);
        entry.formatVersion = 3.2f;
        context.casters = casters;
        context.timing = FastTiming();
    }
    ~ChannelRig() {
        runFlag = 0;
        if (channel) channel->Stop();
    }
    NtripChannel& Start() {
        runFlag = 1;
        channel = std::make_unique<NtripChannel>(target ? target : &window, context);
        channel->Start(&entry);
        return *channel;
    }
    void Stop() {
        runFlag = 0;
        channel->Stop();
    }
    // Waits for an event with this lParam (and, when given, this status at
    // the time it was posted); events taken on the way are dropped.
    std::optional<ChannelEvent> WaitEvent(
        std::intptr_t what, std::chrono::milliseconds timeout = std::chrono::seconds(5),
        std::optional<int> status = std::nullopt) {
        return window.TakeUntil(
            [&](const ChannelEvent& e) {
                return e.what == what && (!status || e.status == *status);
            },
            timeout);
    }

    CasterEntry casters[kCasterSlots];
    MountpointEntry entry;
    ChannelContext context;
    EventRecorder window;
    // The window the channel posts to instead of `window`, when set.
    platform::WindowReceiver* target = nullptr;
    std::unique_ptr<NtripChannel> channel;
};

}  // namespace corvane::test

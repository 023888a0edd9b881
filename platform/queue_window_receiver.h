// A window receiver that keeps posted messages in a thread-safe queue, for
// tests and for front ends without a window.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window_receiver.h"

namespace corvane::platform {

struct WindowMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class QueueWindowReceiver : public WindowReceiver {
public:
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Takes the oldest message, waiting up to `timeout` for one to arrive.
    std::optional<WindowMessage> Take(std::chrono::milliseconds timeout);
    // Takes messages until one satisfies `match` (returned) or the time-out
    // passes (nothing returned). Messages taken on the way are kept in
    // `skipped` when it is given.
    std::optional<WindowMessage> TakeUntil(const std::function<bool(const WindowMessage&)>& match,
                                           std::chrono::milliseconds timeout,
                                           std::vector<WindowMessage>* skipped = nullptr);
    // Everything queued now, oldest first; the queue is left empty.
    std::vector<WindowMessage> Drain();
    std::size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<WindowMessage> queue_;
};

}  // namespace corvane::platform

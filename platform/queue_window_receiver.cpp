#include "platform/queue_window_receiver.h"

namespace corvane::platform {

void QueueWindowReceiver::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, wParam, lParam});
    }
    arrived_.notify_all();
}

std::optional<WindowMessage> QueueWindowReceiver::Take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) return std::nullopt;
    WindowMessage m = queue_.front();
    queue_.pop_front();
    return m;
}

std::optional<WindowMessage> QueueWindowReceiver::TakeUntil(
    const std::function<bool(const WindowMessage&)>& match, std::chrono::milliseconds timeout,
    std::vector<WindowMessage>* skipped) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        auto m = Take(left.count() > 0 ? left : std::chrono::milliseconds(0));
        if (!m) return std::nullopt;
        if (match(*m)) return m;
        if (skipped) skipped->push_back(*m);
    }
}

std::vector<WindowMessage> QueueWindowReceiver::Drain() {
    std::lock_guard lock(mutex_);
    std::vector<WindowMessage> all(queue_.begin(), queue_.end());
    queue_.clear();
    return all;
}

std::size_t QueueWindowReceiver::Size() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

}  // namespace corvane::platform

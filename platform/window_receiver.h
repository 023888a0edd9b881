// The receiver of window messages. Worker threads post to it and never wait
// for the message to be handled; the desktop window and the command-line
// front end each implement it.
#pragma once

#include <cstdint>

namespace corvane::platform {

class WindowReceiver {
public:
    virtual ~WindowReceiver() = default;
    // Queues the message for the receiver's own thread. Must be safe to call
    // from any thread and must not block on the receiver's work.
    virtual void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace corvane::platform

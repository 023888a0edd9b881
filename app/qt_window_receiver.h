// The window side of worker-thread notifications: posts each message as a
// WindowMessageEvent to a QObject living on the window thread. Post may be
// called from any thread and never waits; the object receives the events on
// its own thread in the order they were posted.
//
// The owner calls Detach() before the target is destroyed (e.g. in the
// window's destructor, after its channels have stopped); later posts are
// dropped. Events still queued for a destroyed object are discarded by Qt.
#pragma once

#include <QObject>
#include <mutex>

#include "app/window_message_event.h"
#include "platform/window_receiver.h"

namespace corvane {

class QtWindowReceiver : public platform::WindowReceiver {
public:
    explicit QtWindowReceiver(QObject* target) : target_(target) {}
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Detach();

private:
    std::mutex mutex_;
    QObject* target_;
};

}  // namespace corvane

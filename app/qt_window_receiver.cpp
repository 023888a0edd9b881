#include "app/qt_window_receiver.h"

#include <QCoreApplication>

namespace corvane {

void QtWindowReceiver::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message > WindowMessageEvent::kMaxMessage) return;
    const std::lock_guard lock(mutex_);
    if (target_)
        QCoreApplication::postEvent(target_, new WindowMessageEvent(message, wParam, lParam));
}

void QtWindowReceiver::Detach() {
    const std::lock_guard lock(mutex_);
    target_ = nullptr;
}

bool SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    if (!target) return false;
    WindowMessageEvent e(message, wParam, lParam);
    return QCoreApplication::sendEvent(target, &e);
}

}  // namespace corvane

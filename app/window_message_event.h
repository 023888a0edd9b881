// A window message as a Qt event: the event type is QEvent::User plus the
// message number (WM_CHANNEL_EVENT 0x405 arrives as type User + 0x405), and
// the event carries wParam and lParam. A window handles them in its event()
// (or customEvent()) override:
//
//   bool event(QEvent* e) override {
//       if (auto* m = WindowMessageEvent::From(e)) { ...m->Message()...; return true; }
//       return QDialog::event(e);
//   }
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>

namespace corvane {

class WindowMessageEvent : public QEvent {
public:
    static constexpr int kBaseType = QEvent::User;
    // Message numbers up to 0x7fff fit below QEvent::MaxUser.
    static constexpr std::uint32_t kMaxMessage = 0x7fff;

    WindowMessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(TypeOf(message)), message_(message), wParam_(wParam), lParam_(lParam) {}

    static QEvent::Type TypeOf(std::uint32_t message) {
        return static_cast<QEvent::Type>(kBaseType + static_cast<int>(message));
    }
    // The message when `e` is one, nullptr otherwise.
    static WindowMessageEvent* From(QEvent* e) {
        const int t = static_cast<int>(e->type());
        if (t < kBaseType || t > kBaseType + static_cast<int>(kMaxMessage)) return nullptr;
        return dynamic_cast<WindowMessageEvent*>(e);
    }

    std::uint32_t Message() const { return message_; }
    std::uintptr_t WParam() const { return wParam_; }
    std::intptr_t LParam() const { return lParam_; }

private:
    std::uint32_t message_;
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
};

// Delivers a message to `target` at once, on the calling (window) thread, and
// returns whether it was handled: the counterpart of sending a message. Does
// nothing for a null target.
bool SendWindowMessage(QObject* target, std::uint32_t message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

}  // namespace corvane

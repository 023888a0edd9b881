// A window for the inspector tests: messages posted from any thread are
// queued as Qt events and handed to `handler` on the Qt thread, as the main
// window's receiver does.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdint>
#include <functional>

#include "platform/window_receiver.h"

namespace corvane::test {

class TestWindow : public QObject, public platform::WindowReceiver {
public:
    using Handler = std::function<void(std::uint32_t, std::uintptr_t, std::intptr_t)>;

    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
    }
    Handler handler;

protected:
    bool event(QEvent* e) override {
        if (e->type() != MessageEvent::Type()) return QObject::event(e);
        const auto* m = static_cast<MessageEvent*>(e);
        if (handler) handler(m->message, m->wParam, m->lParam);
        return true;
    }

private:
    struct MessageEvent : QEvent {
        MessageEvent(std::uint32_t msg, std::uintptr_t w, std::intptr_t l)
            : QEvent(Type()), message(msg), wParam(w), lParam(l) {}
        static QEvent::Type Type() {
            static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
            return type;
        }
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
};

}  // namespace corvane::test

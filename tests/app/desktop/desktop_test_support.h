// What the desktop tests share: a window that records the window messages
// it receives, acting on a modal window once it shows, waiting on the event
// loop, and a caster that answers the sign-in request.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/window_message_event.h"
#include "tests/support/scripted_caster.h"

namespace corvane::test {

class MessageRecorder : public QWidget {
public:
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> messages;

protected:
    bool event(QEvent* e) override {
        if (auto* m = WindowMessageEvent::From(e)) {
            messages.push_back({m->Message(), m->WParam(), m->LParam()});
            return true;
        }
        return QWidget::event(e);
    }
};

// Runs the event loop until `done` holds or `timeoutMs` passes.
inline bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(2);
    }
    return true;
}

// Calls `act` once with the first modal window of type T to show, from the
// event loop of whatever runs it modally; gives up after `timeoutMs`.
template <typename T>
void WhenModal(std::function<void(T*)> act, int timeoutMs = 8000) {
    auto* timer = new QTimer;
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, act, timeoutMs] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window && elapsed->elapsed() < timeoutMs) return;
        timer->stop();
        timer->deleteLater();
        delete elapsed;
        if (window) act(window);
    });
    timer->start(10);
}

// The control "c<id>" of a window.
template <typename T>
T* ControlOf(QWidget* window, int id) {
    return window->findChild<T*>(QStringLiteral("c%1").arg(id));
}

// A caster that answers "GET /ISAUTHORIZED?" with `authorizationAnswer`
// after `delayMs`, and a mountpoint request with "ICY 200 OK" and silence.
inline ScriptedCaster::Script SignInCaster(std::string authorizationAnswer, int delayMs = 0) {
    return [authorizationAnswer, delayMs](CasterConnection& c) {
        const std::string request = c.ReadRequest();
        if (request.rfind("GET /ISAUTHORIZED?", 0) == 0) {
            if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            c.Send(authorizationAnswer);
            return;
        }
        c.Send("ICY 200 OK\r\n\r\n");
        c.WaitForClose(std::chrono::seconds(3));
    };
}

inline const std::string kAccepted = "HTTP/1.1 200 OK\r\n\r\n";
inline const std::string kRefused = "HTTP/1.1 401 Unauthorized\r\n\r\n";

}  // namespace corvane::test

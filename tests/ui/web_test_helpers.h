// Waiting on Qt WebEngine in tests: signals with a time limit, and script
// results from a page.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <chrono>
#include <functional>

namespace corvane::test {

// The value of `script` in the page; an invalid QVariant after 10 s.
inline QVariant Evaluate(QWebEngineView& view, const QString& script) {
    QVariant result;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

// Processes events until `done` holds or `ms` milliseconds have passed.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace corvane::test

#include <QThread>
#include <QtTest>
#include <thread>
#include <vector>

#include "app/qt_window_receiver.h"
#include "platform/window_messages.h"
#include "tests/app/desktop/desktop_test_support.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// Records the thread each message is handled on.
class ThreadRecorder : public MessageRecorder {
public:
    std::vector<QThread*> threads;

protected:
    bool event(QEvent* e) override {
        if (WindowMessageEvent::From(e)) threads.push_back(QThread::currentThread());
        return MessageRecorder::event(e);
    }
};

}  // namespace

class WindowReceiverTest : public QObject {
    Q_OBJECT
private slots:
    void messagesFromManyThreadsArriveInOrderOnTheWindowThread();
    void eventTypeCarriesTheMessage();
    void detachedReceiverDropsLaterPosts();
};

void WindowReceiverTest::messagesFromManyThreadsArriveInOrderOnTheWindowThread() {
    ThreadRecorder window;
    QtWindowReceiver receiver(&window);
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&receiver, t] {
            const std::uint32_t message = t % 2 ? WM_CHANNEL_EVENT : WM_RTCM_DECODED;
            for (int i = 0; i < kPerThread; ++i) receiver.Post(message, std::uintptr_t(t), i);
        });
    for (std::thread& w : workers) w.join();
    QVERIFY(window.messages.empty());  // nothing is handled on the posting threads
    QVERIFY(SpinUntil([&] { return window.messages.size() == kThreads * kPerThread; }));

    std::vector<std::intptr_t> next(kThreads, 0);
    for (const auto& m : window.messages) {
        const int t = int(m.wParam);
        QCOMPARE(m.message, t % 2 ? WM_CHANNEL_EVENT : WM_RTCM_DECODED);
        QCOMPARE(m.lParam, next[t]++);
    }
    for (QThread* thread : window.threads) QCOMPARE(thread, QThread::currentThread());
}

void WindowReceiverTest::eventTypeCarriesTheMessage() {
    const WindowMessageEvent e(WM_TCP_START_PORT, 6000, -1);
    QCOMPARE(int(e.type()), int(QEvent::User) + 0x406);
    // Another event of the same type is not taken for a message.
    QEvent other(static_cast<QEvent::Type>(QEvent::User + 0x406));
    QVERIFY(!WindowMessageEvent::From(&other));
}

void WindowReceiverTest::detachedReceiverDropsLaterPosts() {
    auto* window = new MessageRecorder;
    QtWindowReceiver receiver(window);
    receiver.Post(WM_CHANNEL_EVENT, 1, 0);
    receiver.Detach();
    receiver.Post(WM_CHANNEL_EVENT, 2, 0);
    QApplication::processEvents();
    QCOMPARE(window->messages.size(), std::size_t{1});
    // A message still queued for a window that is gone is dropped with it.
    QtWindowReceiver late(window);
    late.Post(WM_CHANNEL_EVENT, 3, 0);
    late.Detach();
    delete window;
    QApplication::processEvents();
}

QTEST_MAIN(WindowReceiverTest)
#include "window_receiver_test.moc"

// What the window tests share: casters on loopback that list mountpoints
// and stream them, an application pointed at them, a map bridge that records
// what the window tells the map, and waiting while the event loop runs.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTest>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/corvane_app.h"
#include "tests/support/scripted_caster.h"
#include "net/channel_context.h"
#include "ui/corvane_dlg.h"
#include "ui/map_view_bridge.h"

namespace corvane::test {

// A mountpoint of a test caster: its name, the format field of its source
// table line, and how it answers a stream request.
struct TestMount {
    std::string name;
    std::string format = "RTCM 3.2";
    enum Answer { Stream, Refuse } answer = Stream;
};

// A caster on loopback: "GET / " answers the source table, "GET /NAME" the
// mountpoint's stream (a few hundred bytes every 20 ms until the caster
// stops or the client leaves) or 401. Every connection is served at once.
class TestCaster {
public:
    explicit TestCaster(std::vector<TestMount> mounts);
    std::uint16_t Port() const { return caster_.Port(); }
    // Mountpoint names in the order their stream requests arrived.
    std::vector<std::string> StreamRequests() const;
    // The bytes a stream sends: the same for every request of a name.
    static std::string StreamBytes(const std::string& name, std::size_t n);

private:
    void Serve(CasterConnection& c);
    std::vector<TestMount> mounts_;
    mutable std::mutex mutex_;
    std::vector<std::string> streamRequests_;
    ScriptedCaster caster_;
};

// Points the application's two caster slots at the two ports (0: no
// caster in that slot) with short time-outs.
void PointApp(CCorvaneApp& app, std::uint16_t builtinPort, std::uint16_t manualPort);

// Records the calls the window makes on the map.
class RecordingMap : public MapViewBridge {
public:
    void UpdateMarkers(int mapCaster) override { markers.push_back(mapCaster); }
    void EnableMark(bool enabled) override { enableMark.push_back(enabled); }
    void UpdateMark(const QString& name, bool selected) override {
        updateMark.push_back(name + (selected ? QStringLiteral("=1") : QStringLiteral("=0")));
    }
    std::vector<int> markers;
    std::vector<bool> enableMark;
    std::vector<QString> updateMark;
};

// Remembers mountpoints as ticked with their settings: "NAME" of the
// built-in caster, "NAME@1" of the manual caster.
void RememberTicked(CCorvaneApp& app,
                    const std::vector<std::pair<std::string, MountpointSettings>>& ticked);

// The main window with a RecordingMap (returned through `map`) in place of
// the page, shown; null when it was not exposed.
std::unique_ptr<CCorvaneDlg> OpenMainWindow(CCorvaneApp& app, RecordingMap** map,
                                            const ChannelTiming* timing = nullptr);

// A double click as the system delivers it: press, release, then for the
// second click a press, the double click and the release.
inline void DoubleClick(QWidget* widget, QPoint pos) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
}

}  // namespace corvane::test

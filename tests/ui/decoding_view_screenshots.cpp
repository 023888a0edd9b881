// corvane-decoding-screenshots FOLDER: pictures of the main window's decoding
// view for docs/images/, from recorded streams that a scripted caster on
// loopback serves as the built-in caster: RTCM 3 type 1004 and MSM7 (GPS)
// of one mountpoint, RTCM 2 type 18 (L1) of another. Offscreen unless a
// platform is chosen with -platform or QT_QPA_PLATFORM.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTableWidget>
#include <QThread>
#include <QTreeWidget>

#include <cstdio>
#include <string>

#include "app/corvane_app.h"
#include "net/caster_registry.h"
#include "rtcm/message_codes.h"
#include "tests/app/memory_store.h"
#include "tests/support/scripted_caster.h"
#include "tests/support/test_data.h"
#include "ui/channel_control.h"
#include "ui/corvane_dlg.h"
#include "ui/mount_list_controller.h"

namespace corvane {
namespace {

struct Stream {
    const char* name;
    const char* format;
    const char* file;
    std::string bytes;
};

Stream streams[] = {
    {"JAVAD", "RTCM 3.1", "rtcm3/rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3", {}},
    {"TESTGLO", "RTCM 2.3", "rtcm2/rtklib_testglo.rtcm2", {}},
};

std::string SourceTable() {
    std::string t = "SOURCETABLE 200 OK\r\n";
    for (const Stream& s : streams)
        t += std::string("STR;") + s.name + ";" + s.name + ";" + s.format +
             ";1004(1);2;GPS+GLO;DEMO;KOR;37.50;127.00;0;0;recording;none;B;N;2400;\r\n";
    return t + "ENDSOURCETABLE\r\n";
}

// The source table, or the recording of the mountpoint asked for.
void Serve(test::CasterConnection& c) {
    const std::string request = c.ReadRequest();
    if (request.rfind("GET / ", 0) == 0) {
        c.Send(SourceTable());
        return;
    }
    for (const Stream& s : streams) {
        if (request.rfind(std::string("GET /") + s.name + " ", 0) != 0) continue;
        c.Send("ICY 200 OK\r\n\r\n");
        c.Send(s.bytes);
        c.WaitForClose(std::chrono::seconds(60));
    }
}

void Spin(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

MountpointEntry* Entry(CCorvaneApp& app, const char* name) {
    auto& map = app.registry.maps[kBuiltinSlot];
    const auto found = map.find(name);
    return found == map.end() ? nullptr : found->second.get();
}

// Shows `entry` in the inspector with the tree item of `code` selected.
bool Show(CCorvaneDlg& window, MountpointEntry* entry, std::uint32_t code) {
    window.MountList()->selectRow(window.ListControl().RowOf(entry));
    Spin(100);
    QTreeWidget* tree = window.MessageTree();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).value<std::uint32_t>() != code) continue;
        tree->setCurrentItem(*it);
        Spin(300);
        return window.MessageTable()->rowCount() > 0;
    }
    return false;
}

bool Save(CCorvaneDlg& window, const QDir& folder, const char* name) {
    const QString path = folder.filePath(QString::fromLatin1(name));
    const bool ok = window.grab().save(path, "PNG");
    return ok;
}

// Ticks only `entry` and starts its channel.
void StreamOnly(CCorvaneDlg& window, CCorvaneApp& app, MountpointEntry* entry) {
    if (window.Channels().Running()) window.OnStartStop();
    for (Stream& s : streams) {
        MountpointEntry* e = Entry(app, s.name);
        window.ListControl().TickClicked(window.ListControl().RowOf(e), e == entry);
    }
    window.OnStartStop();
    Spin(1500);
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    using namespace corvane;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: corvane-decoding-screenshots FOLDER\n");
        return 2;
    }
    QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    for (Stream& s : streams) {
        if (!test::ReadFile(test::SharedDataFile(s.file), &s.bytes)) {
            std::fprintf(stderr, "recording %s not found (set CORVANE_DATA)\n", s.file);
            return 1;
        }
    }

    test::ScriptedCaster caster(Serve);
    CCorvaneApp app;
    app.SetBuiltinCasterFromArgs({"127.0.0.1", std::to_string(caster.Port())});
    test::MemoryStore store;
    app.LoadSettings(store);
    test::TempDir out;
    app.settings.path = QString::fromStdString(out.Path()).toStdU16String();

    bool ok = true;
    {
        CCorvaneDlg window(app);
        window.resize(1200, 660);
        window.show();
        window.OnToggleDecodingView();
        Spin(300);
        MountpointEntry* rtcm3 = Entry(app, "JAVAD");
        MountpointEntry* rtcm2 = Entry(app, "TESTGLO");
        if (!rtcm3 || !rtcm2) {
            std::fprintf(stderr, "the caster's mountpoints are not listed\n");
            return 1;
        }
        StreamOnly(window, app, rtcm3);
        ok &= Show(window, rtcm3, MessageCode(kKind1004, 0)) &&
              Save(window, folder, "decoding-1004.png");
        ok &= Show(window, rtcm3, MessageCode(kKindMsm7, 1)) &&
              Save(window, folder, "decoding-msm7.png");
        StreamOnly(window, app, rtcm2);
        ok &= Show(window, rtcm2, MessageCode(kKindRtcm2Type18, 1)) &&
              Save(window, folder, "decoding-type18.png");
        window.OnExit();
    }
    return ok ? 0 : 1;
}

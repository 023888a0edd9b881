// corvane-screenshots FOLDER: renders each dialog of the desktop application
// to a PNG in FOLDER (login.png, options.png, caster.png, and main.png: the
// main window running against two casters on loopback), offscreen unless a
// platform is chosen with -platform or QT_QPA_PLATFORM.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "app/corvane_app.h"
#include "app/ntrip_caster_dlg.h"
#include "app/ntrip_login_dlg.h"
#include "app/ntrip_option_dlg.h"
#include "platform/socket.h"
#include "tools/screenshots/loopback_caster.h"
#include "ui/channel_control.h"
#include "ui/corvane_dlg.h"

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(name));
    const bool ok = window.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    window.hide();
    return ok;
}

void RunEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The main window with both casters' mountpoints, four of them running:
// three streaming (blue; one with a relay client, highlighted), one refused
// (red).
bool SaveMainWindow(const QDir& folder) {
    using namespace corvane;
    LoopbackCaster builtin({{"DOKD00", "RTCM 3.2", 37.24f, 131.86f},
                            {"JEOJ00", "RTCM 3.2", 33.51f, 126.53f},
                            {"SEJU00", "RTCM 3.1", 36.48f, 127.29f},
                            {"SOUL00", "RTCM 2.3", 37.57f, 126.98f},
                            {"VRS-RTCM23", "RTCM 2.3", 36.0f, 127.5f},
                            {"VRS-RTCM31", "RTCM 3.1", 36.0f, 127.5f}},
                           {"DOKD00"});
    LoopbackCaster manual(
        {{"KOREA-RTK", "RTCM 3.2", 37.4f, 127.1f}, {"TEST-MSM", "RTCM 3.3", 35.1f, 129.0f}}, {});
    QTemporaryDir out;
    CCorvaneApp app;
    CasterRegistry& r = app.registry;
    r.SetBuiltinCaster("127.0.0.1", builtin.Port());
    r.ResolveCaster(kBuiltinSlot);
    r.BuildCredentials(kBuiltinSlot);
    r.configs[kManualSlot] = {"127.0.0.1", manual.Port(), "surveyor", "secret"};
    r.ResolveCaster(kManualSlot);
    r.BuildCredentials(kManualSlot);
    app.settings.path = out.path().toStdU16String();
    // No tile server: the map shows its background and the markers, and
    // nothing leaves the machine.
    app.settings.tileServer = u"http://127.0.0.1:9/wmts";
    // A relay start port whose ports for sequences 0 to 7 are free.
    auto freePort = [](int port) {
        platform::SocketHandle probe = platform::CreateTcpSocket();
        const bool ok = platform::BindLoopback(probe, static_cast<std::uint16_t>(port));
        platform::CloseSocket(probe);
        return ok;
    };
    for (int start = 5000; start < 6000; start += 10) {
        bool all = true;
        for (int seq = 0; seq < 8 && all; ++seq) all = freePort(start + seq);
        if (!all) continue;
        app.settings.tcp = static_cast<std::uint16_t>(start);
        break;
    }
    r.remembered[kBuiltinSlot] = {
        {"DOKD00", {1, 0, 0}}, {"JEOJ00", {0, 0, 4}}, {"SEJU00", {1, 0, 3}}};
    r.remembered[kManualSlot] = {{"KOREA-RTK", {1, 0, 1}}};

    CCorvaneDlg window(app);
    ChannelTiming timing;
    timing.bitRatePeriodMs = 1000;
    window.Channels().SetTiming(timing);
    window.show();
    RunEvents(200);
    window.OnStartStop();
    // A relay client on SEJU00 (sequence 2).
    const std::uint16_t relayPort = static_cast<std::uint16_t>(app.settings.tcp + 2);
    platform::SocketHandle client = platform::kInvalidSocket;
    for (int i = 0; i < 50 && client == platform::kInvalidSocket; ++i) {
        RunEvents(40);
        platform::SocketHandle s = platform::CreateTcpSocket();
        platform::SocketAddress a;
        a.family = platform::kAddressFamilyIpv4;
        a.port = platform::HostToNetwork16(relayPort);
        a.ipv4 = platform::Ipv4FromOctets(127, 0, 0, 1);
        platform::SetNonBlocking(s, true);
        platform::StartConnect(s, a);
        if (platform::WaitWritable(s, 100) == platform::WaitResult::Ready &&
            platform::PendingSocketError(s) == 0) {
            client = s;
        } else {
            platform::CloseSocket(s);
        }
    }
    RunEvents(3000);
    window.MountList()->selectRow(2);  // highlighted and streaming: blue on the highlight
    RunEvents(100);
    const QString path = folder.filePath(QStringLiteral("main.png"));
    const bool ok = window.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    platform::CloseSocket(client);
    window.OnExit();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: corvane-screenshots FOLDER\n");
        return 2;
    }
    QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "corvane-screenshots: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }

    // Settings as a user would have them after a while.
    corvane::CCorvaneApp app;
    app.settings.purpose = 1;
    app.settings.path = u"/home/user/GNSS/data";
    app.settings.host = u"caster.example.org";
    app.settings.port = 2101;
    app.settings.user2 = u"surveyor";
    app.settings.pass = u"secret";

    bool ok = true;
    {
        corvane::CNtripLoginDlg login(app);
        ok &= Save(login, folder, "login.png");
    }
    {
        corvane::CNtripOptionDlg options(app);
        ok &= Save(options, folder, "options.png");
    }
    {
        corvane::CNtripCasterDlg caster(app, nullptr);
        ok &= Save(caster, folder, "caster.png");
    }
    ok &= SaveMainWindow(folder);
    return ok ? 0 : 1;
}

// The desktop application from sign-in to close, against RTKLIB's str2str as
// the built-in caster serving a recorded stream: the user signs in, ticks the
// mountpoint with a relay and every output, starts, watches the row turn
// blue and the inspector list the 1004 satellites, stops and closes; the
// next start finds the ticks again.
#include <QtTest>

#include <QAbstractItemView>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <filesystem>
#include <string>

#include "app/corvane_app.h"
#include "app/desktop_startup.h"
#include "app/ntrip_login_dlg.h"
#include "app/qt_settings_store.h"
#include "net/caster_registry.h"
#include "net/run_flag.h"
#include "tests/app/desktop/desktop_test_support.h"
#include "tests/net/channel_test_support.h"
#include "tests/support/str2str_caster.h"
#include "tests/support/test_data.h"
#include "ui/channel_control.h"
#include "ui/corvane_dlg.h"
#include "ui/message_inspector.h"
#include "ui/mount_list_controller.h"
#include "ui/mount_list_model.h"
#include "ui/my_check_box.h"

namespace corvane {

namespace {

constexpr char kMount[] = "CORV";

// Signs in with the real sign-in window: its OK is clicked once it shows.
void SignInWhenAsked() {
    test::WhenModal<CNtripLoginDlg>([](CNtripLoginDlg* login) {
        if (auto* ok = test::ControlOf<QPushButton>(login, 1031)) ok->click();
    });
}

MountpointEntry* Entry(CCorvaneApp& app) {
    auto& map = app.registry.maps[kBuiltinSlot];
    const auto found = map.find(kMount);
    return found == map.end() ? nullptr : found->second.get();
}

std::string ReadAll(const std::string& folder, const std::string& extension) {
    std::string all;
    for (const auto& f : std::filesystem::directory_iterator(folder))
        if (f.path().extension() == extension) test::ReadFile(f.path().string(), &all);
    return all;
}

}  // namespace

class DesktopEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = test::FindOnPath("str2str");
        if (program_.empty()) QSKIP("str2str (Debian package rtklib) is not installed");
        if (!test::ReadFile(test::SharedDataFile("rtcm3/rtklib_testglo.rtcm3"), &recording_))
            QSKIP("shared data folder not found (set CORVANE_DATA)");
    }

    void signInStreamInspectStopAndStartAgain() {
        const std::uint16_t port = test::UnusedPort();
        test::Str2StrCaster caster(program_, port,
                                   std::string(kMount) + ":" + kMount +
                                       ";RTCM "
                                       "3.0;1004(1),1012(1);2;GPS+GLO;TEST;KOR;37.50;127.00;0;0;"
                                       "str2str;none;B;N;2400;e2e");
        QVERIFY(caster.Running());
        QVERIFY(caster.WaitListening());
        const QStringList args{"127.0.0.1", QString::number(port)};
        QtSettingsStore store("corvane-e2e");
        const std::string out = home_.filePath("out").toStdString();
        std::filesystem::create_directories(out);

        std::uint16_t relayPort = 0;
        std::string relayed;
        int inspectedRows = 0;
        bool streamed = false;
        CCorvaneApp first;
        first.dataFolder = home_.path().toStdString();
        SignInWhenAsked();
        const bool signedIn = RunDesktop(first, args, store, [&](CCorvaneApp& app) {
            app.settings.path = QString::fromStdString(out).toStdU16String();
            CCorvaneDlg window(app);
            window.show();
            MountpointEntry* e = Entry(app);
            QVERIFY(e != nullptr);
            QCOMPARE(static_cast<int>(e->formatVersion), 3);
            MountListController& list = window.ListControl();
            MountListModel& rows = *window.MountRows();
            const int row = list.RowOf(e);
            QVERIFY(row >= 0);

            // Tick, relay on, every output (B, D, R) through the drop-down.
            list.TickClicked(row, true);
            QVERIFY(e->selected);
            // The relay port is the TCP start port plus the running number:
            // a free one.
            app.settings.tcp = static_cast<std::uint16_t>(test::UnusedPort() - e->sequence);
            list.CellClicked(rows.index(row, MountListModel::kTcp));
            QVERIFY(e->tcpPort != 0);
            relayPort = e->tcpPort;
            list.CellClicked(rows.index(row, MountListModel::kSave));
            myCheckBox* outputs = window.OutputsEditor();
            QVERIFY(outputs->PopupOpen());
            outputs->SetCheckBits(kOutputRaw | kOutputText | kOutputRinex);
            outputs->hidePopup();
            QVERIFY(test::SpinUntil([&] { return !outputs->PopupOpen(); }));
            QCOMPARE(static_cast<int>(e->outputs), kOutputRaw | kOutputText | kOutputRinex);

            window.OnStartStop();
            QVERIFY(window.Channels().Running());
            test::RelayClient client(relayPort);
            QVERIFY(client.Connected());
            QVERIFY(test::SpinUntil([&] { return e->relayClients == 1; }, 8000));

            // The decoding view on the mountpoint, type 1004.
            window.OnToggleDecodingView();
            window.MountList()->selectRow(list.RowOf(e));
            QVERIFY(
                test::SpinUntil([&] { return window.MessageTree()->topLevelItemCount() == 9; }));
            window.MessageTree()->setCurrentItem(window.MessageTree()->topLevelItem(0));
            QCOMPARE(window.Inspector().SelectedCode(), 0x80010000u);

            for (std::size_t at = 0; at < recording_.size(); at += 2048) {
                QVERIFY(caster.Write(recording_.data() + at,
                                     std::min<std::size_t>(2048, recording_.size() - at)));
                QApplication::processEvents();
                QTest::qSleep(5);
            }
            const QColor blue(0, 0, 255);
            streamed = test::SpinUntil(
                [&] {
                    return rows.data(rows.index(list.RowOf(e), 0), Qt::ForegroundRole)
                                   .value<QColor>() == blue &&
                           window.MessageTable()->rowCount() > 0;
                },
                10000);
            QVERIFY(streamed);
            // Let the relay and the raw file catch up with the caster.
            test::SpinUntil([] { return false; }, 500);
            inspectedRows = window.MessageTable()->rowCount();
            QCOMPARE(window.MessageTable()->columnCount(), 7);

            window.OnStartStop();
            QVERIFY(!window.Channels().Running());
            QVERIFY(client.WaitClosed());
            relayed = client.Received();
            window.OnExit();
        });
        QVERIFY(signedIn);
        QVERIFY(streamed);
        QVERIFY(inspectedRows > 0);

        // The relay client got exactly what the raw file holds, and that is
        // a piece of the recording.
        const std::string raw = ReadAll(out, ".rtcm");
        QVERIFY(raw.size() > 10000);
        QVERIFY(relayed == raw);
        QVERIFY(recording_.find(raw.substr(0, 4096)) != std::string::npos);
        QVERIFY(!ReadAll(out, ".txt").empty());
        QVERIFY(!ReadAll(out, ".o").empty());
        QVERIFY(std::filesystem::exists(home_.filePath("Corvane.ini").toStdString()));

        // The next start: the settings and the selected-mountpoint file give
        // the tick, the relay port and the outputs back.
        bool checked = false;
        CCorvaneApp second;
        second.dataFolder = home_.path().toStdString();
        SignInWhenAsked();
        QVERIFY(RunDesktop(second, args, store, [&](CCorvaneApp& app) {
            QCOMPARE(QString::fromStdU16String(app.settings.path), QString::fromStdString(out));
            CCorvaneDlg window(app);
            MountpointEntry* e = Entry(app);
            QVERIFY(e != nullptr);
            QVERIFY(e->selected);
            QCOMPARE(e->tcpPort, relayPort);
            QCOMPARE(static_cast<int>(e->outputs), kOutputRaw | kOutputText | kOutputRinex);
            QVERIFY(window.MountRows()->Checked(window.ListControl().RowOf(e)));
            checked = true;
            window.OnExit();
        }));
        QVERIFY(checked);
    }

private:
    QTemporaryDir home_;
    std::string program_;
    std::string recording_;
};

}  // namespace corvane

int main(int argc, char** argv) {
    // Settings, the selected-mountpoint file and outputs in a folder of
    // the test's own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    corvane::DesktopEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "desktop_end_to_end_test.moc"

// Start/Stop from the main window with streams from two loopback casters:
// channels in the system-wide order, rows coloured as streams arrive, the
// BPS and relay cells, what running refuses, and closing while running.
#include <QPushButton>
#include <QTest>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/serial.h"
#include "tests/net/channel_test_support.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/ui/ui_test_support.h"
#include "ui/channel_control.h"
#include "ui/corvane_dlg.h"
#include "ui/mount_list_controller.h"
#include "ui/mount_list_model.h"
#include "ui/my_check_box.h"

namespace corvane {

using test::TestCaster;
using test::TestMount;
using test::WaitFor;

class ChannelControlTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nothingTickedStartsNothing();
    void startsTickedMountpointsInOrderAndShowsTheirState();
    void runningRefusesEdits();
    void stopThenStartMakesNewChannels();
    void closingWhileRunningStopsEveryChannel_data();
    void closingWhileRunningStopsEveryChannel();

private:
    void Open(std::vector<std::pair<std::string, MountpointSettings>> ticked);
    int RowOf(const QString& name) const;
    QString Cell(const QString& name, int column) const {
        return dlg->MountRows()->Cell(RowOf(name), column);
    }
    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dlg->Control(id)); }
    std::vector<std::string> ChannelNames() const;

    std::unique_ptr<TestCaster> builtin, manual;
    std::unique_ptr<CCorvaneApp> app;
    std::unique_ptr<CCorvaneDlg> dlg;
    test::RecordingMap* map = nullptr;
    std::uint16_t tcpStart = 0;
};

void ChannelControlTest::init() {
    builtin = std::make_unique<TestCaster>(
        std::vector<TestMount>{{"BETA", "RTCM 3.2"}, {"ALPHA", "RTCM 2.3"}, {"IDLE", "RTCM 3.0"}});
    manual = std::make_unique<TestCaster>(
        std::vector<TestMount>{{"MANU", "RTCM 3.1"}, {"DENY", "RTCM 3.1", TestMount::Refuse}});
    app = std::make_unique<CCorvaneApp>();
    test::PointApp(*app, builtin->Port(), manual->Port());
    // Relay ports are start + sequence; BETA (sequence 1) relays, on a port
    // found free (start + 1 alone may be another socket's ephemeral port).
    tcpStart = static_cast<std::uint16_t>(test::UnusedPort() - 1);
    app->settings.tcp = tcpStart;
}

void ChannelControlTest::cleanup() {
    dlg.reset();
    app.reset();
    builtin.reset();
    manual.reset();
    runFlag = 0;
    platform::ClearSerialDeviceOverrides();
}

void ChannelControlTest::Open(std::vector<std::pair<std::string, MountpointSettings>> ticked) {
    test::RememberTicked(*app, ticked);
    ChannelTiming timing = test::FastTiming();
    timing.bitRatePeriodMs = 100;
    dlg = test::OpenMainWindow(*app, &map, &timing);
    QVERIFY(dlg);
}

int ChannelControlTest::RowOf(const QString& name) const {
    for (int row = 0; row < dlg->MountRows()->rowCount(); ++row)
        if (dlg->MountRows()->Cell(row, 0) == name) return row;
    return -1;
}

std::vector<std::string> ChannelControlTest::ChannelNames() const {
    std::vector<std::string> names;
    for (const auto& c : dlg->Channels().Channels()) names.push_back(c->entry->name);
    return names;
}

void ChannelControlTest::nothingTickedStartsNothing() {
    Open({});
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QCOMPARE(runFlag.load(), 0);
    QVERIFY(dlg->Channels().Channels().empty());
    QCOMPARE(Button(1035)->text(), QString("시작"));
    for (int id : {1031, 1033, 1036}) QVERIFY(Button(id)->isEnabled());
    QCOMPARE(map->enableMark, std::vector<bool>{true});
    QVERIFY(builtin->StreamRequests().empty());
}

void ChannelControlTest::startsTickedMountpointsInOrderAndShowsTheirState() {
    // MANU writes to COM2, a pseudo-terminal.
    test::PseudoTerminal pty;
    QVERIFY(!pty.Device().empty());
    platform::SetSerialDeviceOverride(2, pty.Device());
    app->serialPorts = 1u << 2;
    // Sequences: ALPHA 0, BETA 1, IDLE 2, DENY 3, MANU 4.
    Open({{"MANU@1", {0, 2, 0}}, {"BETA", {1, 0, 0}}, {"ALPHA", {0, 0, 0}}, {"DENY@1", {0, 0, 0}}});
    QCOMPARE(Cell("MANU", 4), QString("COM2"));
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QVERIFY(runFlag.load() != 0);
    QCOMPARE(ChannelNames(), (std::vector<std::string>{"ALPHA", "BETA", "DENY", "MANU"}));
    QCOMPARE(Button(1035)->text(), QString("정지"));
    QCOMPARE(map->enableMark, std::vector<bool>{false});

    // Streams arrive: blue rows with a bit rate; the refusing caster's row red.
    MountListModel* rows = dlg->MountRows();
    auto textColour = [&](const char* name) {
        return rows->data(rows->index(RowOf(name), 0), Qt::ForegroundRole).value<QColor>();
    };
    QVERIFY(WaitFor([&] {
        return textColour("ALPHA") == QColor(0, 0, 255) &&
               textColour("MANU") == QColor(0, 0, 255) && !Cell("BETA", 2).isEmpty() &&
               textColour("DENY") == QColor(255, 0, 0);
    }));
    QVERIFY(Cell("BETA", 2).toInt() > 0);
    QCOMPARE(textColour("IDLE"), QColor(0, 0, 0));

    // A relay client: "port/1" while it is there, "port" once it has left.
    const QString port = QString::number(tcpStart + 1);
    QCOMPARE(Cell("BETA", 3), port);
    {
        test::RelayClient client(static_cast<std::uint16_t>(tcpStart + 1));
        QVERIFY(client.Connected());
        QVERIFY(WaitFor([&] { return Cell("BETA", 3) == port + "/1"; }));
        QVERIFY(WaitFor([&] { return client.Size() >= 3000; }));
        const std::string got = client.Received();
        // Byte-exact: what arrived is a piece of the caster's stream.
        QVERIFY(TestCaster::StreamBytes("BETA", 1 << 16).find(got.substr(0, 600)) !=
                std::string::npos);
    }
    QVERIFY(WaitFor([&] { return Cell("BETA", 3) == port; }));
    QVERIFY(WaitFor([&] { return pty.Received().size() >= 600; }));
    QVERIFY(TestCaster::StreamBytes("MANU", 1 << 16).find(pty.Received().substr(0, 600)) !=
            std::string::npos);
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QCOMPARE(runFlag.load(), 0);
    QVERIFY(dlg->Channels().Channels().empty());
    app->registry.ForEachEntry([](int, MountpointEntry& e) { QVERIFY(e.channel == nullptr); });
}

void ChannelControlTest::runningRefusesEdits() {
    Open({{"BETA", {0, 0, 1}}});
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    for (int id : {1031, 1033, 1036}) QVERIFY(!Button(id)->isEnabled());
    MountListModel* rows = dlg->MountRows();
    const int beta = RowOf("BETA");
    // A tick clicked is put back; an untick too.
    rows->setData(rows->index(RowOf("ALPHA"), 0), Qt::Checked, Qt::CheckStateRole);
    rows->setData(rows->index(beta, 0), Qt::Unchecked, Qt::CheckStateRole);
    QVERIFY(!rows->Checked(RowOf("ALPHA")));
    QVERIFY(rows->Checked(beta));
    QCOMPARE(int{app->registry.maps[0].at("ALPHA")->selected}, 0);
    // TCP, COM and save cells do not react.
    app->serialPorts = 1u << 1;
    for (int column : {3, 4, 5}) dlg->ListControl().CellClicked(rows->index(beta, column));
    QCOMPARE(Cell("BETA", 3) + Cell("BETA", 4) + Cell("BETA", 5), QString("B"));
    QVERIFY(dlg->OutputsEditor()->isHidden());
    // Clear selection and Refresh are refused even when called.
    dlg->OnClearSelection();
    dlg->OnRefresh();
    QVERIFY(rows->Checked(beta));
    QCOMPARE(ChannelNames(), std::vector<std::string>{"BETA"});
    // The view buttons still work.
    QTest::mouseClick(Button(1034), Qt::LeftButton);
    QVERIFY(dlg->DecodingView());
}

void ChannelControlTest::stopThenStartMakesNewChannels() {
    Open({{"ALPHA", {0, 0, 0}}, {"MANU@1", {0, 0, 0}}});
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QVERIFY(WaitFor([&] { return builtin->StreamRequests().size() == 1; }));
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QCOMPARE(runFlag.load(), 0);
    for (int id : {1031, 1033, 1036}) QVERIFY(Button(id)->isEnabled());
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QCOMPARE(ChannelNames(), (std::vector<std::string>{"ALPHA", "MANU"}));
    QVERIFY(app->registry.maps[0].at("ALPHA")->channel == dlg->Channels().Channels()[0].get());
    QVERIFY(WaitFor([&] { return builtin->StreamRequests().size() == 2; }));
    QCOMPARE(map->enableMark, (std::vector<bool>{false, true, false}));
}

void ChannelControlTest::closingWhileRunningStopsEveryChannel_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("exit button") << 0;
    QTest::newRow("close box") << 1;
}

void ChannelControlTest::closingWhileRunningStopsEveryChannel() {
    QFETCH(int, how);
    Open({{"ALPHA", {0, 0, 0}}, {"BETA", {1, 0, 0}}});
    QTest::mouseClick(Button(1035), Qt::LeftButton);
    QVERIFY(WaitFor([&] { return builtin->StreamRequests().size() == 2; }));
    std::vector<MountpointEntry*> entries;
    for (const auto& c : dlg->Channels().Channels()) entries.push_back(c->entry);
    if (how == 0) {
        QTest::mouseClick(Button(1037), Qt::LeftButton);
    } else {
        dlg->close();
    }
    QVERIFY(dlg->isHidden());
    QCOMPARE(runFlag.load(), 0);
    QVERIFY(dlg->Channels().Channels().empty());
    for (MountpointEntry* e : entries) QVERIFY(e->channel == nullptr);
}

}  // namespace corvane

QTEST_MAIN(corvane::ChannelControlTest)
#include "channel_control_test.moc"

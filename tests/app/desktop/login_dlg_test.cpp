#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/corvane_app.h"
#include "app/ntrip_login_dlg.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "tests/app/desktop/desktop_test_support.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// An application whose built-in caster is the scripted one.
void PointAt(CCorvaneApp& app, std::uint16_t port) {
    app.registry.SetBuiltinCaster("127.0.0.1", port);
    app.registry.ResolveCaster(kBuiltinSlot);
    app.registry.timeouts.connectWaits = 2;
    app.registry.timeouts.connectWaitMs = 200;
    app.registry.timeouts.authorizationReceiveMs = 2000;
}

}  // namespace

class LoginDlgTest : public QObject {
    Q_OBJECT
private slots:
    void enterAndEscapeDoNothing_data();
    void enterAndEscapeDoNothing();
    void storedPurposeSelectsItsTextAndReachesTheUserAgent();
    void choosingAPurposeStoresItAtOnce();
    void failedRequestShowsTheMessageAndTheDialogStays_data();
    void failedRequestShowsTheMessageAndTheDialogStays();
    void acceptedRequestEndsWithOk();
    void placement_data();
    void placement();
    void versionAndWhiteLabels();
    void dragAnywhereMovesTheWindow();
};

void LoginDlgTest::enterAndEscapeDoNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focus");  // 0 dialog, else the control
    for (int focus : {0, 1031, 1032, 1021}) {
        QTest::addRow("Return on %d", focus) << int(Qt::Key_Return) << focus;
        QTest::addRow("Enter on %d", focus) << int(Qt::Key_Enter) << focus;
        QTest::addRow("Escape on %d", focus) << int(Qt::Key_Escape) << focus;
    }
}

void LoginDlgTest::enterAndEscapeDoNothing() {
    QFETCH(int, key);
    QFETCH(int, focus);
    ScriptedCaster caster(SignInCaster(kAccepted));
    CCorvaneApp app;
    PointAt(app, caster.Port());
    CNtripLoginDlg dlg(app);
    dlg.show();
    QWidget* target = focus == 0 ? static_cast<QWidget*>(&dlg) : ControlOf<QWidget>(&dlg, focus);
    target->setFocus();
    QTest::keyClick(target, static_cast<Qt::Key>(key));
    QApplication::processEvents();
    QTest::qWait(50);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), 0);
    QVERIFY(!dlg.Busy());
    QCOMPARE(caster.Connections(), 0);
}

void LoginDlgTest::storedPurposeSelectsItsTextAndReachesTheUserAgent() {
    ScriptedCaster caster(SignInCaster(kAccepted));
    CCorvaneApp app;
    PointAt(app, caster.Port());
    app.settings.purpose = 12;
    {
        CNtripLoginDlg dlg(app);
        QCOMPARE(ControlOf<QComboBox>(&dlg, 1021)->currentText(), QStringLiteral("항공"));
        QCOMPARE(ControlOf<QComboBox>(&dlg, 1021)->count(), kPurposeCount);
        dlg.show();
        QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1031), Qt::LeftButton);
        QVERIFY(SpinUntil([&] { return dlg.result() == QDialog::Accepted; }));
    }

    // The next mountpoint request to the built-in caster.
    MountpointEntry entry;
    std::snprintf(entry.name, sizeof entry.name, "MP");
    entry.casterIndex = kBuiltinSlot;
    entry.formatVersion = 3.2f;
    NtripChannel channel(nullptr, app.MakeChannelContext(nullptr));
    runFlag = 1;
    channel.Start(&entry);
    const bool asked = SpinUntil([&] { return caster.Requests().size() >= 2; });
    runFlag = 0;
    channel.Stop();
    QVERIFY(asked);
    const std::string request = caster.Requests()[1];
    QVERIFY2(request.find("GET /MP HTTP/1.1\r\nUser-Agent: NTRIP Caster/1.0 #12\r\n") == 0,
             request.c_str());
}

void LoginDlgTest::choosingAPurposeStoresItAtOnce() {
    CCorvaneApp app;
    app.settings.purpose = 3;
    CNtripLoginDlg dlg(app);
    dlg.show();
    auto* list = ControlOf<QComboBox>(&dlg, 1021);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentText(), QStringLiteral("환경조사"));
    QCOMPARE(int{app.settings.purpose}, 4);
}

void LoginDlgTest::failedRequestShowsTheMessageAndTheDialogStays_data() {
    QTest::addColumn<bool>("refused");  // else nobody listens
    QTest::addRow("refused") << true;
    QTest::addRow("unreachable") << false;
}

void LoginDlgTest::failedRequestShowsTheMessageAndTheDialogStays() {
    QFETCH(bool, refused);
    ScriptedCaster caster(SignInCaster(kRefused, 300));
    CCorvaneApp app;
    PointAt(app, refused ? caster.Port() : UnusedPort());
    CNtripLoginDlg dlg(app);
    dlg.show();
    auto* ok = ControlOf<QPushButton>(&dlg, 1031);
    auto* cancel = ControlOf<QPushButton>(&dlg, 1032);

    QString shown;
    QList<QAbstractButton*> buttons;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        buttons = box->buttons();
        box->accept();
    });
    // The window keeps working while the request runs.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(dlg.Busy());
    QVERIFY(!ok->isEnabled());
    QVERIFY(!cancel->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Escape and Alt+F4 do not end it meanwhile.
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.close());

    QVERIFY(SpinUntil([&] { return !shown.isEmpty(); }));
    QCOMPARE(shown, QStringLiteral("네트워크 또는 방화벽 상태를 확인하여 주십시요!"));
    QCOMPARE(buttons.size(), 1);
    if (refused) QVERIFY(ticks >= 5);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), 0);
    QVERIFY(ok->isEnabled());
    QVERIFY(cancel->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void LoginDlgTest::acceptedRequestEndsWithOk() {
    ScriptedCaster caster(SignInCaster(kAccepted));
    CCorvaneApp app;
    PointAt(app, caster.Port());
    CNtripLoginDlg dlg(app);
    WhenModal<CNtripLoginDlg>([](CNtripLoginDlg* d) {
        QTest::mouseClick(ControlOf<QPushButton>(d, 1031), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(caster.Requests().size(), std::size_t{1});
    QVERIFY(caster.Requests()[0].rfind("GET /ISAUTHORIZED? HTTP/1.1\r\n", 0) == 0);
}

void LoginDlgTest::placement_data() {
    QTest::addColumn<QRect>("stored");  // x, y, w, h of the main window
    QTest::addColumn<QPoint>("expected");
    // Dialog 400 x 200 on a 1280 x 1000 screen.
    QTest::addRow("first run: centred") << QRect(5, 5, 0, 0) << QPoint(440, 400);
    QTest::addRow("over the main window") << QRect(100, 50, 800, 600) << QPoint(300, 250);
    QTest::addRow("clamped at the right and bottom")
        << QRect(1000, 900, 800, 600) << QPoint(880, 800);
    QTest::addRow("never negative") << QRect(-900, -900, 800, 600) << QPoint(0, 0);
    QTest::addRow("narrower than the dialog: centred")
        << QRect(100, 50, 400, 200) << QPoint(440, 400);
    QTest::addRow("wider only") << QRect(100, 50, 800, 100) << QPoint(300, 400);
}

void LoginDlgTest::placement() {
    QFETCH(QRect, stored);
    QFETCH(QPoint, expected);
    AppSettings s;
    s.x = stored.x();
    s.y = stored.y();
    s.w = stored.width();
    s.h = stored.height();
    QCOMPARE(LoginDialogPosition(QSize(400, 200), QSize(1280, 1000), s), expected);
}

void LoginDlgTest::versionAndWhiteLabels() {
    CCorvaneApp app;
    CNtripLoginDlg dlg(app);
    auto* version = ControlOf<QLabel>(&dlg, 1004);
    QCOMPARE(version->text(), QStringLiteral("버전:20.04.17"));
    QCOMPARE(version->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!ControlOf<QLabel>(&dlg, 1008)->pixmap().isNull());
    QCOMPARE(ControlOf<QLabel>(&dlg, 1008)->pixmap().size(), dlg.size());
    // First run: centred on the screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(dlg.pos(), area.topLeft() + QPoint((area.width() - dlg.width()) / 2,
                                                (area.height() - dlg.height()) / 2));
}

void LoginDlgTest::dragAnywhereMovesTheWindow() {
    CCorvaneApp app;
    CNtripLoginDlg dlg(app);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QPoint start = dlg.pos();
    QWidget* background = ControlOf<QWidget>(&dlg, 1008);
    QTest::mousePress(background, Qt::LeftButton, {}, QPoint(40, 30));
    QTest::mouseMove(background, QPoint(90, 50));
    QTest::mouseRelease(background, Qt::LeftButton, {}, QPoint(90, 50));
    QCOMPARE(dlg.pos(), start + QPoint(50, 20));
    // Without a pressed button nothing moves.
    QTest::mouseMove(background, QPoint(10, 10));
    QCOMPARE(dlg.pos(), start + QPoint(50, 20));
}

QTEST_MAIN(LoginDlgTest)
#include "login_dlg_test.moc"

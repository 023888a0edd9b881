#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/corvane_app.h"
#include "app/ntrip_caster_dlg.h"
#include "app/ntrip_option_dlg.h"
#include "platform/window_messages.h"
#include "tests/app/desktop/desktop_test_support.h"

using namespace corvane;
using namespace corvane::test;

class OptionDlgTest : public QObject {
    Q_OBJECT
private slots:
    void startPort_data();
    void startPort();
    void folderChoice_data();
    void folderChoice();
    void serialRowBackToStoredClearsItsFlag();
    void cancelAndEscapeStoreNothing_data();
    void cancelAndEscapeStoreNothing();
    void manualCasterTalksToTheMainWindow();
};

void OptionDlgTest::startPort_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");  // Apply by Enter in the field, else by a click
    QTest::addColumn<int>("sent");    // WM_TCP_START_PORT's port, 0 for none
    QTest::addColumn<int>("stored");
    QTest::addRow("6000 by click") << "6000" << false << 6000 << 6000;
    QTest::addRow("6000 by Enter") << "6000" << true << 6000 << 6000;
    QTest::addRow("same port") << "5000" << false << 0 << 5000;
    QTest::addRow("65535") << "65535" << false << 65535 << 65535;
    QTest::addRow("empty keeps 5000") << "" << false << 0 << 5000;
    QTest::addRow("0 keeps 5000") << "0" << false << 0 << 5000;
    QTest::addRow("70000 keeps 5000") << "70000" << true << 0 << 5000;
}

void OptionDlgTest::startPort() {
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(int, sent);
    QFETCH(int, stored);
    CCorvaneApp app;
    MessageRecorder mainWindow;
    CNtripOptionDlg dlg(app, &mainWindow);
    dlg.show();
    auto* port = ControlOf<QLineEdit>(&dlg, 1011);
    QCOMPARE(port->text(), QStringLiteral("5000"));
    port->setFocus();
    port->selectAll();
    QTest::keyClick(port, Qt::Key_Delete);
    QTest::keyClicks(port, typed);
    if (enter) {
        QTest::keyClick(port, Qt::Key_Return);
    } else {
        QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1033), Qt::LeftButton);
    }
    QVERIFY(!dlg.isVisible());
    QCOMPARE(int{app.settings.tcp}, stored);
    if (sent) {
        QCOMPARE(mainWindow.messages.size(), std::size_t{1});
        QCOMPARE(mainWindow.messages[0].message, WM_TCP_START_PORT);
        QCOMPARE(int(mainWindow.messages[0].wParam), sent);
        QCOMPARE(mainWindow.messages[0].lParam, 0);
        QCOMPARE(dlg.result(), int(kOptionTcpPortChanged));
    } else {
        QVERIFY(mainWindow.messages.empty());
        QCOMPARE(dlg.result(), 0);
    }
}

void OptionDlgTest::folderChoice_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("applyEnabled");
    QTest::addRow("same folder") << "/data/gnss" << false << false;
    QTest::addRow("same folder, other case") << "/DATA/Gnss" << false << false;
    QTest::addRow("another folder") << "/data/other" << true << true;
    QTest::addRow("browser cancelled") << "" << false << true;
    QTest::addRow("longer than 259 characters") << "/" + QString(300, 'a') << false << true;
}

void OptionDlgTest::folderChoice() {
    QFETCH(QString, chosen);
    QFETCH(bool, flag);
    QFETCH(bool, applyEnabled);
    CCorvaneApp app;
    app.settings.path = u"/data/gnss";
    MessageRecorder mainWindow;
    CNtripOptionDlg dlg(app, &mainWindow);
    QString title;
    QString start;
    dlg.SetFolderChooser([&](QWidget* owner, const QString& t, const QString& s) {
        if (owner != &dlg) return QString();
        title = t;
        start = s;
        return chosen;
    });
    dlg.show();
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1031), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("저장 디렉토리"));
    QCOMPARE(start, QStringLiteral("/data/gnss"));
    QCOMPARE(bool(dlg.ChangeFlags() & kOptionFolderChanged), flag);
    auto* apply = ControlOf<QPushButton>(&dlg, 1033);
    QCOMPARE(apply->isEnabled(), applyEnabled);
    if (!applyEnabled) return;
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(QString::fromStdU16String(app.settings.path),
             flag ? chosen : QStringLiteral("/data/gnss"));
}

void OptionDlgTest::serialRowBackToStoredClearsItsFlag() {
    CCorvaneApp app;
    CNtripOptionDlg dlg(app);
    auto* baud = ControlOf<QComboBox>(&dlg, 1021);
    auto* parity = ControlOf<QComboBox>(&dlg, 1023);
    QCOMPARE(baud->currentText(), QStringLiteral("9600"));
    QCOMPARE(parity->count(), 3);
    baud->setCurrentIndex(4);
    parity->setCurrentIndex(2);
    QCOMPARE(dlg.ChangeFlags(), kOptionBaudChanged | kOptionParityChanged);
    baud->setCurrentIndex(1);
    QCOMPARE(dlg.ChangeFlags(), int(kOptionParityChanged));
    dlg.show();
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1033), Qt::LeftButton);
    QCOMPARE(int{app.settings.baud}, 1);
    QCOMPARE(int{app.settings.parity}, 2);
}

void OptionDlgTest::cancelAndEscapeStoreNothing_data() {
    QTest::addColumn<bool>("escape");
    QTest::addRow("Cancel") << false;
    QTest::addRow("Escape") << true;
}

void OptionDlgTest::cancelAndEscapeStoreNothing() {
    QFETCH(bool, escape);
    CCorvaneApp app;
    app.settings.path = u"/data/gnss";
    const AppSettings before = app.settings;
    MessageRecorder mainWindow;
    CNtripOptionDlg dlg(app, &mainWindow);
    dlg.SetFolderChooser(
        [](QWidget*, const QString&, const QString&) { return QStringLiteral("/x"); });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* port = ControlOf<QLineEdit>(&dlg, 1011);
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "6000");
    ControlOf<QComboBox>(&dlg, 1022)->setFocus();  // leaves the port field
    for (int id : {1021, 1022, 1023, 1024})
        ControlOf<QComboBox>(&dlg, id)->setCurrentIndex(1 - (id == 1021));
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1031), Qt::LeftButton);
    QCOMPARE(dlg.ChangeFlags(), 0x3f);
    if (escape) {
        QTest::keyClick(&dlg, Qt::Key_Escape);
    } else {
        QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1034), Qt::LeftButton);
    }
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(mainWindow.messages.empty());
    QCOMPARE(app.settings.tcp, before.tcp);
    QCOMPARE(app.settings.baud, before.baud);
    QCOMPARE(app.settings.data, before.data);
    QCOMPARE(app.settings.parity, before.parity);
    QCOMPARE(app.settings.stop, before.stop);
    QVERIFY(app.settings.path == before.path);
}

void OptionDlgTest::manualCasterTalksToTheMainWindow() {
    CCorvaneApp app;
    MessageRecorder mainWindow;
    CNtripOptionDlg dlg(app, &mainWindow);
    dlg.show();
    WhenModal<CNtripCasterDlg>([](CNtripCasterDlg* caster) {
        QCOMPARE(caster->parentWidget()->objectName(), QStringLiteral("options"));
        auto* host = ControlOf<QLineEdit>(caster, 1011);
        host->setFocus();
        QTest::keyClicks(host, "127.0.0.1");
        QTest::mouseClick(ControlOf<QPushButton>(caster, 1031), Qt::LeftButton);
    });
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1032), Qt::LeftButton);
    QCOMPARE(mainWindow.messages.size(), std::size_t{1});
    QCOMPARE(mainWindow.messages[0].message, WM_REFRESH_REQUEST);
    QVERIFY(app.settings.host == u"127.0.0.1");
    // Cancelling the options afterwards keeps the manual caster.
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1034), Qt::LeftButton);
    QVERIFY(app.settings.host == u"127.0.0.1");
}

QTEST_MAIN(OptionDlgTest)
#include "option_dlg_test.moc"

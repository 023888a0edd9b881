#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cstring>

#include "app/corvane_app.h"
#include "app/ntrip_caster_dlg.h"
#include "net/connection_helpers.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"
#include "tests/app/desktop/desktop_test_support.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// An application whose manual caster is configured and resolved.
void Configure(CCorvaneApp& app) {
    app.settings.host = u"127.0.0.1";
    app.settings.port = 2102;
    app.settings.user2 = u"user";
    app.settings.pass = u"old";
    app.ApplyCasterSettings();
}

void Retype(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Types any text, a character at a time, as a keyboard or input method would.
void TypeText(QWidget* field, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

}  // namespace

class CasterDlgTest : public QObject {
    Q_OBJECT
private slots:
    void okStoresWhatChanged_data();
    void okStoresWhatChanged();
    void textsAreHeldTo31Bytes_data();
    void textsAreHeldTo31Bytes();
    void keys();
};

void CasterDlgTest::okStoresWhatChanged_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("flags");
    QTest::addRow("host cleared") << 1011 << "" << 0x40;
    QTest::addRow("port cleared") << 1012 << "" << 0x80;
    QTest::addRow("port 70000 is not taken") << 1012 << "70000" << 0;
    QTest::addRow("user") << 1013 << "other" << 0x100;
    QTest::addRow("only the password") << 1014 << "new" << 0x200;
    QTest::addRow("same host retyped") << 1011 << "127.0.0.1" << 0;
    QTest::addRow("same port retyped") << 1012 << "2102" << 0;
    QTest::addRow("user differs in case only") << 1013 << "USER" << 0x100;
    QTest::addRow("same password retyped") << 1014 << "old" << 0;
}

void CasterDlgTest::okStoresWhatChanged() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(int, flags);
    CCorvaneApp app;
    Configure(app);
    const CasterEntry before = app.registry.casters[kManualSlot];
    QVERIFY(before.Present());
    // Marks in the slot show whether it was resolved or encoded again.
    app.registry.casters[kManualSlot].address.ipv4 = 0x01020304;
    std::strcpy(app.registry.casters[kManualSlot].credentials, "UNTOUCHED");

    MessageRecorder mainWindow;
    CNtripCasterDlg dlg(app, &mainWindow);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(ControlOf<QLineEdit>(&dlg, 1014)->echoMode(), QLineEdit::Password);
    Retype(ControlOf<QLineEdit>(&dlg, field), typed);
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1031), Qt::LeftButton);

    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), flags);
    const CasterEntry& after = app.registry.casters[kManualSlot];
    const bool refresh = flags & 0xC0;
    QCOMPARE(mainWindow.messages.size(), std::size_t{refresh ? 1u : 0u});
    if (refresh) {
        QCOMPARE(mainWindow.messages[0].message, WM_REFRESH_REQUEST);
        QCOMPARE(mainWindow.messages[0].wParam, std::uintptr_t{0});
        // An empty host or port 0 leaves the slot unconfigured.
        QVERIFY(!after.Present());
    } else {
        QCOMPARE(after.address.ipv4, 0x01020304u);
    }
    if (flags & 0x300) {
        CasterEntry expected;
        EncodeCredentials(expected, platform::WideToNarrow(app.settings.user2),
                          platform::WideToNarrow(app.settings.pass));
        QCOMPARE(QByteArray(after.credentials), QByteArray(expected.credentials));
        QVERIFY(app.settings.pass == (field == 1014 ? typed.toStdU16String() : u"old"));
    } else {
        QCOMPARE(QByteArray(after.credentials), QByteArray("UNTOUCHED"));
    }
    if (field == 1011) QVERIFY(app.settings.host == typed.toStdU16String());
    if (field == 1012) QCOMPARE(int{app.settings.port}, flags ? 0 : 2102);
}

void CasterDlgTest::textsAreHeldTo31Bytes_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("held");
    const QString host40 = QStringLiteral("abcdefghij").repeated(4);
    QTest::addRow("40-character host") << 1011 << host40 << host40.left(31);
    QTest::addRow("31-character user") << 1013 << host40.left(31) << host40.left(31);
    // Three bytes each in UTF-8: ten of them fit, never half of one.
    QTest::addRow("Korean password")
        << 1014 << QStringLiteral("가").repeated(12) << QStringLiteral("가").repeated(10);
}

void CasterDlgTest::textsAreHeldTo31Bytes() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, held);
    CCorvaneApp app;
    MessageRecorder mainWindow;
    CNtripCasterDlg dlg(app, &mainWindow);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* edit = ControlOf<QLineEdit>(&dlg, field);
    edit->setFocus();
    TypeText(edit, typed);
    QCOMPARE(edit->text(), held);
    QVERIFY(platform::WideToNarrow(edit->text().toStdU16String()).size() <= 31);
    QTest::mouseClick(ControlOf<QPushButton>(&dlg, 1031), Qt::LeftButton);
    const std::u16string stored = field == 1011   ? app.settings.host
                                  : field == 1013 ? app.settings.user2
                                                  : app.settings.pass;
    QCOMPARE(QString::fromStdU16String(stored), held);
}

void CasterDlgTest::keys() {
    CCorvaneApp app;
    Configure(app);
    MessageRecorder mainWindow;
    CNtripCasterDlg dlg(app, &mainWindow);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* host = ControlOf<QLineEdit>(&dlg, 1011);
    auto* port = ControlOf<QLineEdit>(&dlg, 1012);
    QCOMPARE(port->text(), QStringLiteral("2102"));
    host->setFocus();
    QTest::keyClick(host, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    // Enter moves on when released, not when pressed.
    QTest::keyPress(host, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), host);
    QTest::keyRelease(host, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), port);
    // Enter on the OK button does not press it either.
    auto* ok = ControlOf<QPushButton>(&dlg, 1031);
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QVERIFY(mainWindow.messages.empty());
    // A port of 0 leaves the field empty.
    app.settings.port = 0;
    CNtripCasterDlg empty(app, &mainWindow);
    QVERIFY(ControlOf<QLineEdit>(&empty, 1012)->text().isEmpty());
}

QTEST_MAIN(CasterDlgTest)
#include "caster_dlg_test.moc"

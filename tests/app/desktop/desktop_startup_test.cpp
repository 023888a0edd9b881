#include <QPushButton>
#include <QtTest>

#include "app/corvane_app.h"
#include "app/desktop_startup.h"
#include "app/ntrip_login_dlg.h"
#include "app/selected_file.h"
#include "tests/app/desktop/desktop_test_support.h"
#include "tests/app/memory_store.h"
#include "tests/support/test_data.h"

using namespace corvane;
using namespace corvane::test;

class DesktopStartupTest : public QObject {
    Q_OBJECT
private slots:
    void signInGoesToTheCasterOfTheCommandLine();
    void oneArgumentAndCancel();
};

void DesktopStartupTest::signInGoesToTheCasterOfTheCommandLine() {
    ScriptedCaster caster(SignInCaster(kAccepted));
    TempDir dir;
    MemoryStore store;
    CCorvaneApp app;
    app.dataFolder = dir.Path();
    bool signInShown = false;
    WhenModal<CNtripLoginDlg>([&](CNtripLoginDlg* login) {
        signInShown = true;
        QTest::mouseClick(login->findChild<QPushButton*>("c1031"), Qt::LeftButton);
    });
    int mainPhases = 0;
    const bool signedIn = RunDesktop(app, {"127.0.0.1", QString::number(caster.Port())}, store,
                                     [&](CCorvaneApp&) { ++mainPhases; });
    QVERIFY(signInShown);
    QVERIFY(signedIn);
    QCOMPARE(mainPhases, 1);
    QCOMPARE(caster.Requests().size(), std::size_t{1});
    QVERIFY(caster.Requests()[0].rfind("GET /ISAUTHORIZED? HTTP/1.1\r\n", 0) == 0);
    QVERIFY(store.ints.count("tcp"));
    std::string file;
    QVERIFY(ReadFile(dir.File(kSelectedFileName), &file));
}

void DesktopStartupTest::oneArgumentAndCancel() {
    TempDir dir;
    MemoryStore store;
    CCorvaneApp app;
    app.dataFolder = dir.Path();
    std::uint16_t portAtSignIn = 0;
    WhenModal<CNtripLoginDlg>([&](CNtripLoginDlg* login) {
        portAtSignIn = app.registry.configs[kBuiltinSlot].port;
        QTest::mouseClick(login->findChild<QPushButton*>("c1032"), Qt::LeftButton);
    });
    int mainPhases = 0;
    QVERIFY(!RunDesktop(app, {"127.0.0.1"}, store, [&](CCorvaneApp&) { ++mainPhases; }));
    QCOMPARE(portAtSignIn, std::uint16_t{2101});
    QCOMPARE(app.registry.configs[kBuiltinSlot].host, std::string("127.0.0.1"));
    QCOMPARE(mainPhases, 0);
    // The settings are written all the same; the mountpoint file is not.
    QCOMPARE(QString::fromStdString(store.order.substr(0, 4)), QStringLiteral("x y "));
    std::string file;
    QVERIFY(!ReadFile(dir.File(kSelectedFileName), &file));
}

QTEST_MAIN(DesktopStartupTest)
#include "desktop_startup_test.moc"

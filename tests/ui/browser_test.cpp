// The map view's browser: calls held until the page has loaded, arguments
// passed as data, the page's calls reaching the application, dialogs and
// navigation away suppressed.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tests/ui/qt_test_registry.h"
#include "tests/ui/web_test_helpers.h"
#include "ui/map/browser.h"

namespace corvane::test {
namespace {

// A copy of the recording page in `dir`.
QString WritePage(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QFile::copy(QStringLiteral(CORVANE_RECORDING_PAGE), path);
    return path;
}

QString Calls(CBrowser& b) {
    return Evaluate(b, QStringLiteral("JSON.stringify(window.calls)")).toString();
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

private slots:
    void callsBeforeTheLoadAreHeldAndMadeInOrder() {
        QTemporaryDir dir;
        CBrowser b;
        b.resize(400, 300);
        QSignalSpy loaded(&b, &CBrowser::DocumentComplete);
        b.UpdateMark(QStringLiteral("A"), 1);
        b.EnableMark(0);  // the page has no EnableMark: skipped
        b.ClearMarks();   // alerts first: the dialog is suppressed, not waited for
        b.AddMark(37.1f, 127.3f, QStringLiteral("A"), QString(), 2);
        b.Navigate(WritePage(dir), {});
        QVERIFY(loaded.wait(20000));
        b.UpdateMark(QStringLiteral("A"), 0);
        // 32-bit floats reach the page as what they are.
        QCOMPARE(Calls(b),
                 QStringLiteral(R"([["UpdateMark","A",1],["ClearMarks"],)"
                                R"(["AddMark",37.099998474121094,127.30000305175781,"A","",2],)"
                                R"(["UpdateMark","A",0]])"));
    }

    void namesReachThePageAsData_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("quote and script") << QStringLiteral("x');window.injected=1;//");
        QTest::newRow("double quote") << QStringLiteral("x\"+(window.injected=1)+\"");
        QTest::newRow("markup") << QStringLiteral("<img src=x onerror=\"window.injected=1\">");
        QTest::newRow("script end")
            << QStringLiteral("</script><script>window.injected=1</script>");
        QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c\nd\\");
        QTest::newRow("korean") << QStringLiteral("서울_1");
    }
    void namesReachThePageAsData() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        CBrowser b;
        QSignalSpy loaded(&b, &CBrowser::DocumentComplete);
        b.Navigate(WritePage(dir), {});
        QVERIFY(loaded.wait(20000));
        b.UpdateMark(name, 1);
        QCOMPARE(Evaluate(b, QStringLiteral("calls[0][1]")).toString(), name);
        QCOMPARE(Evaluate(b, QStringLiteral("String(window.injected)")).toString(),
                 QStringLiteral("undefined"));
    }

    void thePageReachesTheApplicationAfterTheViewIsRestored() {
        QTemporaryDir dir;
        CBrowser b;
        QSignalSpy loaded(&b, &CBrowser::DocumentComplete);
        QSignalSpy moved(&b, &CBrowser::MapMoved);
        QSignalSpy toggled(&b, &CBrowser::MarkToggled);
        b.Navigate(WritePage(dir), {});
        QVERIFY(loaded.wait(20000));
        QVERIFY(
            WaitUntil([&] { return Evaluate(b, QStringLiteral("!!window.connected")).toBool(); }));
        // The page's start-up view (9, 1, 2) is not taken for the stored one.
        QCOMPARE(moved.count(), 0);
        b.MoveMap(3, 1900000, 950000);
        QVERIFY(WaitUntil([&] { return !moved.isEmpty(); }));
        QCOMPARE(moved.last(), (QList<QVariant>{3, 1900000, 950000}));
        Evaluate(b, QStringLiteral("window.external.UpdateMark('서울_1', 5), 0"));
        QVERIFY(WaitUntil([&] { return !toggled.isEmpty(); }));
        QCOMPARE(toggled.last(), (QList<QVariant>{QStringLiteral("서울_1"), 5}));
    }

    void thePageCannotNavigateAway() {
        QTemporaryDir dir;
        CBrowser b;
        QSignalSpy loaded(&b, &CBrowser::DocumentComplete);
        b.Navigate(WritePage(dir), {});
        QVERIFY(loaded.wait(20000));
        const QUrl page = b.url();
        Evaluate(b, QStringLiteral("window.location.href = 'file:///etc/hostname', 0"));
        QTest::qWait(500);
        QCOMPARE(b.url(), page);
        QCOMPARE(Evaluate(b, QStringLiteral("typeof AddMark")).toString(),
                 QStringLiteral("function"));
    }
};

static RegisterQtTest<BrowserTest> registerBrowserTest;

}  // namespace corvane::test

#include "browser_test.moc"

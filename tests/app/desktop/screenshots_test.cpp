#include <QImage>
#include <QProcess>
#include <QSet>
#include <QtTest>

#include "tests/support/test_data.h"

class ScreenshotsTest : public QObject {
    Q_OBJECT
private slots:
    void everyDialogIsPictured();
};

void ScreenshotsTest::everyDialogIsPictured() {
    corvane::test::TempDir dir;
    const QString folder = QString::fromStdString(dir.Path()) + "/shots";
    QProcess tool;
    tool.start(QStringLiteral(CORVANE_SCREENSHOTS_PATH), {folder});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    for (const char* name : {"login.png", "options.png", "caster.png", "main.png"}) {
        const QImage image(folder + "/" + name);
        QVERIFY2(!image.isNull(), name);
        QVERIFY(image.width() > 200 && image.height() > 150);
        // Not blank: text and frames give many colours, and no colour covers
        // almost everything.
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
        int most = 0;
        for (int n : counts) most = std::max(most, n);
        QVERIFY2(counts.size() > 32, name);
        QVERIFY2(most < image.width() * image.height() * 95 / 100, name);
    }
}

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"

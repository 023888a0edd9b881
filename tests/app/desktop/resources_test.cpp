#include <QImage>
#include <QtTest>

#include "app/desk_resources.h"

using namespace corvane;

class ResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void imagesAreEmbeddedAtTheirSizes_data();
    void imagesAreEmbeddedAtTheirSizes();
    void tickedMarkersAreDarker();
};

void ResourcesTest::imagesAreEmbeddedAtTheirSizes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addRow("icon") << resources::kAppIcon << QSize(256, 256);
    QTest::addRow("sign-in background") << resources::kLoginBackground << QSize(568, 260);
    QTest::addRow("built-in pin") << resources::kPinBuiltin << QSize(14, 21);
    QTest::addRow("manual pin") << resources::kPinManual << QSize(14, 21);
    for (int n = 0; n < 6; ++n)
        QTest::addRow("marker %d", n) << resources::MarkerPath(n) << QSize(22, 34);
}

void ResourcesTest::imagesAreEmbeddedAtTheirSizes() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    // Drawn, not empty: the centre of every picture is opaque.
    QCOMPARE(qAlpha(image.pixel(size.width() / 2, size.height() / 3)), 255);
}

void ResourcesTest::tickedMarkersAreDarker() {
    // Types 2n and 2n+1: the same colour family, the ticked one darker.
    auto lightness = [](int type) {
        return QColor(QImage(resources::MarkerPath(type)).pixel(11, 20)).lightness();
    };
    for (int n = 0; n < 3; ++n)
        QVERIFY2(lightness(2 * n + 1) < lightness(2 * n), qPrintable(QString::number(n)));
}

QTEST_MAIN(ResourcesTest)
#include "resources_test.moc"

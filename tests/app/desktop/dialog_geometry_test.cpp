#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include "app/dialog_font.h"
#include "app/dialog_template.h"
#include "app/dialog_units.h"
#include "app/dynamic_layout.h"
#include "app/template_dialog.h"

using namespace corvane;

class DialogGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void dialogUnitsToPixels_data();
    void dialogUnitsToPixels();
    void koreanTextHasAFont();
    void layoutPercentages_data();
    void layoutPercentages();
    void layoutFollowsResize();
    void brokenTemplates_data();
    void brokenTemplates();
};

void DialogGeometryTest::dialogUnitsToPixels_data() {
    QTest::addColumn<QRect>("units");
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("pixels");
    // "맑은 고딕" 9 pt at 96 dpi: 7 x 16 pixels.
    QTest::addRow("OK button of the sign-in")
        << QRect(172, 108, 48, 12) << 7 << 16 << QRect(301, 216, 84, 24);
    QTest::addRow("halves round up") << QRect(1, 1, 3, 5) << 6 << 12 << QRect(2, 2, 5, 8);
    QTest::addRow("below a half rounds down") << QRect(1, 1, 1, 1) << 5 << 11 << QRect(1, 1, 1, 1);
    QTest::addRow("negative position") << QRect(-3, -5, 4, 8) << 6 << 12 << QRect(-5, -8, 6, 12);
    QTest::addRow("main window 596 x 255")
        << QRect(0, 0, 596, 255) << 7 << 16 << QRect(0, 0, 1043, 510);
}

void DialogGeometryTest::dialogUnitsToPixels() {
    QFETCH(QRect, units);
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnitsToPixels(units, DialogBaseUnits{baseX, baseY}), pixels);
}

void DialogGeometryTest::koreanTextHasAFont() {
    const QFont font = DialogFont(QStringLiteral("맑은 고딕"), 9);
    QCOMPARE(font.families().first(), QStringLiteral("맑은 고딕"));
    const QFontMetrics metrics(font);
    for (QChar c : QStringLiteral("사용목적확인취소옵션캐스터"))
        QVERIFY2(metrics.inFont(c), qPrintable(QFontInfo(font).family()));
}

void DialogGeometryTest::layoutPercentages_data() {
    QTest::addColumn<int>("moveX");
    QTest::addColumn<int>("moveY");
    QTest::addColumn<int>("sizeX");
    QTest::addColumn<int>("sizeY");
    QTest::addColumn<QSize>("delta");
    QTest::addColumn<QRect>("expected");
    // Base rectangle 10, 20, 100, 50.
    QTest::addRow("none") << 0 << 0 << 0 << 0 << QSize(200, 100) << QRect(10, 20, 100, 50);
    QTest::addRow("wider 50 taller 100")
        << 0 << 0 << 50 << 100 << QSize(201, 100) << QRect(10, 20, 200, 150);
    QTest::addRow("right 100 down 100")
        << 100 << 100 << 0 << 0 << QSize(33, 7) << QRect(43, 27, 100, 50);
    QTest::addRow("right 50 wider 50 shrinking")
        << 50 << 0 << 50 << 0 << QSize(-41, -10) << QRect(-10, 20, 80, 50);
    QTest::addRow("right 70 wider 30")
        << 70 << 0 << 30 << 0 << QSize(99, 0) << QRect(79, 20, 129, 50);
}

void DialogGeometryTest::layoutPercentages() {
    QFETCH(int, moveX);
    QFETCH(int, moveY);
    QFETCH(int, sizeX);
    QFETCH(int, sizeY);
    QFETCH(QSize, delta);
    QFETCH(QRect, expected);
    QCOMPARE(LaidOutRect(QRect(10, 20, 100, 50), {moveX, moveY, sizeX, sizeY}, delta), expected);
}

void DialogGeometryTest::layoutFollowsResize() {
    const QByteArray json = R"({"name": "w", "font": {"face": "NanumGothic", "points": 9},
        "size": [100, 100], "controls": [
        {"id": 1, "kind": "button", "rect": [4, 80, 20, 12], "layout": {"moveY": 100}},
        {"id": 2, "kind": "edit", "rect": [4, 4, 92, 70], "layout": {"sizeX": 50, "sizeY": 100}},
        {"id": 3, "kind": "static", "rect": [50, 80, 20, 8]}]})";
    const std::optional<DialogTemplate> t = ParseDialogTemplate(json);
    QVERIFY(t);
    QWidget window;
    const TemplateControls controls = BuildFromTemplate(&window, *t);
    const QRect button = controls.Control(1)->geometry();
    const QRect edit = controls.Control(2)->geometry();
    const QRect label = controls.Control(3)->geometry();
    window.show();
    window.resize(window.size() + QSize(60, 40));
    QApplication::processEvents();
    QCOMPARE(controls.Control(1)->geometry(), button.translated(0, 40));
    QCOMPARE(controls.Control(2)->geometry(), edit.adjusted(0, 0, 30, 40));
    QCOMPARE(controls.Control(3)->geometry(), label);
}

void DialogGeometryTest::brokenTemplates_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addRow("not JSON") << QByteArray("{\"size\": [1, 2]");
    QTest::addRow("no size") << QByteArray(R"({"controls": []})");
    QTest::addRow("control without kind")
        << QByteArray(R"({"size": [10, 10], "controls": [{"id": 1, "rect": [0, 0, 1, 1]}]})");
    QTest::addRow("negative width") << QByteArray(
        R"({"size": [10, 10], "controls": [{"id": 1, "kind": "edit", "rect": [0, 0, -1, 1]}]})");
    QTest::addRow("id twice") << QByteArray(
        R"({"size": [10, 10], "controls": [{"id": 1, "kind": "edit", "rect": [0, 0, 1, 1]}, {"id": 1, "kind": "button", "rect": [0, 0, 1, 1]}]})");
}

void DialogGeometryTest::brokenTemplates() {
    QFETCH(QByteArray, json);
    QString error;
    QVERIFY(!ParseDialogTemplate(json, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(DialogGeometryTest)
#include "dialog_geometry_test.moc"

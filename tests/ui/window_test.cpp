// The main window itself: placement, minimum size, keys, the about box,
// the clock, the views and the column widths.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "net/run_flag.h"
#include "tests/ui/ui_test_support.h"
#include "ui/about_dlg.h"
#include "ui/column_layout.h"
#include "ui/corvane_dlg.h"
#include "ui/window_placement.h"

namespace corvane {

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void placementRule_data();
    void placementRule();
    void firstRunOpensCentredAndStoresItsRectangle();
    void storedSizeCoveringTheScreenOpensMaximised();
    void minimumSize();
    void enterAndEscapeDoNotClose();
    void f1OpensTheAboutBox();
    void clockAndViews();
    void columnWidths();

private:
    void Open();
    QSize Screen() const { return QGuiApplication::primaryScreen()->availableGeometry().size(); }

    std::unique_ptr<test::TestCaster> builtin;
    std::unique_ptr<CCorvaneApp> app;
    std::unique_ptr<CCorvaneDlg> dlg;
    test::RecordingMap* map = nullptr;
};

void WindowTest::init() {
    builtin = std::make_unique<test::TestCaster>(std::vector<test::TestMount>{{"ONE"}, {"TWO"}});
    app = std::make_unique<CCorvaneApp>();
    test::PointApp(*app, builtin->Port(), 0);
    app->settings.w = app->settings.h = 0;
}

void WindowTest::cleanup() {
    dlg.reset();
    app.reset();
    builtin.reset();
    runFlag = 0;
}

void WindowTest::Open() {
    dlg = test::OpenMainWindow(*app, &map);
    QVERIFY(dlg);
}

void WindowTest::placementRule_data() {
    QTest::addColumn<QList<int>>("stored");  // x, y, w, h
    QTest::addColumn<QList<int>>("placed");  // x, y, w, h, maximised
    // Window 1100 x 600 on a 1920 x 1040 screen.
    QTest::newRow("first run: centred")
        << QList<int>{5, 5, 0, 0} << QList<int>{410, 220, 1100, 600, 0};
    QTest::newRow("stored: kept") << QList<int>{30, 40, 1200, 700}
                                  << QList<int>{30, 40, 1200, 700, 0};
    QTest::newRow("covers the screen")
        << QList<int>{-8, -8, 1936, 1056} << QList<int>{-8, -8, 1936, 1056, 1};
    QTest::newRow("wider: cut at 0")
        << QList<int>{300, 40, 2000, 700} << QList<int>{0, 40, 1920, 700, 0};
    QTest::newRow("taller: cut at 0")
        << QList<int>{30, 500, 1200, 1100} << QList<int>{30, 0, 1200, 1040, 0};
    QTest::newRow("off the right edge")
        << QList<int>{1500, 900, 1200, 700} << QList<int>{720, 340, 1200, 700, 0};
    QTest::newRow("first run on a small screen")
        << QList<int>{5, 5, 0, 0} << QList<int>{0, 0, 1920, 1040, 1};
}

void WindowTest::placementRule() {
    QFETCH(QList<int>, stored);
    QFETCH(QList<int>, placed);
    const bool small = QString(QTest::currentDataTag()).contains("small");
    const WindowPlacement p = PlaceWindow(stored[0], stored[1], stored[2], stored[3],
                                          small ? 2000 : 1100, small ? 1100 : 600, 1920, 1040);
    if (placed[4]) {
        QVERIFY(p.maximised);
        return;
    }
    QVERIFY(!p.maximised);
    QCOMPARE((QList<int>{p.x, p.y, p.w, p.h}), placed.mid(0, 4));
}

void WindowTest::firstRunOpensCentredAndStoresItsRectangle() {
    const QSize screen = Screen();
    if (screen.width() < 1200 || screen.height() < 700)
        QSKIP("needs a screen larger than the window");
    Open();
    const AppSettings& s = app->settings;
    QCOMPARE(s.w, dlg->width());
    QCOMPARE(s.h, dlg->height());
    QCOMPARE(s.x, (screen.width() - s.w) / 2);
    QCOMPARE(s.y, (screen.height() - s.h) / 2);
    QCOMPARE(dlg->pos(), QPoint(s.x, s.y));
    dlg->move(20, 30);
    const QSize size = dlg->minimumSize() + QSize(41, 18);
    dlg->resize(size);
    QTest::mouseClick(dlg->Control(1037), Qt::LeftButton);
    QCOMPARE((QList<int>{s.x, s.y, s.w, s.h}),
             (QList<int>{20, 30, size.width(), size.height()}));
}

void WindowTest::storedSizeCoveringTheScreenOpensMaximised() {
    const QSize screen = Screen();
    AppSettings& s = app->settings;
    s.x = 7;
    s.y = 9;
    s.w = screen.width();
    s.h = screen.height();
    Open();
    QVERIFY(dlg->isMaximized());
    QCOMPARE(app->settings.x, 7);  // nothing else changes
    dlg->close();
    QVERIFY(app->settings.w >= screen.width() && app->settings.h >= screen.height());
}

void WindowTest::minimumSize() {
    Open();
    // 1059 x 582, or the template's size where the dialog font makes it larger.
    const QSize least = dlg->minimumSize();
    QVERIFY(least.width() >= 1059 && least.height() >= 582);
    dlg->resize(400, 300);
    QCOMPARE(dlg->size(), least);
    // At the least size the bottom buttons do not overlap.
    const QRect decoding = dlg->Control(1034)->geometry(), start = dlg->Control(1035)->geometry();
    QVERIFY2(decoding.right() < start.left(), "디코딩보기 and 시작 overlap");
}

void WindowTest::enterAndEscapeDoNotClose() {
    Open();
    for (QWidget* target : {static_cast<QWidget*>(dlg.get()), dlg->Control(1035),
                            dlg->Control(1037), static_cast<QWidget*>(dlg->MountList())}) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    QVERIFY(dlg->isVisible());
    QCOMPARE(runFlag.load(), 0);  // 시작 not pressed either
}

void WindowTest::f1OpensTheAboutBox() {
    Open();
    QString caption, version;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (!about) return;
        caption = about->windowTitle();
        version = about->VersionLabel()->text();
        about->accept();
    });
    QTest::keyClick(dlg->MountList(), Qt::Key_F1);
    QCOMPARE(caption, QString("Corvane 정보"));
    QCOMPARE(version, QString("Corvane, 버전 20.04.17"));
    QVERIFY(dlg->isVisible());
}

void WindowTest::clockAndViews() {
    Open();
    QLabel* clock = dlg->Clock();
    QVERIFY(QRegularExpression("^ \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d $")
                .match(clock->text())
                .hasMatch());
    QVERIFY(clock->isHidden());
    auto* toggle = qobject_cast<QPushButton*>(dlg->Control(1034));
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QString("지도보기"));
    for (int id : {1004, 1005, 1003, 1002}) QVERIFY(dlg->Control(id)->isVisible());
    for (int id : {1038, 1039, 1007}) QVERIFY(dlg->Control(id)->isHidden());
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QString("디코딩보기"));
    for (int id : {1004, 1005, 1003, 1002}) QVERIFY(dlg->Control(id)->isHidden());
    // The map caster buttons: a change places the markers, the same one
    // again does nothing.
    map->markers.clear();
    QTest::mouseClick(dlg->Control(1039), Qt::LeftButton);
    QTest::mouseClick(dlg->Control(1039), Qt::LeftButton);
    QTest::mouseClick(dlg->Control(1038), Qt::LeftButton);
    QCOMPARE(map->markers, (std::vector<int>{1, 0}));
    // Refresh places the markers too.
    QTest::mouseClick(dlg->Control(1031), Qt::LeftButton);
    QCOMPARE(map->markers.back(), 0);
    QCOMPARE(map->markers.size(), 3u);
}

void WindowTest::columnWidths() {
    QCOMPARE(MountListColumnWidths(500), (std::vector<int>{157, 50, 65, 65, 65}));
    // No tree on show: the decoded-message table keeps its widths.
    QVERIFY(DecodedTableProportions(0, 0x80010000u).empty());
    QVERIFY(DecodedTableProportions(2, 0x80010000u).empty());
    QCOMPARE(DecodedTableColumnWidths(3, 0x82000003u, 996),
             (std::vector<int>{80, 112, 200, 200, 136, 120}));  // MSM7, any constellation
    Open();
    QTableView* list = dlg->MountList();
    const std::vector<int> expected = MountListColumnWidths(list->width());
    QTest::qWait(0);
    for (int i = 0; i < 5; ++i) QCOMPARE(list->columnWidth(i), expected[std::size_t(i)]);
    // A column dragged wider springs back when the drag ends.
    QHeaderView* header = list->horizontalHeader();
    header->resizeSection(0, 40);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(test::WaitFor([&] { return list->columnWidth(0) == expected[0]; }));
}

}  // namespace corvane

QTEST_MAIN(corvane::WindowTest)
#include "window_test.moc"

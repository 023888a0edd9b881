// The map in the main window: page files while the window is open, the
// stored view restored, markers of both casters, ticks on the map and in the
// list in step, clicks refused while running, and the view kept over a
// restart.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/corvane_app.h"
#include "tests/support/scripted_caster.h"
#include "tests/ui/qt_test_registry.h"
#include "tests/ui/tile_server.h"
#include "tests/ui/web_test_helpers.h"
#include "ui/channel_control.h"
#include "ui/corvane_dlg.h"
#include "ui/map/browser.h"
#include "ui/map/map_page_files.h"
#include "ui/map_view.h"
#include "ui/mount_list_controller.h"

namespace corvane::test {
namespace {

// Latitude 37.5, longitude 127.0 in EPSG:5179: every test mountpoint stands
// there, and the stored view is centred on it.
constexpr int kNorthing = 1944643;
constexpr int kEasting = 955804;

// A caster answering every request with a source table.
std::unique_ptr<ScriptedCaster> TableCaster(const std::vector<std::string>& lines) {
    std::string table = "SOURCETABLE 200 OK\r\n";
    for (const auto& l : lines) table += l + "\r\n";
    table += "ENDSOURCETABLE\r\n";
    return std::make_unique<ScriptedCaster>([table](CasterConnection& c) {
        c.ReadRequest();
        c.Send(table);
    });
}

std::string Str(const std::string& name, const char* lat, const char* lon) {
    return "STR;" + name + ";" + name + ";RTCM 3.2;1004;2;GPS;NET;KOR;" + lat + ";" + lon +
           ";0;0;x;none;B;N;0;";
}

QString PopupLines(CBrowser& b) {
    return Evaluate(b, QStringLiteral(
                           "Array.from(document.querySelectorAll('.mark-line'))"
                           ".map(l => l.textContent + '/' + l.getAttribute('typ')).join(' ')"))
        .toString();
}

}  // namespace

class MapWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    TileServer tiles_;
    std::unique_ptr<ScriptedCaster> builtin_, manual_;
    std::unique_ptr<CCorvaneApp> app_;

    QString DataFolder() const { return dir_.filePath(QStringLiteral("Halvex")); }

    // Opens the window and waits until the page has loaded, restored the
    // stored view and reported it back.
    std::unique_ptr<CCorvaneDlg> OpenWindow(QSize size = {1059, 582}) {
        auto w = std::make_unique<CCorvaneDlg>(*app_);
        w->resize(size);
        w->show();
        CBrowser& b = Browser(*w);
        QSignalSpy moved(&b, &CBrowser::MapMoved);
        if (!WaitUntil([&] { return !moved.isEmpty(); }, 20000)) return nullptr;
        QTest::qWait(500);  // drawing
        return w;
    }
    static CBrowser& Browser(CCorvaneDlg& w) { return static_cast<MapView&>(w.Map()).Browser(); }

    // Opens the pop-up of the marker in the middle of the map (clicking
    // again while the marker is not drawn yet).
    static bool OpenPopup(CCorvaneDlg& w) {
        CBrowser& b = Browser(w);
        QWidget* target = b.focusProxy() ? b.focusProxy() : &b;
        return WaitUntil(
            [&] {
                QTest::mouseClick(target, Qt::LeftButton, {},
                                  QPoint(b.width() / 2, b.height() / 2 - 12));
                return WaitUntil(
                    [&] {
                        return Evaluate(b, QStringLiteral(
                                               "document.querySelectorAll('.mark-line').length"))
                                   .toInt() > 0;
                    },
                    1000);
            },
            20000);
    }
    static void ClickLine(CCorvaneDlg& w, const QString& name) {
        Evaluate(Browser(w), QStringLiteral("document.getElementById(%1).click(), 0")
                                 .arg(QStringLiteral("'") + name + QStringLiteral("_select'")));
    }
    static bool LinesBecome(CCorvaneDlg& w, const QString& lines) {
        return WaitUntil([&] { return PopupLines(Browser(w)) == lines; });
    }
    MountpointEntry& Entry(int slot, const char* name) {
        return *app_->registry.maps[slot].at(name);
    }

private slots:
    void init() {
        builtin_ =
            TableCaster({Str("SEOI_RTCM31", "37.5", "127.0"), Str("SEOI-RTCM32", "37.5", "127.0"),
                         Str("ZERO", "0.0", "127.0"), Str("ABCD_1", "36.0", "128.0")});
        manual_ = TableCaster({Str("FOREIGN", "37.5", "127.0"), Str("FAR", "48.1", "11.5")});
        app_ = std::make_unique<CCorvaneApp>();
        app_->dataFolder = DataFolder().toStdString();
        app_->registry.timeouts.connectWaits = 1;
        app_->registry.timeouts.connectWaitMs = 500;
        app_->registry.timeouts.sourceTableReceiveMs = 2000;
        app_->registry.SetBuiltinCaster("127.0.0.1", builtin_->Port());
        app_->registry.ResolveCaster(0);
        app_->registry.configs[1].host = "127.0.0.1";
        app_->registry.configs[1].port = manual_->Port();
        app_->registry.ResolveCaster(1);
        app_->registry.remembered[0]["SEOI_RTCM31"] = {};
        app_->registry.remembered[1]["FOREIGN"] = {};
        app_->settings.scale = 3;
        app_->settings.centerX = kNorthing;
        app_->settings.centerY = kEasting;
        app_->settings.tileServer =
            QStringLiteral("http://127.0.0.1:%1/wmts").arg(tiles_.serverPort()).toStdU16String();
        tiles_.requests.clear();
    }
    void cleanup() {
        app_.reset();
        builtin_.reset();
        manual_.reset();
    }

    void pageFilesLiveAsLongAsTheWindow() {
        auto w = OpenWindow();
        QVERIFY(w);
        QStringList files = QDir(DataFolder()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{"Corvane.htm", "mark0.png", "mark1.png", "mark2.png",
                                     "mark3.png", "mark4.png", "mark5.png"}));
        w->done(0);
        w.reset();
        QVERIFY(QDir(DataFolder()).entryList(QDir::Files).isEmpty());
    }

    void theStoredViewIsRestoredAndKeptOverARestart() {
        auto w = OpenWindow();
        QVERIFY(w);
        // Tiles of the stored zoom (matrix 3 + 6) around the stored centre.
        QVERIFY(WaitUntil(
            [&] { return tiles_.requests.filter(QStringLiteral("TileMatrix=9&")).size() > 0; }));
        QCOMPARE(app_->settings.scale, 3);
        QCOMPARE(app_->settings.centerX, kNorthing);
        QCOMPARE(app_->settings.centerY, kEasting);
        // The user moves the map.
        Evaluate(Browser(*w), QStringLiteral("MoveMap(6, 1900000, 1000000), 0"));
        QVERIFY(WaitUntil([&] { return app_->settings.scale == 6; }));
        QCOMPARE(app_->settings.centerX, 1900000);
        QCOMPARE(app_->settings.centerY, 1000000);
        w->done(0);
        w.reset();

        tiles_.requests.clear();
        w = OpenWindow();
        QVERIFY(w);
        QVERIFY(WaitUntil(
            [&] { return tiles_.requests.filter(QStringLiteral("TileMatrix=12&")).size() > 0; }));
        QCOMPARE(app_->settings.scale, 6);
        QCOMPARE(app_->settings.centerX, 1900000);
        QCOMPARE(app_->settings.centerY, 1000000);
    }

    void markersOfBothCastersAndTicksInStep() {
        auto w = OpenWindow();
        QVERIFY(w);
        // Built-in stations (type 0), the remembered one ticked (type 1);
        // ZERO has no marker but is listed.
        QVERIFY(OpenPopup(*w));
        QVERIFY(LinesBecome(*w, QStringLiteral("SEOI-RTCM32/0 SEOI_RTCM31/1")));
        QVERIFY(w->ListControl().RowOf(&Entry(0, "ZERO")) >= 0);

        // A click on a line ticks the row in the list.
        ClickLine(*w, QStringLiteral("SEOI-RTCM32"));
        QVERIFY(WaitUntil([&] { return Entry(0, "SEOI-RTCM32").selected == 1; }));
        QVERIFY(w->ListControl().RowOf(&Entry(0, "SEOI-RTCM32")) >= 0);
        QVERIFY(LinesBecome(*w, QStringLiteral("SEOI-RTCM32/1 SEOI_RTCM31/1")));
        // Unticking in the list unticks on the map.
        w->ListControl().SetRowTick(w->ListControl().RowOf(&Entry(0, "SEOI_RTCM31")), false);
        QVERIFY(LinesBecome(*w, QStringLiteral("SEOI-RTCM32/1 SEOI_RTCM31/0")));

        // The manual caster's markers are pink, the ticked one darker.
        QTest::mouseClick(w->Control(1039), Qt::LeftButton);
        QCOMPARE(w->MapCaster(), 1);
        QVERIFY(WaitUntil([&] { return PopupLines(Browser(*w)).isEmpty(); }));  // cleared
        QVERIFY(OpenPopup(*w));
        QVERIFY(LinesBecome(*w, QStringLiteral("FOREIGN/5")));
    }

    void inTheSelectedOnlyViewAMapTickAddsTheRow() {
        auto w = OpenWindow();
        QVERIFY(w);
        w->OnShowSelected();
        QVERIFY(w->ListControl().RowOf(&Entry(0, "SEOI-RTCM32")) < 0);
        QVERIFY(OpenPopup(*w));
        ClickLine(*w, QStringLiteral("SEOI-RTCM32"));
        QVERIFY(WaitUntil([&] { return w->ListControl().RowOf(&Entry(0, "SEOI-RTCM32")) >= 0; }));
    }

    void whileRunningClicksChangeNothing() {
        auto w = OpenWindow();
        QVERIFY(w);
        QVERIFY(OpenPopup(*w));
        w->OnStartStop();
        QVERIFY(w->Channels().Running());
        ClickLine(*w, QStringLiteral("SEOI-RTCM32"));
        QTest::qWait(500);
        QCOMPARE(Entry(0, "SEOI-RTCM32").selected, 0);
        QCOMPARE(PopupLines(Browser(*w)), QStringLiteral("SEOI-RTCM32/0 SEOI_RTCM31/1"));
        w->OnStartStop();
        QVERIFY(!w->Channels().Running());
        ClickLine(*w, QStringLiteral("SEOI-RTCM32"));
        QVERIFY(WaitUntil([&] { return Entry(0, "SEOI-RTCM32").selected == 1; }));
    }

    // The window with the map and its markers. With CORVANE_SCREENSHOT_DIR
    // set, the picture is saved there as main_window_map.png.
    void screenshotShowsTheMarkers() {
        builtin_ = TableCaster(
            {Str("SEOI_RTCM31", "37.5", "127.0"), Str("SEOI-RTCM32", "37.5", "127.0"),
             Str("SOKC_RTCM32", "38.21", "128.59"), Str("JEOJ-RTCM31", "33.51", "126.53"),
             Str("ULLE_RTCM32", "37.48", "130.9"), Str("MOKPO_VRS", "34.81", "126.39"),
             Str("BUSAN-VRS", "35.18", "129.08"), Str("GWANGJU", "35.16", "126.85"),
             Str("ZERO", "0.0", "127.0")});
        app_->registry.SetBuiltinCaster("127.0.0.1", builtin_->Port());
        app_->registry.ResolveCaster(0);
        app_->registry.remembered[0]["BUSAN-VRS"] = {};
        app_->settings.scale = 0;
        auto w = OpenWindow({1280, 800});
        QVERIFY(w);
        QTest::qWait(1000);
        QVERIFY(OpenPopup(*w));
        // The ticked green marker of BUSAN-VRS is drawn somewhere on the map.
        QImage shot;
        const auto darkGreen = [&shot] {
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y) == QColor(0x1e, 0x8e, 0x3e)) return true;
            return false;
        };
        QVERIFY(WaitUntil([&] {
            QTest::qWait(500);  // tiles and markers drawn
            shot = w->grab().toImage();
            return darkGreen();
        }));
        const QByteArray folder = qgetenv("CORVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(shot.save(QDir(QString::fromLocal8Bit(folder))
                                  .filePath(QStringLiteral("main_window_map.png"))));
    }
};

static RegisterQtTest<MapWindowTest> registerMapWindowTest;

}  // namespace corvane::test

#include "map_window_test.moc"

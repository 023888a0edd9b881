// Marker placement: which mountpoints get which marker, in which order.
#include <QTest>
#include <cstring>

#include "tests/ui/qt_test_registry.h"
#include "ui/map/map_markers.h"
#include "ui/map/map_page_calls.h"

namespace corvane::test {
namespace {

class RecordedCalls : public MapPageCalls {
public:
    void ClearMarks() override { calls << QStringLiteral("clear"); }
    void AddMark(float lat, float lon, const QString& key, const QString& msg, int typ) override {
        calls
            << QStringLiteral("add %1 %2 %3 %4 [%5]").arg(key).arg(typ).arg(lat).arg(lon).arg(msg);
    }
    void UpdateMark(const QString& key, int checked) override {
        calls << QStringLiteral("update %1 %2").arg(key).arg(checked);
    }
    QStringList calls;
};

void AddEntry(CasterRegistry& r, int slot, const char* name, float lat, float lon, bool selected) {
    auto e = std::make_unique<MountpointEntry>();
    std::strncpy(e->name, name, sizeof e->name - 1);
    e->latitude = lat;
    e->longitude = lon;
    e->selected = selected ? 1 : 0;
    r.maps[slot][name] = std::move(e);
}

CasterRegistry Casters() {
    CasterRegistry r;
    r.builtinStationCodes = BuiltinStationCodes();
    AddEntry(r, 0, "SEOI-RTCM32", 37.5f, 127.0f, false);
    AddEntry(r, 0, "ABCD_1", 36.0f, 128.0f, true);
    AddEntry(r, 0, "SEOI_RTCM31", 37.5f, 127.0f, true);
    AddEntry(r, 0, "ZERO", 0.0f, 127.0f, true);    // no position: no marker, still ticked
    AddEntry(r, 0, "EQUATOR", 1.0f, 0.0f, false);  // no position
    AddEntry(r, 0, "SEO", 35.0f, 129.0f, false);   // shorter than a code
    AddEntry(r, 1, "FOREIGN", 48.1f, 11.5f, true);
    AddEntry(r, 1, "OTHER", 40.0f, -3.5f, false);
    return r;
}

}  // namespace

class MapMarkersTest : public QObject {
    Q_OBJECT

private slots:
    void builtinCasterOtherMountpointsFirstThenStationsThenTicks() {
        RecordedCalls page;
        PlaceMarkers(page, Casters(), 0);
        QCOMPARE(page.calls, (QStringList{
                                 QStringLiteral("clear"),
                                 QStringLiteral("add ABCD_1 2 36 128 []"),
                                 QStringLiteral("add SEO 2 35 129 []"),
                                 QStringLiteral("add SEOI-RTCM32 0 37.5 127 []"),
                                 QStringLiteral("add SEOI_RTCM31 0 37.5 127 []"),
                                 QStringLiteral("update ABCD_1 1"),
                                 QStringLiteral("update SEOI_RTCM31 1"),
                                 QStringLiteral("update ZERO 1"),
                             }));
    }

    void manualCasterAllPink() {
        RecordedCalls page;
        PlaceMarkers(page, Casters(), 1);
        QCOMPARE(page.calls, (QStringList{
                                 QStringLiteral("clear"),
                                 QStringLiteral("add FOREIGN 4 48.1 11.5 []"),
                                 QStringLiteral("add OTHER 4 40 -3.5 []"),
                                 QStringLiteral("update FOREIGN 1"),
                             }));
    }
};

static RegisterQtTest<MapMarkersTest> registerMapMarkersTest;

}  // namespace corvane::test

#include "map_markers_test.moc"

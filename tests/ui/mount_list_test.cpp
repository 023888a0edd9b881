// The mountpoint list of the main window against two casters on loopback:
// rows, colours, sorting, the cell edits, ticking and the outputs editor.
#include <QAbstractButton>
#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "app/window_message_event.h"
#include "net/run_flag.h"
#include "platform/window_messages.h"
#include "tests/ui/ui_test_support.h"
#include "ui/corvane_dlg.h"
#include "ui/mount_list_controller.h"
#include "ui/mount_list_model.h"
#include "ui/my_check_box.h"

namespace corvane {

using test::TestCaster;
using test::TestMount;

class MountListTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsOfBothCastersAfterRefresh();
    void sortingKeepsBuiltinRowsFirst();
    void comCellStepsThroughFreePorts();
    void tcpCellFollowsSequence();
    void outputsEditorItemsByVersion_data();
    void outputsEditorItemsByVersion();
    void outputsEditorWritesTheBitsWhenClosed();
    void untickingClearsRelaySerialAndOutputs();
    void cellAtTheBottomEdgeOpensNoEditor();
    void tcpStartPortRenumbersSelectedRelays();
    void clearSelectionKeepsTheSettings();
    void selectedOnlyView();
    void doubleClickTicksAndRefreshKeepsTicks();

private:
    void Open(std::vector<std::pair<std::string, MountpointSettings>> ticked = {});
    int RowOf(const QString& name) const;
    void ClickCell(int row, int column);
    QString Cell(int row, int column) const { return dlg->MountRows()->Cell(row, column); }
    MountpointEntry* Entry(int row) const { return dlg->MountRows()->Entry(row); }

    std::unique_ptr<TestCaster> builtin, manual;
    std::unique_ptr<CCorvaneApp> app;
    std::unique_ptr<CCorvaneDlg> dlg;
    test::RecordingMap* map = nullptr;
};

void MountListTest::init() {
    // Built-in: three mountpoints; manual: two of its own and one with a
    // built-in station code, which the list does not offer.
    builtin = std::make_unique<TestCaster>(std::vector<TestMount>{
        {"SEJU00", "RTCM 3.2"}, {"ALPHA", "RTCM 2.3"}, {"BRAVO", "RTCM 3.0"}});
    manual = std::make_unique<TestCaster>(
        std::vector<TestMount>{{"SEJU00", "RTCM 3.1"}, {"AAA", "RTCM 3.3"}, {"ZULU", "RTCM 2.1"}});
    app = std::make_unique<CCorvaneApp>();
    test::PointApp(*app, builtin->Port(), manual->Port());
    app->settings.tcp = 5000;
}

void MountListTest::cleanup() {
    dlg.reset();
    app.reset();
    builtin.reset();
    manual.reset();
    runFlag = 0;
}

// Opens the window with the given mountpoints remembered as ticked
// ("NAME" of the built-in caster, "NAME@1" of the manual caster).
void MountListTest::Open(std::vector<std::pair<std::string, MountpointSettings>> ticked) {
    test::RememberTicked(*app, ticked);
    dlg = test::OpenMainWindow(*app, &map);
    QVERIFY(dlg);
}

int MountListTest::RowOf(const QString& name) const {
    for (int row = 0; row < dlg->MountRows()->rowCount(); ++row)
        if (Cell(row, 0) == name) return row;
    return -1;
}

void MountListTest::ClickCell(int row, int column) {
    QTableView* list = dlg->MountList();
    const QModelIndex index = dlg->MountRows()->index(row, column);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void MountListTest::rowsOfBothCastersAfterRefresh() {
    Open({{"BRAVO", {0, 0, 0}}, {"AAA@1", {0, 0, 0}}});
    MountListModel* rows = dlg->MountRows();
    QCOMPARE(rows->rowCount(), 5);  // the manual SEJU00 is dropped
    const QStringList names{"ALPHA", "BRAVO", "SEJU00", "AAA", "ZULU"};
    const QStringList versions{"2.3", "3.0", "3.2", "3.3", "2.1"};
    const QColor background[] = {
        {220, 230, 241}, {190, 200, 211}, {220, 230, 241}, {212, 190, 189}, {242, 220, 219}};
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(Cell(row, 0), names[row]);
        QCOMPARE(Cell(row, 1), versions[row]);
        QCOMPARE(Entry(row)->listRow, row);
        QCOMPARE(Entry(row)->sequence, row);
        QCOMPARE(rows->data(rows->index(row, 3), Qt::BackgroundRole).value<QColor>(),
                 background[row]);
        QCOMPARE(rows->Checked(row), row == 1 || row == 3);
    }
    // Text colour by status: red for a failure, blue while streaming.
    Entry(0)->status = kStatusUnauthorized;
    Entry(1)->status = kStatusStreaming;
    QCOMPARE(rows->data(rows->index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(rows->data(rows->index(1, 2), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(rows->data(rows->index(2, 2), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    const QHeaderView* header = dlg->MountList()->horizontalHeader();
    QCOMPARE(rows->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), QString("저장"));
    QVERIFY(header->sectionsMovable());
    QVERIFY(dlg->MountList()->showGrid());
    QCOMPARE(dlg->MountList()->selectionBehavior(), QAbstractItemView::SelectRows);
}

void MountListTest::sortingKeepsBuiltinRowsFirst() {
    Open();
    auto names = [&] {
        QStringList out;
        for (int row = 0; row < dlg->MountRows()->rowCount(); ++row) out << Cell(row, 0);
        return out;
    };
    QHeaderView* header = dlg->MountList()->horizontalHeader();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(1);  // version ascending: as text
    QCOMPARE(names(), QStringList({"ALPHA", "BRAVO", "SEJU00", "ZULU", "AAA"}));
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(1);  // descending: built-in rows still first
    QCOMPARE(names(), QStringList({"SEJU00", "BRAVO", "ALPHA", "AAA", "ZULU"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    for (int row = 0; row < 5; ++row) QCOMPARE(Entry(row)->listRow, row);
    clickHeader(4);  // COM: not a sort column
    QCOMPARE(header->sortIndicatorSection(), 1);
    clickHeader(0);
    clickHeader(0);  // name descending
    QCOMPARE(names(), QStringList({"SEJU00", "BRAVO", "ALPHA", "ZULU", "AAA"}));
    // A refill keeps the order.
    dlg->FillMountList(0);
    QCOMPARE(names(), QStringList({"SEJU00", "BRAVO", "ALPHA", "ZULU", "AAA"}));
}

void MountListTest::comCellStepsThroughFreePorts() {
    app->serialPorts = (1u << 1) | (1u << 3) | (1u << 4);
    Open({{"ALPHA", {0, 0, 0}}, {"BRAVO", {0, 3, 0}}});  // BRAVO holds COM3
    const int alpha = RowOf("ALPHA");
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        ClickCell(alpha, 4);
        seen << Cell(alpha, 4);
    }
    QCOMPARE(seen, QStringList({"COM1", "COM4", "", "COM1"}));
    // BRAVO steps from COM3 to COM4 and then to none: ALPHA, on COM1,
    // steps through all three ports now.
    const int bravo = RowOf("BRAVO");
    ClickCell(bravo, 4);
    QCOMPARE(Cell(bravo, 4), QString("COM4"));
    ClickCell(bravo, 4);
    QCOMPARE(Cell(bravo, 4), QString());
    seen.clear();
    for (int i = 0; i < 5; ++i) {
        ClickCell(alpha, 4);
        seen << Cell(alpha, 4);
    }
    QCOMPARE(seen, QStringList({"COM3", "COM4", "", "COM1", "COM3"}));
    QCOMPARE(Entry(alpha)->comPort, 3);
    QCOMPARE(dlg->ListControl().FreeSerialPorts(), (1u << 1) | (1u << 4));
    // An unticked row has no COM cell to step.
    ClickCell(RowOf("SEJU00"), 4);
    QCOMPARE(Cell(RowOf("SEJU00"), 4), QString());
    QCOMPARE(Entry(RowOf("SEJU00"))->comPort, 0);
}

void MountListTest::tcpCellFollowsSequence() {
    // Sequence 3 is the manual caster's AAA.
    Open({{"AAA@1", {0, 0, 0}}});
    const int row = RowOf("AAA");
    QCOMPARE(Entry(row)->sequence, 3);
    ClickCell(row, 3);
    QCOMPARE(Cell(row, 3), QString("5003"));
    QCOMPARE(Entry(row)->tcpPort, 5003);
    ClickCell(row, 3);
    QCOMPARE(Cell(row, 3), QString());
    QCOMPARE(Entry(row)->tcpPort, 0);
    ClickCell(RowOf("ZULU"), 3);  // not ticked
    QCOMPARE(Cell(RowOf("ZULU"), 3), QString());
    QCOMPARE(Entry(RowOf("ZULU"))->tcpPort, 0);
}

void MountListTest::outputsEditorItemsByVersion_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("2.3") << "ALPHA" << QStringList{"BIN", "DEC"};
    QTest::newRow("3.0") << "BRAVO" << QStringList{"BIN", "DEC", "RNX"};
}

void MountListTest::outputsEditorItemsByVersion() {
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    Open({{"ALPHA", {0, 0, 0}}, {"BRAVO", {0, 0, 0}}});
    myCheckBox* editor = dlg->OutputsEditor();
    // Open the other one first, so that the items change on the way.
    for (const QString& n : {name == "ALPHA" ? QString("BRAVO") : QString("ALPHA"), name}) {
        ClickCell(RowOf(n), 5);
        QVERIFY(editor->PopupOpen());
        editor->hidePopup();
        QVERIFY(test::WaitFor([&] { return !editor->PopupOpen(); }));
    }
    QStringList offered;
    for (int i = 0; i < editor->count(); ++i) offered << editor->itemText(i);
    QCOMPARE(offered, items);
    QVERIFY(editor->isHidden());
    // An unticked row opens nothing.
    ClickCell(RowOf("SEJU00"), 5);
    QVERIFY(!editor->PopupOpen());
}

void MountListTest::outputsEditorWritesTheBitsWhenClosed() {
    Open({{"BRAVO", {0, 0, 2}}});
    const int row = RowOf("BRAVO");
    QCOMPARE(Cell(row, 5), QString("D"));
    ClickCell(row, 5);
    myCheckBox* editor = dlg->OutputsEditor();
    QVERIFY(editor->PopupOpen());
    QCOMPARE(editor->editRow, row);
    QCOMPARE(editor->geometry(), dlg->MountList()->visualRect(dlg->MountRows()->index(row, 5)));
    // The columns fit the list: opening the editor scrolls nothing sideways.
    QCOMPARE(dlg->MountList()->horizontalScrollBar()->maximum(), 0);
    QAbstractItemView* view = editor->view();
    auto click = [&](int item, Qt::MouseButton button) {
        QTest::mouseClick(view->viewport(), button, {},
                          view->visualRect(view->model()->index(item, 0)).center());
    };
    click(0, Qt::LeftButton);  // B on: the drop-down stays open
    QVERIFY(editor->PopupOpen());
    QCOMPARE(editor->CheckBits(), 3u);
    QCOMPARE(Entry(row)->outputs, 2);  // not before it closes
    click(1, Qt::RightButton);         // something ticked: clears all
    QCOMPARE(editor->CheckBits(), 0u);
    click(1, Qt::RightButton);  // nothing ticked: all three
    QCOMPARE(editor->CheckBits(), 7u);
    QVERIFY(editor->PopupOpen());
    QCOMPARE(editor->ClosedText(), QString("BDR"));
    // Escape closes it; the bits reach the record and the cell.
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(test::WaitFor([&] { return !editor->PopupOpen(); }));
    QCOMPARE(Entry(row)->outputs, 7);
    QCOMPARE(Cell(row, 5), QString("BDR"));
    QCOMPARE(editor->editRow, -1);
    QVERIFY(editor->isHidden());
}

void MountListTest::untickingClearsRelaySerialAndOutputs() {
    app->serialPorts = 1u << 2;
    Open({{"BRAVO", {1, 2, 5}}});
    const int row = RowOf("BRAVO");
    QCOMPARE(Cell(row, 3), QString("5001"));
    QCOMPARE(Cell(row, 4), QString("COM2"));
    QCOMPARE(Cell(row, 5), QString("BR"));
    QCOMPARE(dlg->ListControl().FreeSerialPorts(), 0u);
    dlg->MountRows()->setData(dlg->MountRows()->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
    const MountpointEntry* e = Entry(row);
    QCOMPARE(int{e->selected}, 0);
    QCOMPARE(e->Settings(), (MountpointSettings{0, 0, 0}));
    QCOMPARE(Cell(row, 3) + Cell(row, 4) + Cell(row, 5), QString());
    QCOMPARE(dlg->ListControl().FreeSerialPorts(), 1u << 2);
    QCOMPARE(map->updateMark.back(), QString("BRAVO=0"));
    // Another row can take the port now.
    dlg->MountRows()->setData(dlg->MountRows()->index(RowOf("ALPHA"), 0), Qt::Checked,
                              Qt::CheckStateRole);
    ClickCell(RowOf("ALPHA"), 4);
    QCOMPARE(Cell(RowOf("ALPHA"), 4), QString("COM2"));
}

void MountListTest::cellAtTheBottomEdgeOpensNoEditor() {
    Open({{"ZULU@1", {0, 0, 0}}});
    QTableView* list = dlg->MountList();
    const int row = RowOf("ZULU");
    // Shrink the list until the last row's bottom is within 4 pixels of the
    // list's bottom edge.
    const QRect cell = list->visualRect(dlg->MountRows()->index(row, 5));
    const int bottom = list->viewport()->mapTo(list, QPoint(0, cell.y() + cell.height())).y();
    list->resize(list->width(), bottom + 3);
    ClickCell(row, 5);
    QVERIFY(!dlg->OutputsEditor()->PopupOpen());
    list->resize(list->width(), bottom + 4);
    ClickCell(row, 5);
    QVERIFY(dlg->OutputsEditor()->PopupOpen());
    dlg->OutputsEditor()->hidePopup();
}

void MountListTest::tcpStartPortRenumbersSelectedRelays() {
    // Sequence 4 is ZULU, with the relay on; AAA ticked without relay.
    Open({{"ZULU@1", {1, 0, 0}}, {"AAA@1", {0, 0, 0}}});
    Entry(RowOf("ALPHA"))->tcpPort = 77;  // not ticked: not touched
    QCOMPARE(Cell(RowOf("ZULU"), 3), QString("5004"));
    SendWindowMessage(dlg.get(), WM_TCP_START_PORT, 6000);
    QCOMPARE(Cell(RowOf("ZULU"), 3), QString("6004"));
    QCOMPARE(Entry(RowOf("ZULU"))->tcpPort, 6004);
    QCOMPARE(Cell(RowOf("AAA"), 3), QString());
    QCOMPARE(Entry(RowOf("AAA"))->tcpPort, 0);
    QCOMPARE(Entry(RowOf("ALPHA"))->tcpPort, 77);
    QCOMPARE(Cell(RowOf("ALPHA"), 3), QString());
}

void MountListTest::clearSelectionKeepsTheSettings() {
    app->serialPorts = 1u << 1;
    Open({{"ALPHA", {1, 1, 3}}, {"AAA@1", {1, 0, 4}}});
    QTest::mouseClick(dlg->Control(1033), Qt::LeftButton);
    for (int row = 0; row < dlg->MountRows()->rowCount(); ++row) {
        QVERIFY(!dlg->MountRows()->Checked(row));
        QCOMPARE(Cell(row, 3) + Cell(row, 4) + Cell(row, 5), QString());
    }
    QCOMPARE(Entry(RowOf("ALPHA"))->Settings(), (MountpointSettings{5000, 1, 3}));
    QCOMPARE(map->updateMark, (std::vector<QString>{"ALPHA=0", "AAA=0"}));
    // Ticked again, the row shows what it kept.
    dlg->MountRows()->setData(dlg->MountRows()->index(RowOf("ALPHA"), 0), Qt::Checked,
                              Qt::CheckStateRole);
    QCOMPARE(Cell(RowOf("ALPHA"), 4), QString("COM1"));
    QCOMPARE(Cell(RowOf("ALPHA"), 5), QString("BD"));
}

void MountListTest::selectedOnlyView() {
    Open({{"BRAVO", {0, 0, 0}}, {"ZULU@1", {0, 0, 0}}});
    auto* button = qobject_cast<QAbstractButton*>(dlg->Control(1032));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QString("전체보기"));
    QCOMPARE(dlg->MountRows()->rowCount(), 2);
    QCOMPARE(Cell(1, 0), QString("ZULU"));
    QCOMPARE(Entry(1)->sequence, 4);  // numbered over every entry
    // A tick from the map adds the row.
    dlg->MapTick("ALPHA", 1);
    QCOMPARE(dlg->MountRows()->rowCount(), 3);
    QCOMPARE(Cell(0, 0), QString("ALPHA"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QString("선택보기"));
    QCOMPARE(dlg->MountRows()->rowCount(), 5);
}

void MountListTest::doubleClickTicksAndRefreshKeepsTicks() {
    Open();
    QTableView* list = dlg->MountList();
    auto doubleClick = [&](const char* name, int column) {
        const QModelIndex index = dlg->MountRows()->index(RowOf(name), column);
        test::DoubleClick(list->viewport(), list->visualRect(index).center());
    };
    doubleClick("BRAVO", 1);
    QVERIFY(dlg->MountRows()->Checked(RowOf("BRAVO")));
    QCOMPARE(int{Entry(RowOf("BRAVO"))->selected}, 1);
    QCOMPARE(map->updateMark.back(), QString("BRAVO=1"));
    doubleClick("ALPHA", 3);  // not on columns 3 to 5
    QVERIFY(!dlg->MountRows()->Checked(RowOf("ALPHA")));
    // A refresh (as the manual caster dialog asks for it) keeps the tick
    // and places the markers.
    ClickCell(RowOf("BRAVO"), 3);
    map->markers.clear();
    SendWindowMessage(dlg.get(), WM_REFRESH_REQUEST);
    QCOMPARE(map->markers, std::vector<int>{0});
    QVERIFY(dlg->MountRows()->Checked(RowOf("BRAVO")));
    QCOMPARE(Cell(RowOf("BRAVO"), 3), QString("5001"));
    // Running, a double click changes nothing.
    runFlag = 1;
    doubleClick("BRAVO", 0);
    QVERIFY(dlg->MountRows()->Checked(RowOf("BRAVO")));
    runFlag = 0;
}

}  // namespace corvane

QTEST_MAIN(corvane::MountListTest)
#include "mount_list_test.moc"

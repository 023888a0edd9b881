// The behaviour of the mountpoint list: rebuilding its rows from both
// casters' lists, sorting, the cell clicks that set a row's relay port,
// serial port and outputs, ticking, and the updates that channels and the
// options ask for. It owns the free serial ports and the sort state; the
// window owns the view and the outputs editor and hands them in.
//
// While runFlag is set the list refuses every edit: a tick clicked is put
// back at once and cell clicks do nothing.
#pragma once

#include <QObject>
#include <cstdint>

#include "app/corvane_app.h"

class QModelIndex;
class QTableView;

namespace corvane {

class MountListModel;
class myCheckBox;

class MountListController : public QObject {
    Q_OBJECT

public:
    MountListController(CCorvaneApp& app, QTableView* view, MountListModel* model,
                        myCheckBox* editor, QObject* parent = nullptr);

    // Rebuilds every row from both lists in the system-wide order: numbers
    // every entry, fixes the selected entries' relay and serial ports, lists
    // all entries or only the selected ones, and keeps the current order.
    void FillMountList(bool selectedOnly);

    // Unticks every entry (keeping its ports and outputs), then rebuilds.
    void ClearSelection(bool selectedOnly);

    // Column 0 or 1 sorts (clicking the sort column again reverses it);
    // other columns are ignored.
    void SortByColumn(int column);
    int SortColumn() const { return sortColumn_; }
    bool Descending() const { return descending_; }

    void CellClicked(const QModelIndex& index);
    void CellDoubleClicked(const QModelIndex& index);
    // The user clicked a row's check box.
    void TickClicked(int row, bool ticked);
    // The record's tick as the map set it: brings the row's check box in line.
    void SetRowTick(int row, bool ticked);

    // A channel's notification: BPS and TCP cells and the row's colours.
    void ChannelEvent(const MountpointEntry* entry);
    // A new TCP start port: selected rows with the relay on are renumbered.
    void TcpStartPortChanged(std::uint16_t startPort);

    // The row that shows `entry`, or -1 (compares pointers only: a stale
    // pointer is never followed).
    int RowOf(const MountpointEntry* entry) const;
    std::uint32_t FreeSerialPorts() const { return freeSerialPorts_; }
    bool ListFilled() const { return listFilled_; }

signals:
    // The inspector is to show `entry` (none: nothing).
    void inspect(corvane::MountpointEntry* entry);
    // The highlight left every row.
    void noRow();
    // A record's tick changed: the map follows.
    void markChanged(const QString& name, bool selected);

private:
    void BeginOutputsEdit(int row);
    void EndOutputsEdit();
    void CurrentRowChanged(int row);
    void ShowSettingsCells(int row, const MountpointEntry& entry);
    // Takes the lowest free port above `after`, or none (0).
    int TakeFreePortAbove(int after);
    void ReleasePort(int port);

    CCorvaneApp& app_;
    QTableView* view_;
    MountListModel* model_;
    myCheckBox* editor_;
    bool listFilled_ = false;
    std::uint32_t freeSerialPorts_ = 0;
    int sortColumn_ = 0;
    bool descending_ = false;
};

}  // namespace corvane

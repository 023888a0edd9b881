// The message inspector of the decoding view: the name of the inspected
// mountpoint, the tree of the message types its RTCM version carries and the
// table of the last decoded message of the selected type, refilled whenever
// the mountpoint's decoder announces a message of that type.
#pragma once

#include <QMetaObject>
#include <Qt>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/table_rows.h"

class QLabel;
class QTableWidget;
class QTreeWidget;

namespace corvane {

struct MountpointEntry;
namespace platform {
class WindowReceiver;
}

class MessageInspector {
public:
    struct Controls {
        QLabel* name;         // the inspected mountpoint's name
        QTreeWidget* tree;    // the message types
        QTableWidget* table;  // the decoded message
    };

    // `window` receives the WM_RTCM_DECODED the inspector posts itself and
    // hands every WM_RTCM_DECODED to OnRtcmDecoded. `layoutColumns` is the
    // main window's column layout (WM_LAYOUT_COLUMNS), run when a type is
    // selected; without one the inspector lays out its table alone.
    MessageInspector(Controls controls, platform::WindowReceiver& window,
                     std::function<void()> layoutColumns = {});
    ~MessageInspector();
    MessageInspector(const MessageInspector&) = delete;
    MessageInspector& operator=(const MessageInspector&) = delete;

    // Shows a mountpoint: keeps the tree for the same RTCM version and asks
    // for a refill of the selected type, rebuilds it for another version.
    // With none (or the inspected mountpoint, unticked) the view is cleared.
    void FillMessageTree(MountpointEntry* entry);
    // The tree's selection changed: sets up the table for the selected type.
    void OnMessageTypeSelected();
    // WM_RTCM_DECODED: wParam the entry, lParam the message code. Refills
    // the table only for the inspected mountpoint's running decoder of the
    // tree's version and the selected type; anything else costs two
    // comparisons.
    void OnRtcmDecoded(std::uintptr_t wParam, std::intptr_t lParam);
    // The table's part of the main window's column layout: widths by the
    // selected kind, the last column filling the rest.
    void LayoutTableColumns();

    MountpointEntry* InspectedEntry() const { return inspectedEntry_; }
    int TreeVersion() const { return treeVersion_; }
    // The code last selected in a tree of RTCM version 2 or 3; 0 otherwise.
    std::uint32_t SelectedCode(int version) const;

private:
    std::uint32_t* SelectedSlot(int version);
    void SetUpColumns(std::uint32_t kind);
    void FillRows(const TableRows& rows);
    void PostRefill(std::uint32_t code);

    Controls controls_;
    platform::WindowReceiver& window_;
    std::function<void()> layoutColumns_;
    QMetaObject::Connection selectionConnection_;

    MountpointEntry* inspectedEntry_ = nullptr;
    int treeVersion_ = 0;
    std::uint32_t selectedCode_[2] = {0, 0};  // RTCM 2, RTCM 3
    bool treeRebuilding_ = false;
    std::vector<Qt::Alignment> columnAlignments_;
};

}  // namespace corvane

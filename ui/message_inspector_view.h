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

#include "ui/message_inspector.h"
#include "ui/table_rows.h"

class QLabel;
class QTableWidget;
class QTreeWidget;

namespace corvane {

namespace platform {
class WindowReceiver;
}

class MessageInspectorView : public MessageInspector {
public:
    struct Controls {
        QLabel* name;         // the inspected mountpoint's name
        QTreeWidget* tree;    // the message types
        QTableWidget* table;  // the decoded message
    };

    // `window` receives the WM_RTCM_DECODED the inspector posts itself and
    // hands every WM_RTCM_DECODED to RtcmDecoded. `layoutColumns` is the
    // main window's column layout (WM_LAYOUT_COLUMNS), run when a type is
    // selected.
    MessageInspectorView(Controls controls, platform::WindowReceiver& window,
                         std::function<void()> layoutColumns = {});
    ~MessageInspectorView() override;
    MessageInspectorView(const MessageInspectorView&) = delete;
    MessageInspectorView& operator=(const MessageInspectorView&) = delete;

    // Shows a mountpoint: keeps the tree for the same RTCM version and asks
    // for a refill of the selected type, rebuilds it for another version.
    // With none (or the inspected mountpoint, unticked) the view is cleared.
    void FillMessageTree(MountpointEntry* entry) override;
    // The tree's selection changed: sets up the table for the selected type.
    void OnMessageTypeSelected();
    // WM_RTCM_DECODED: wParam the entry, lParam the message code. Refills
    // the table only for the inspected mountpoint's running decoder of the
    // tree's version and the selected type; anything else costs two
    // comparisons.
    void RtcmDecoded(std::uintptr_t wParam, std::intptr_t lParam) override;

    MountpointEntry* InspectedEntry() const { return inspectedEntry_; }
    int TreeVersion() const override { return treeVersion_; }
    std::uint32_t SelectedCode() const override { return SelectedCodeOf(treeVersion_); }
    // The code last selected in a tree of RTCM version 2 or 3; 0 otherwise.
    std::uint32_t SelectedCodeOf(int version) const;

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

// What the main window asks of the message inspector in its decoding view:
// the tree of message types (MessageTree()) and the table of the last decoded
// message (MessageTable()), both created by the window, with the title static
// (InspectorTitle()). CreateMessageInspector makes it when the window is
// built.
//
// Until the inspector lands, CreateMessageInspector returns one that does
// nothing and the tree and table stay empty.
#pragma once

#include <cstdint>
#include <memory>

namespace corvane {

class CCorvaneDlg;
struct MountpointEntry;

class MessageInspector {
public:
    virtual ~MessageInspector() = default;

    // Shows the message types of `entry`, or nothing (none).
    virtual void FillMessageTree(MountpointEntry* entry) { (void)entry; }
    // WM_RTCM_DECODED as the decoders post it.
    virtual void RtcmDecoded(std::uintptr_t wParam, std::intptr_t lParam) {
        (void)wParam;
        (void)lParam;
    }
    // The RTCM version of the tree on show (0: none) and the code of the
    // message type chosen in it; the window sizes the table's columns by them.
    virtual int TreeVersion() const { return 0; }
    virtual std::uint32_t SelectedCode() const { return 0; }
};

// Makes the window's inspector (called once, from the window's constructor).
std::unique_ptr<MessageInspector> CreateMessageInspector(CCorvaneDlg& window);

}  // namespace corvane

// The two steps that end every message a channel's decoder has stored: the
// channel's text log first, then WM_RTCM_DECODED to its window.
#pragma once

#include <cstdint>

namespace corvane {

class NtripChannel;

// Writes the record named by `code` to the owner's decoded-text log and posts
// WM_RTCM_DECODED (wParam the owner's entry, lParam the code) to its window.
// Does nothing without an owner.
void CloseDecodedMessage(NtripChannel* owner, std::uint32_t code);

}  // namespace corvane

#include "rtcm/close_decoded.h"

#include "net/ntrip_channel.h"
#include "platform/window_messages.h"
#include "rtcm/text_log.h"

namespace corvane {

void CloseDecodedMessage(NtripChannel* owner, std::uint32_t code) {
    if (owner == nullptr) return;
    WriteDecodedText(*owner, code);
    if (owner->window != nullptr) {
        owner->window->Post(WM_RTCM_DECODED, reinterpret_cast<std::uintptr_t>(owner->entry),
                            static_cast<std::intptr_t>(code));
    }
}

}  // namespace corvane

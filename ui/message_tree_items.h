// The items of the inspector's message-type tree for each RTCM version: the
// top-level items in order, each with its message code or, for a group, its
// children. A group carries the code 0.
#pragma once

#include <cstdint>
#include <span>

namespace corvane {

struct MessageTreeChild {
    const char16_t* text;
    std::uint32_t code;
};

struct MessageTreeItem {
    const char16_t* text;
    std::uint32_t code;                          // 0 for a group
    std::uint32_t groupKind;                     // kind of the children's codes; 0 without
    std::span<const MessageTreeChild> children;  // empty unless a group
};

// The items of RTCM version 2 or 3; none for any other version.
std::span<const MessageTreeItem> MessageTreeItems(int version);

}  // namespace corvane

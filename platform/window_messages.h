// Window message numbers of the system. Worker threads post these to the main
// window; the window posts the last three to itself.
#pragma once

#include <cstdint>

namespace corvane {

#if !defined(WM_USER)
inline constexpr std::uint32_t WM_USER = 0x0400;
#endif

inline constexpr std::uint32_t WM_REFRESH_REQUEST = 0x0400 + 2;    // manual caster changed
inline constexpr std::uint32_t WM_CHANNEL_EVENT = 0x0400 + 5;      // channel status, rate, clients
inline constexpr std::uint32_t WM_TCP_START_PORT = 0x0400 + 6;     // options: TCP start port
inline constexpr std::uint32_t WM_RTCM_DECODED = 0x0400 + 7;       // decoder stored a message
inline constexpr std::uint32_t WM_UPDATE_MARKERS = 0x0400 + 9;     // window to itself
inline constexpr std::uint32_t WM_LAYOUT_COLUMNS = 0x0400 + 10;    // window to itself
inline constexpr std::uint32_t WM_RESTORE_MAP_VIEW = 0x0400 + 11;  // window to itself

}  // namespace corvane

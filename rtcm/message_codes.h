// Message codes: the kind of a decoded message in the high 16 bits, the
// record among several of that kind in the low 16 bits.
#pragma once

#include <cstdint>

namespace corvane {

inline constexpr std::uint32_t MessageCode(std::uint32_t kind, std::uint32_t index) {
    return kind * 65536 + index;
}
inline constexpr std::uint32_t KindOf(std::uint32_t code) { return code >> 16; }
inline constexpr std::uint32_t IndexOf(std::uint32_t code) { return code & 0xFFFF; }

// RTCM 2 kinds.
inline constexpr std::uint32_t kKindRtcm2Type1 = 0x0001;   // index 0
inline constexpr std::uint32_t kKindRtcm2Type3 = 0x0002;   // index 0
inline constexpr std::uint32_t kKindRtcm2Type7 = 0x0008;   // index 0
inline constexpr std::uint32_t kKindRtcm2Type9 = 0x0010;   // index 0
inline constexpr std::uint32_t kKindRtcm2Type18 = 0x0040;  // index 1 L1, 2 L2
inline constexpr std::uint32_t kKindRtcm2Type19 = 0x0080;  // index 1 L1, 2 L2
inline constexpr std::uint32_t kKindRtcm2Type41 = 0x0100;  // index: system ID 1 to 5
inline constexpr std::uint32_t kKindRtcm2Type42 = 0x0200;  // index: system ID 1 to 5

// RTCM 3 kinds.
inline constexpr std::uint32_t kKind1004 = 0x8001;
inline constexpr std::uint32_t kKind1006 = 0x8002;
inline constexpr std::uint32_t kKind1012 = 0x8008;
inline constexpr std::uint32_t kKind1013 = 0x8010;
inline constexpr std::uint32_t kKind1019 = 0x8020;
inline constexpr std::uint32_t kKind1020 = 0x8040;
inline constexpr std::uint32_t kKind1033 = 0x8080;
inline constexpr std::uint32_t kKindMsm4 = 0x8100;  // index: sysIndex + 1
inline constexpr std::uint32_t kKindMsm7 = 0x8200;  // index: sysIndex + 1

// Constellation index of an MSM message number: 0 GPS, 1 GLONASS,
// 2 Galileo, 3 SBAS, 4 QZSS, 5 BeiDou.
inline constexpr int MsmSysIndex(int messageNumber) { return (messageNumber % 1000) / 10 - 7; }

}  // namespace corvane

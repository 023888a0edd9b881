// The mountpoint record and its 4-byte settings block.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace corvane {

class NtripChannel;

// Output flags of a mountpoint.
inline constexpr std::uint8_t kOutputRaw = 1;    // "B": raw recording
inline constexpr std::uint8_t kOutputText = 2;   // "D": decoded-text log
inline constexpr std::uint8_t kOutputRinex = 4;  // "R": RINEX conversion

// The letters of an outputs value, in the order B, D, R ("" to "BDR").
const char* OutputLetters(std::uint8_t outputs);

// Channel status codes.
enum ChannelStatus : std::int16_t {
    kStatusIdle = 0,
    kStatusConnected = 1,
    kStatusStreaming = 2,
    kStatusTimedOut = -3,
    kStatusReceiveFailed = -4,
    kStatusNotFound = -5,
    kStatusUnauthorized = -6,
    kStatusNotImplemented = -7,
    kStatusUnrecognised = -8,
};

// Per-mountpoint settings: what the selected-mountpoint file stores and a
// refresh remembers. On disk: 16-bit port little-endian, then the two bytes.
struct MountpointSettings {
    std::uint16_t tcpPort = 0;
    std::int8_t comPort = 0;
    std::uint8_t outputs = 0;

    std::array<std::uint8_t, 4> ToBytes() const;
    static MountpointSettings FromBytes(const std::uint8_t bytes[4]);
    bool operator==(const MountpointSettings&) const = default;
};

struct MountpointEntry {
    char name[32] = {};           // at most 31 characters, NUL-terminated
    std::uint16_t tcpPort = 0;    // relay port; 0 = no relay
    std::int8_t comPort = 0;      // serial port number (COM1 = 1); 0 = none
    std::uint8_t outputs = 0;     // kOutputRaw | kOutputText | kOutputRinex
    float formatVersion = 0;      // RTCM version of the source table
    float latitude = 0;           // degrees
    float longitude = 0;          // degrees
    std::uint8_t selected = 0;    // non-zero when ticked
    std::int8_t casterIndex = 0;  // slot the entry came from
    // Set on a manual-caster entry whose name the built-in caster also
    // lists: its files are named "<name>@2_…" so the two never share files.
    std::uint8_t sharesBuiltinName = 0;
    // Live fields, written by the channel's threads and read by the window.
    std::atomic<std::uint16_t> bitRate{0};      // bit/s, 0 when not receiving
    std::atomic<std::int16_t> status{0};        // ChannelStatus
    std::atomic<std::int16_t> relayClients{0};  // local relay clients
    std::int16_t sequence = 0;                  // running number over both lists
    std::int16_t listRow = -1;                  // row in the list view, -1 when not shown
    NtripChannel* channel = nullptr;

    MountpointSettings Settings() const { return {tcpPort, comPort, outputs}; }
    void ApplySettings(const MountpointSettings& s) {
        tcpPort = s.tcpPort;
        comPort = s.comPort;
        outputs = s.outputs;
    }
};

}  // namespace corvane

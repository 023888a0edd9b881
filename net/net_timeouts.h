// The socket options and time-outs of every conversation with a caster, in
// one place. The defaults are the values in use; tests shorten them.
#pragma once

#include <cstddef>

namespace corvane {

namespace socket_options {
// Connect: up to this many waits of this length for the socket to become writable.
inline constexpr int kConnectWaits = 8;
inline constexpr int kConnectWaitMs = 1000;
// Mountpoint request: time-out of the whole reply header.
inline constexpr int kReplyReceiveTimeoutMs = 4000;
// Data loop: receive time-out once the stream is accepted.
inline constexpr int kDataReceiveTimeoutMs = 1000;
// Source-table fetch and authorization request: receive time-out.
inline constexpr int kSourceTableReceiveTimeoutMs = 4000;
inline constexpr int kAuthorizationReceiveTimeoutMs = 4000;
// Source-table fetch: bounds of the whole table, however slowly it comes.
inline constexpr int kSourceTableTotalMs = 60000;
inline constexpr std::size_t kSourceTableMaxBytes = 16u << 20;
// Relay server: send time-out per client and block.
inline constexpr int kRelayClientSendTimeoutMs = 100;
}  // namespace socket_options

// Time-outs of the source-table fetch and the authorization request.
struct NetTimeouts {
    int connectWaits = socket_options::kConnectWaits;
    int connectWaitMs = socket_options::kConnectWaitMs;
    int sourceTableReceiveMs = socket_options::kSourceTableReceiveTimeoutMs;
    int authorizationReceiveMs = socket_options::kAuthorizationReceiveTimeoutMs;
    int sourceTableTotalMs = socket_options::kSourceTableTotalMs;
    std::size_t sourceTableMaxBytes = socket_options::kSourceTableMaxBytes;
    // Asked about every 100 ms while a fetch waits; returning false ends the
    // fetch as failed (a signal asking the program to end). None: never.
    bool (*keepWaiting)() = nullptr;
};

}  // namespace corvane

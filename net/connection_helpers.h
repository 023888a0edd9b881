// Base64, credentials, name resolution and the connect with time-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/caster_entry.h"
#include "net/net_timeouts.h"
#include "platform/socket.h"

namespace corvane {

// RFC 4648 Base64 of `length` bytes into `out`; returns the characters
// written, 4 * ceil(length / 3). Writes no NUL.
std::size_t Base64Encode(const std::uint8_t* input, std::size_t length, char* out);

// The longest credential text ("user:password") that fits the 88-byte field.
inline constexpr std::size_t kMaxCredentialText = 63;

// Zero-fills `entry.credentials` and stores the Base64 of "user:password",
// cut at 63 bytes on a character boundary.
void EncodeCredentials(CasterEntry& entry, std::string_view user, std::string_view password);

// Zero-fills `entry.address` and configures it: the family, the port and the
// first IPv4 address of `host` (left 0 when it does not resolve). The manual
// slot is configured only when `host` is not empty and `port` is not 0; the
// built-in slot always is.
void ResolveAddress(CasterEntry& entry, const std::string& host, std::uint16_t port,
                    bool builtinSlot);

// A TCP connection to `address` in blocking mode, or kInvalidSocket when it
// could not be made within `waits` waits of `waitMs` milliseconds.
platform::SocketHandle ConnectTimeout(const platform::SocketAddress& address,
                                      int waits = socket_options::kConnectWaits,
                                      int waitMs = socket_options::kConnectWaitMs);
// The same, giving up early once `keepWaiting` returns false; it is asked
// at least every 100 ms while the connection is awaited.
platform::SocketHandle ConnectTimeout(const platform::SocketAddress& address, int waits, int waitMs,
                                      const std::function<bool()>& keepWaiting);

// Sends all of `data` with one send call; true when it was sent whole.
bool SendWhole(platform::SocketHandle s, std::string_view data);

}  // namespace corvane

// The two caster slots: 0 is the built-in caster, 1 the one the user enters.
#pragma once

#include <cstdint>
#include <string>

#include "platform/socket.h"

namespace corvane {

inline constexpr int kCasterSlots = 2;
inline constexpr int kBuiltinSlot = 0;
inline constexpr int kManualSlot = 1;

inline constexpr std::uint16_t kBuiltinCasterPort = 2101;
// The word used as both user name and password for the built-in caster.
inline constexpr char kBuiltinCredentialWord[] = "qadlu";

struct CasterEntry {
    // Where the caster listens. All zero while the slot is not configured; a
    // slot whose IPv4 address is 0 counts as absent.
    platform::SocketAddress address;
    // Base64 of "user:password", NUL-padded; sent after "Authorization: Basic ".
    char credentials[88] = {};
    // Appended to the User-Agent product token of mountpoint requests.
    char agentSuffix[8] = {};

    bool Present() const { return address.ipv4 != 0; }
};

// What a slot is built from, in the system code page.
struct CasterConfig {
    std::string host;        // at most 31 bytes
    std::uint16_t port = 0;  // host byte order
    std::string user;        // at most 31 bytes
    std::string password;    // at most 31 bytes
};

}  // namespace corvane

#include "net/connection_helpers.h"

#include <cstring>

#include "platform/text_encoding.h"

namespace corvane {

std::size_t Base64Encode(const std::uint8_t* input, std::size_t length, char* out) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t o = 0;
    for (std::size_t i = 0; i < length; i += 3) {
        const std::size_t n = length - i < 3 ? length - i : 3;
        std::uint32_t group = std::uint32_t{input[i]} << 16;
        if (n > 1) group |= std::uint32_t{input[i + 1]} << 8;
        if (n > 2) group |= input[i + 2];
        out[o++] = alphabet[(group >> 18) & 63];
        out[o++] = alphabet[(group >> 12) & 63];
        out[o++] = n > 1 ? alphabet[(group >> 6) & 63] : '=';
        out[o++] = n > 2 ? alphabet[group & 63] : '=';
    }
    return o;
}

void EncodeCredentials(CasterEntry& entry, std::string_view user, std::string_view password) {
    std::memset(entry.credentials, 0, sizeof entry.credentials);
    std::string text;
    text.reserve(user.size() + 1 + password.size());
    text.append(user).append(":").append(password);
    const std::string_view cut = platform::CutAtCharBoundary(text, kMaxCredentialText);
    Base64Encode(reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size(), entry.credentials);
}

void ResolveAddress(CasterEntry& entry, const std::string& host, std::uint16_t port,
                    bool builtinSlot) {
    entry.address = {};
    if (!builtinSlot && (host.empty() || port == 0)) return;
    entry.address.family = platform::kAddressFamilyIpv4;
    entry.address.ipv4 = platform::ResolveIpv4(host);
    entry.address.port = platform::HostToNetwork16(port);
}

platform::SocketHandle ConnectTimeout(const platform::SocketAddress& address, int waits,
                                      int waitMs) {
    return ConnectTimeout(address, waits, waitMs, {});
}

platform::SocketHandle ConnectTimeout(const platform::SocketAddress& address, int waits, int waitMs,
                                      const std::function<bool()>& keepWaiting) {
    using namespace platform;
    // With a caller to ask, each wait is cut into slices so that it is asked often.
    constexpr int kSliceMs = 100;
    SocketHandle s = CreateTcpSocket();
    if (s == kInvalidSocket) return kInvalidSocket;
    if (SetNonBlocking(s, true)) {
        StartConnect(s, address);
        for (int i = 0; i < waits; ++i) {
            WaitResult w = WaitResult::TimedOut;
            int left = waitMs;
            do {
                if (keepWaiting && !keepWaiting()) {
                    w = WaitResult::Failed;
                    break;
                }
                const int slice = keepWaiting && left > kSliceMs ? kSliceMs : left;
                w = WaitWritable(s, slice);
                left -= slice;
            } while (w == WaitResult::TimedOut && left > 0);
            if (w == WaitResult::TimedOut) continue;
            if (w == WaitResult::Failed) break;
            if (PendingSocketError(s) != 0) break;
            if (!SetNonBlocking(s, false)) break;
            return s;
        }
    }
    CloseSocket(s);
    return kInvalidSocket;
}

bool SendWhole(platform::SocketHandle s, std::string_view data) {
    const int n = platform::SendSome(s, data.data(), static_cast<int>(data.size()));
    return n == static_cast<int>(data.size());
}

}  // namespace corvane

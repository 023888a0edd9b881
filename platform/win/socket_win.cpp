// Windows sockets 2.2.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "platform/socket.h"

namespace corvane::platform {
namespace {

SOCKET S(SocketHandle s) { return static_cast<SOCKET>(s); }

sockaddr_in ToSystem(const SocketAddress& a) {
    sockaddr_in sa{};
    sa.sin_family = a.family;
    sa.sin_port = a.port;
    sa.sin_addr.s_addr = a.ipv4;
    return sa;
}

bool SetTimeoutOption(SocketHandle s, int option, int milliseconds) {
    const DWORD ms = static_cast<DWORD>(milliseconds);
    return setsockopt(S(s), SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof ms) == 0;
}

WaitResult Wait(SocketHandle s, bool write, int timeoutMs) {
    fd_set set, errors;
    FD_ZERO(&set);
    FD_ZERO(&errors);
    FD_SET(S(s), &set);
    FD_SET(S(s), &errors);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    // A refused non-blocking connect shows in the error set, not the write set.
    const int r = select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &tv);
    if (r == SOCKET_ERROR) return WaitResult::Failed;
    if (r == 0) return WaitResult::TimedOut;
    return WaitResult::Ready;
}

bool Bind(SocketHandle s, std::uint32_t addressNetworkOrder, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addressNetworkOrder;
    return bind(S(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

}  // namespace

bool InitSockets() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        WSADATA data;
        ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ok;
}

std::uint16_t HostToNetwork16(std::uint16_t v) { return htons(v); }
std::uint16_t NetworkToHost16(std::uint16_t v) { return ntohs(v); }

std::uint32_t Ipv4FromOctets(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return htonl((std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) | (std::uint32_t{c} << 8) | d);
}

SocketHandle CreateTcpSocket() {
    InitSockets();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(s);
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) closesocket(S(s));
}

void ShutdownSocket(SocketHandle s, ShutdownHow how) {
    if (s == kInvalidSocket) return;
    shutdown(S(s), how == ShutdownHow::Receive ? SD_RECEIVE
                   : how == ShutdownHow::Send  ? SD_SEND
                                               : SD_BOTH);
}

bool SetNonBlocking(SocketHandle s, bool nonBlocking) {
    u_long mode = nonBlocking ? 1 : 0;
    return ioctlsocket(S(s), FIONBIO, &mode) == 0;
}

bool StartConnect(SocketHandle s, const SocketAddress& address) {
    sockaddr_in sa = ToSystem(address);
    if (connect(S(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return true;
    const int e = WSAGetLastError();
    return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS;
}

WaitResult WaitWritable(SocketHandle s, int timeoutMs) { return Wait(s, true, timeoutMs); }
WaitResult WaitReadable(SocketHandle s, int timeoutMs) { return Wait(s, false, timeoutMs); }

int PendingSocketError(SocketHandle s) {
    int err = 0;
    int len = sizeof err;
    if (getsockopt(S(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0) return -1;
    return err;
}

bool SetReceiveTimeout(SocketHandle s, int ms) { return SetTimeoutOption(s, SO_RCVTIMEO, ms); }
bool SetSendTimeout(SocketHandle s, int ms) { return SetTimeoutOption(s, SO_SNDTIMEO, ms); }

bool SetReceiveBufferSize(SocketHandle s, int bytes) {
    return setsockopt(S(s), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                      sizeof bytes) == 0;
}

bool SetReuseAddress(SocketHandle s, bool on) {
    const int v = on ? 1 : 0;
    return setsockopt(S(s), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&v),
                      sizeof v) == 0;
}

bool SetExclusiveListenerAddress(SocketHandle s) {
    const int v = 1;
    return setsockopt(S(s), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&v),
                      sizeof v) == 0;
}

std::string SocketErrorText() {
    const int code = WSAGetLastError();
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string out(text, n);
    while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == '.'))
        out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out;
}

bool BindAny(SocketHandle s, std::uint16_t port) { return Bind(s, htonl(INADDR_ANY), port); }
bool BindLoopback(SocketHandle s, std::uint16_t port) {
    return Bind(s, htonl(INADDR_LOOPBACK), port);
}

bool ListenMax(SocketHandle s) { return listen(S(s), SOMAXCONN) == 0; }
bool ListenBacklog(SocketHandle s, int backlog) { return listen(S(s), backlog) == 0; }

std::uint16_t LocalPort(SocketHandle s) {
    sockaddr_in sa{};
    int len = sizeof sa;
    if (getsockname(S(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
    return ntohs(sa.sin_port);
}

SocketHandle AcceptClient(SocketHandle listener) {
    SOCKET c = accept(S(listener), nullptr, nullptr);
    return c == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(c);
}

int SendSome(SocketHandle s, const void* data, int length) {
    WSASetLastError(0);
    const int n = send(S(s), static_cast<const char*>(data), length, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

int ReceiveSome(SocketHandle s, void* data, int length) {
    WSASetLastError(0);
    const int n = recv(S(s), static_cast<char*>(data), length, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

SocketError LastSocketError() {
    switch (WSAGetLastError()) {
        case 0:
            return SocketError::None;
        case WSAETIMEDOUT:  // 10060: a receive or send time-out ran out
            return SocketError::TimedOut;
        default:
            return SocketError::Other;
    }
}

}  // namespace corvane::platform

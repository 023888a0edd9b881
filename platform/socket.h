// TCP sockets and IPv4 name resolution behind one small interface, so that
// nothing above this layer sees the system's socket types.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::platform {

// A socket handle. Wide enough for every system's socket type; the invalid
// value is all ones, as the systems' own invalid socket values are.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kInvalidSocket = -1;

// The IPv4 address family number (the same on every supported system).
inline constexpr std::uint16_t kAddressFamilyIpv4 = 2;

// An IPv4 socket address laid out like the system's 16-byte record: family,
// port in network byte order, IPv4 address in network byte order, padding.
struct SocketAddress {
    std::uint16_t family = 0;
    std::uint16_t port = 0;  // network byte order
    std::uint32_t ipv4 = 0;  // network byte order; 0 = not resolved
    std::uint8_t zero[8] = {};
};
static_assert(sizeof(SocketAddress) == 16);

std::uint16_t HostToNetwork16(std::uint16_t v);
std::uint16_t NetworkToHost16(std::uint16_t v);
// 127.0.0.1 style address from four octets, in network byte order.
std::uint32_t Ipv4FromOctets(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);

// Errors of the last socket call on the calling thread, in portable form.
enum class SocketError {
    None,      // no error recorded
    TimedOut,  // a receive or send time-out ran out (Windows sockets 10060)
    Other,     // anything else
};

// Starts the system's socket library once per process (a no-op where there
// is nothing to start). Every function below calls it as needed.
bool InitSockets();

SocketHandle CreateTcpSocket();
void CloseSocket(SocketHandle s);

enum class ShutdownHow { Receive, Send, Both };
void ShutdownSocket(SocketHandle s, ShutdownHow how);

bool SetNonBlocking(SocketHandle s, bool nonBlocking);
// Starts a connect; on a non-blocking socket it returns before the
// connection is made. Returns false only when it failed at once.
bool StartConnect(SocketHandle s, const SocketAddress& address);

enum class WaitResult { Ready, TimedOut, Failed };
WaitResult WaitWritable(SocketHandle s, int timeoutMs);
WaitResult WaitReadable(SocketHandle s, int timeoutMs);

// The socket's pending error (the socket-level error option); 0 when none,
// -1 when it could not be read.
int PendingSocketError(SocketHandle s);

bool SetReceiveTimeout(SocketHandle s, int milliseconds);
bool SetSendTimeout(SocketHandle s, int milliseconds);
bool SetReceiveBufferSize(SocketHandle s, int bytes);
bool SetReuseAddress(SocketHandle s, bool on);
// Prepares a listening socket so that its port is bound again at once after
// a restart, yet never shared with another program: address reuse where the
// system refuses a port in use anyway, exclusive use on Windows.
bool SetExclusiveListenerAddress(SocketHandle s);

// Binds to the any-address and the given port (host byte order).
bool BindAny(SocketHandle s, std::uint16_t port);
// Binds to 127.0.0.1 and the given port; 0 picks a free port.
bool BindLoopback(SocketHandle s, std::uint16_t port);
bool ListenMax(SocketHandle s);
// Listens with a given backlog (tests use a small one to fill it).
bool ListenBacklog(SocketHandle s, int backlog);
// The local port (host byte order) a socket is bound to, 0 on failure.
std::uint16_t LocalPort(SocketHandle s);
SocketHandle AcceptClient(SocketHandle listener);

// One send call: bytes sent, or -1 on failure. Never raises a signal.
int SendSome(SocketHandle s, const void* data, int length);
// One receive call: bytes received, 0 when the peer closed, -1 on failure.
int ReceiveSome(SocketHandle s, void* data, int length);
// The system's text for the error of the last failed socket call on this
// thread (for messages).
std::string SocketErrorText();
// The error of the last failed socket call on this thread. Receive and send
// clear it before they start, so a peer's close reads as None.
SocketError LastSocketError();

// Blocking IPv4 look-up of a host name or dotted address. Returns the first
// IPv4 address in network byte order, or 0 when the name does not resolve.
std::uint32_t ResolveIpv4(const std::string& host);

}  // namespace corvane::platform

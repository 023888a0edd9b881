#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/socket.h"

namespace corvane::platform {
namespace {

int Fd(SocketHandle s) { return static_cast<int>(s); }

sockaddr_in ToSystem(const SocketAddress& a) {
    sockaddr_in sa{};
    sa.sin_family = a.family;
    sa.sin_port = a.port;
    sa.sin_addr.s_addr = a.ipv4;
    return sa;
}

bool SetTimeoutOption(SocketHandle s, int option, int milliseconds) {
    timeval tv{};
    tv.tv_sec = milliseconds / 1000;
    tv.tv_usec = (milliseconds % 1000) * 1000;
    return setsockopt(Fd(s), SOL_SOCKET, option, &tv, sizeof tv) == 0;
}

WaitResult Wait(SocketHandle s, short events, int timeoutMs) {
    pollfd p{};
    p.fd = Fd(s);
    p.events = events;
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return WaitResult::Failed;
    if (r == 0) return WaitResult::TimedOut;
    // An error or hang-up also ends a wait for writability: the caller reads
    // the pending error to tell a refused connect from a made one.
    if (p.revents & (events | POLLERR | POLLHUP)) return WaitResult::Ready;
    return WaitResult::Failed;
}

bool Bind(SocketHandle s, std::uint32_t addressNetworkOrder, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addressNetworkOrder;
    return bind(Fd(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

}  // namespace

std::uint16_t HostToNetwork16(std::uint16_t v) { return htons(v); }
std::uint16_t NetworkToHost16(std::uint16_t v) { return ntohs(v); }

std::uint32_t Ipv4FromOctets(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return htonl((std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) | (std::uint32_t{c} << 8) | d);
}

bool InitSockets() { return true; }

SocketHandle CreateTcpSocket() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? kInvalidSocket : SocketHandle{fd};
}

void CloseSocket(SocketHandle s) {
    if (s != kInvalidSocket) close(Fd(s));
}

void ShutdownSocket(SocketHandle s, ShutdownHow how) {
    if (s == kInvalidSocket) return;
    int h = how == ShutdownHow::Receive ? SHUT_RD : how == ShutdownHow::Send ? SHUT_WR : SHUT_RDWR;
    shutdown(Fd(s), h);
}

bool SetNonBlocking(SocketHandle s, bool nonBlocking) {
    int flags = fcntl(Fd(s), F_GETFL, 0);
    if (flags < 0) return false;
    flags = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return fcntl(Fd(s), F_SETFL, flags) == 0;
}

bool StartConnect(SocketHandle s, const SocketAddress& address) {
    sockaddr_in sa = ToSystem(address);
    int r = connect(Fd(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    return r == 0 || errno == EINPROGRESS || errno == EINTR;
}

WaitResult WaitWritable(SocketHandle s, int timeoutMs) { return Wait(s, POLLOUT, timeoutMs); }
WaitResult WaitReadable(SocketHandle s, int timeoutMs) { return Wait(s, POLLIN, timeoutMs); }

int PendingSocketError(SocketHandle s) {
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(Fd(s), SOL_SOCKET, SO_ERROR, &err, &len) != 0) return -1;
    return err;
}

bool SetReceiveTimeout(SocketHandle s, int ms) { return SetTimeoutOption(s, SO_RCVTIMEO, ms); }
bool SetSendTimeout(SocketHandle s, int ms) { return SetTimeoutOption(s, SO_SNDTIMEO, ms); }

bool SetReceiveBufferSize(SocketHandle s, int bytes) {
    return setsockopt(Fd(s), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

bool SetReuseAddress(SocketHandle s, bool on) {
    int v = on ? 1 : 0;
    return setsockopt(Fd(s), SOL_SOCKET, SO_REUSEADDR, &v, sizeof v) == 0;
}

bool SetExclusiveListenerAddress(SocketHandle s) { return SetReuseAddress(s, true); }

std::string SocketErrorText() { return std::strerror(errno); }

bool BindAny(SocketHandle s, std::uint16_t port) { return Bind(s, htonl(INADDR_ANY), port); }
bool BindLoopback(SocketHandle s, std::uint16_t port) {
    return Bind(s, htonl(INADDR_LOOPBACK), port);
}

bool ListenMax(SocketHandle s) { return listen(Fd(s), SOMAXCONN) == 0; }
bool ListenBacklog(SocketHandle s, int backlog) { return listen(Fd(s), backlog) == 0; }

std::uint16_t LocalPort(SocketHandle s) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (getsockname(Fd(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
    return ntohs(sa.sin_port);
}

SocketHandle AcceptClient(SocketHandle listener) {
    int fd;
    do {
        fd = accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kInvalidSocket : SocketHandle{fd};
}

int SendSome(SocketHandle s, const void* data, int length) {
    errno = 0;
    ssize_t n;
    do {
        n = send(Fd(s), data, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

int ReceiveSome(SocketHandle s, void* data, int length) {
    errno = 0;
    ssize_t n;
    do {
        n = recv(Fd(s), data, static_cast<size_t>(length), 0);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

SocketError LastSocketError() {
    switch (errno) {
        case 0:
            return SocketError::None;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
        case ETIMEDOUT:
            return SocketError::TimedOut;
        default:
            return SocketError::Other;
    }
}

}  // namespace corvane::platform

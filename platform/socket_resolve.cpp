// IPv4 name resolution through getaddrinfo, which both systems offer.
#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include "platform/socket.h"

namespace corvane::platform {

std::uint32_t ResolveIpv4(const std::string& host) {
    if (host.empty() || !InitSockets()) return 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr) return 0;
    std::uint32_t address = 0;
    for (addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addr) {
            address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(list);
    return address;
}

}  // namespace corvane::platform

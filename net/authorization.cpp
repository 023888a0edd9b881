#include "net/authorization.h"

#include <cstdio>

#include "net/connection_helpers.h"
#include "net/text_compare.h"

namespace corvane {

int RequestAuthorization(const CasterEntry& caster, const NetTimeouts& timeouts) {
    using namespace platform;
    SocketHandle s = ConnectTimeout(caster.address, timeouts.connectWaits, timeouts.connectWaitMs);
    if (s == kInvalidSocket) return kAuthUnreachable;
    SetReceiveTimeout(s, timeouts.authorizationReceiveMs);

    char buffer[256] = {};
    const int length = std::snprintf(
        buffer, sizeof buffer, "GET /ISAUTHORIZED? HTTP/1.1\r\nAuthorization: Basic %s\r\n\r\n",
        caster.credentials);
    if (SendWhole(s, std::string_view(buffer, static_cast<std::size_t>(length)))) {
        // The answer lands over the start of the request text.
        ReceiveSome(s, buffer, 20);
    }
    CloseSocket(s);

    // The status code of an HTTP status line stands at the tenth byte.
    const std::string_view status(buffer + 9, sizeof buffer - 9);
    if (StartsWithNoCase(status, "200 OK")) return kAuthAccepted;
    if (StartsWithNoCase(status, "401")) return kAuthRefused;
    return kAuthAccepted;
}

}  // namespace corvane

#include "tools/screenshots/loopback_caster.h"

#include <chrono>
#include <cstdio>

namespace corvane {

using namespace platform;

namespace {

bool SendAll(SocketHandle s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = SendSome(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

LoopbackCaster::LoopbackCaster(std::vector<CasterMount> mounts, std::set<std::string> refused)
    : mounts_(std::move(mounts)), refused_(std::move(refused)) {
    listener_ = CreateTcpSocket();
    SetReuseAddress(listener_, true);
    BindLoopback(listener_, 0);
    ListenMax(listener_);
    port_ = LocalPort(listener_);
    acceptThread_ = std::thread([this] { Accept(); });
}

LoopbackCaster::~LoopbackCaster() {
    stopping_ = true;
    acceptThread_.join();
    for (std::thread& t : sessions_) t.join();
    CloseSocket(listener_);
}

void LoopbackCaster::Accept() {
    while (!stopping_) {
        if (WaitReadable(listener_, 50) != WaitResult::Ready) continue;
        const SocketHandle client = AcceptClient(listener_);
        if (client == kInvalidSocket) continue;
        sessions_.emplace_back([this, client] {
            Serve(client);
            CloseSocket(client);
        });
    }
}

void LoopbackCaster::Serve(SocketHandle client) {
    std::string request;
    char buf[1024];
    while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
        if (WaitReadable(client, 50) != WaitResult::Ready) continue;
        const int n = ReceiveSome(client, buf, sizeof buf);
        if (n <= 0) return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    if (request.rfind("GET /", 0) != 0) return;
    const std::size_t end = request.find(' ', 5);
    const std::string name = request.substr(5, end == std::string::npos ? 0 : end - 5);
    if (name.empty()) {
        std::string table = "SOURCETABLE 200 OK\r\n";
        for (const CasterMount& m : mounts_) {
            char line[256];
            std::snprintf(line, sizeof line,
                          "STR;%s;%s;%s;1004(1),1012(1);2;GPS+GLO;NET;KOR;%.2f;%.2f;0;0;demo;"
                          "none;B;N;0;\r\n",
                          m.name.c_str(), m.name.c_str(), m.format.c_str(), m.latitude,
                          m.longitude);
            table += line;
        }
        SendAll(client, table + "ENDSOURCETABLE\r\n");
        return;
    }
    if (refused_.count(name)) {
        SendAll(client, "HTTP/1.0 401 Unauthorized\r\n\r\n");
        return;
    }
    if (!SendAll(client, "ICY 200 OK\r\n\r\n")) return;
    // About 1 kB a second per mountpoint, varied by name.
    const std::string block(100 + 10 * (name.size() % 7), '\xd3');
    while (!stopping_) {
        if (!SendAll(client, block)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace corvane

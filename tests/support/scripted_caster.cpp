#include "tests/support/scripted_caster.h"

namespace corvane::test {

using namespace platform;
using namespace std::chrono;

namespace {
thread_local ScriptedCaster* currentCaster = nullptr;
}

std::string CasterConnection::ReadRequest(milliseconds timeout) {
    std::string request;
    const auto deadline = steady_clock::now() + timeout;
    char buf[1024];
    while (steady_clock::now() < deadline && !stopping_) {
        if (WaitReadable(socket_, 50) != WaitResult::Ready) continue;
        const int n = ReceiveSome(socket_, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
        if (request.find("\r\n\r\n") != std::string::npos) break;
    }
    if (currentCaster) {
        std::lock_guard lock(currentCaster->mutex_);
        currentCaster->requests_.push_back(request);
    }
    return request;
}

bool CasterConnection::Send(std::string_view bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = SendSome(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool CasterConnection::SendInPieces(std::string_view bytes, const std::vector<std::size_t>& sizes,
                                    milliseconds pause) {
    std::size_t pos = 0;
    for (std::size_t size : sizes) {
        if (pos >= bytes.size()) break;
        const std::size_t n = std::min(size, bytes.size() - pos);
        if (!Send(bytes.substr(pos, n))) return false;
        pos += n;
        std::this_thread::sleep_for(pause);
    }
    return pos >= bytes.size() || Send(bytes.substr(pos));
}

void CasterConnection::WaitForClose(milliseconds timeout) {
    const auto deadline = steady_clock::now() + timeout;
    char buf[4096];
    while (steady_clock::now() < deadline && !stopping_) {
        if (WaitReadable(socket_, 50) != WaitResult::Ready) continue;
        if (ReceiveSome(socket_, buf, sizeof buf) <= 0) return;
    }
}

ScriptedCaster::ScriptedCaster(Script script, Mode mode) : script_(std::move(script)), mode_(mode) {
    listener_ = CreateTcpSocket();
    SetReuseAddress(listener_, true);
    BindLoopback(listener_, 0);
    ListenMax(listener_);
    port_ = LocalPort(listener_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedCaster::~ScriptedCaster() { Stop(); }

void ScriptedCaster::Stop() {
    if (stopping_.exchange(true)) return;
    if (thread_.joinable()) thread_.join();
    for (std::thread& session : sessions_) session.join();
    sessions_.clear();
    CloseSocket(listener_);
    listener_ = kInvalidSocket;
}

SocketAddress ScriptedCaster::Address() const { return LoopbackAddress(port_); }

std::vector<std::string> ScriptedCaster::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedCaster::Run() {
    currentCaster = this;
    while (!stopping_) {
        if (WaitReadable(listener_, 50) != WaitResult::Ready) continue;
        SocketHandle client = AcceptClient(listener_);
        if (client == kInvalidSocket) continue;
        ++connections_;
        if (mode_ == Mode::Concurrent) {
            sessions_.emplace_back([this, client] {
                currentCaster = this;
                Serve(client);
            });
        } else {
            Serve(client);
        }
    }
}

void ScriptedCaster::Serve(SocketHandle client) {
    CasterConnection connection(client, stopping_);
    script_(connection);
    CloseSocket(client);
}

UnansweredListener::UnansweredListener() {
    listener_ = CreateTcpSocket();
    BindLoopback(listener_, 0);
    ListenBacklog(listener_, 0);
    port_ = LocalPort(listener_);
    // Fill the accept queue with connections that nobody accepts. Each one
    // is started without waiting for it; the queue takes what it can.
    for (int i = 0; i < 3; ++i) {
        SocketHandle s = CreateTcpSocket();
        SetNonBlocking(s, true);
        StartConnect(s, LoopbackAddress(port_));
        WaitWritable(s, 200);
        fillers_.push_back(s);
    }
}

UnansweredListener::~UnansweredListener() {
    for (SocketHandle s : fillers_) CloseSocket(s);
    CloseSocket(listener_);
}

SocketAddress UnansweredListener::Address() const { return LoopbackAddress(port_); }

SocketAddress LoopbackAddress(std::uint16_t port) {
    SocketAddress a;
    a.family = kAddressFamilyIpv4;
    a.port = HostToNetwork16(port);
    a.ipv4 = Ipv4FromOctets(127, 0, 0, 1);
    return a;
}

std::uint16_t UnusedPort() {
    SocketHandle s = CreateTcpSocket();
    BindLoopback(s, 0);
    const std::uint16_t port = LocalPort(s);
    CloseSocket(s);
    return port;
}

}  // namespace corvane::test

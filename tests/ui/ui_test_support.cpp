#include "tests/ui/ui_test_support.h"

#include <chrono>
#include <thread>

#include "ui/channel_control.h"

namespace corvane::test {

TestCaster::TestCaster(std::vector<TestMount> mounts)
    : mounts_(std::move(mounts)),
      caster_([this](CasterConnection& c) { Serve(c); }, ScriptedCaster::Mode::Concurrent) {}

std::vector<std::string> TestCaster::StreamRequests() const {
    std::lock_guard lock(mutex_);
    return streamRequests_;
}

std::string TestCaster::StreamBytes(const std::string& name, std::size_t n) {
    std::string s(n, '\0');
    std::uint32_t x = 2166136261u;
    for (char c : name) x = (x ^ static_cast<unsigned char>(c)) * 16777619u;
    for (char& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

void TestCaster::Serve(CasterConnection& c) {
    const std::string request = c.ReadRequest();
    if (request.rfind("GET / ", 0) == 0) {
        std::string table = "SOURCETABLE 200 OK\r\n";
        for (const TestMount& m : mounts_)
            table += "STR;" + m.name + ";" + m.name + ";" + m.format +
                     ";1004;2;GPS;NET;KOR;37.0;127.0;0;0;x;none;B;N;0;\r\n";
        c.Send(table + "ENDSOURCETABLE\r\n");
        return;
    }
    if (request.rfind("GET /", 0) != 0) return;  // the client left before asking
    const std::size_t end = request.find(' ', 5);
    const std::string name = request.substr(5, end == std::string::npos ? 0 : end - 5);
    const TestMount* mount = nullptr;
    for (const TestMount& m : mounts_)
        if (m.name == name) mount = &m;
    {
        std::lock_guard lock(mutex_);
        streamRequests_.push_back(name);
    }
    if (!mount) {
        c.Send("HTTP/1.0 404 Not Found\r\n\r\n");
        return;
    }
    if (mount->answer == TestMount::Refuse) {
        c.Send("HTTP/1.0 401 Unauthorized\r\n\r\n");
        return;
    }
    if (!c.Send("ICY 200 OK\r\n\r\n")) return;
    const std::string bytes = StreamBytes(name, 1 << 16);
    std::size_t pos = 0;
    while (!c.Stopping()) {
        if (!c.Send(std::string_view(bytes).substr(pos % bytes.size(), 300))) return;
        pos += 300;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PointApp(CCorvaneApp& app, std::uint16_t builtinPort, std::uint16_t manualPort) {
    CasterRegistry& r = app.registry;
    r.timeouts.connectWaits = 1;
    r.timeouts.connectWaitMs = 300;
    r.timeouts.sourceTableReceiveMs = 1000;
    r.SetBuiltinCaster("127.0.0.1", builtinPort);
    r.ResolveCaster(kBuiltinSlot);
    r.BuildCredentials(kBuiltinSlot);
    r.configs[kManualSlot] =
        manualPort ? CasterConfig{"127.0.0.1", manualPort, "u", "p"} : CasterConfig{};
    r.ResolveCaster(kManualSlot);
    r.BuildCredentials(kManualSlot);
    if (!builtinPort) r.casters[kBuiltinSlot] = {};
    app.serialPorts = 0;
}

void RememberTicked(CCorvaneApp& app,
                    const std::vector<std::pair<std::string, MountpointSettings>>& ticked) {
    for (const auto& [key, settings] : ticked) {
        const bool manualSlot = key.size() > 2 && key.substr(key.size() - 2) == "@1";
        app.registry.remembered[manualSlot ? 1 : 0][manualSlot ? key.substr(0, key.size() - 2)
                                                               : key] = settings;
    }
}

std::unique_ptr<CCorvaneDlg> OpenMainWindow(CCorvaneApp& app, RecordingMap** map,
                                            const ChannelTiming* timing) {
    CCorvaneDlg::Parts parts;
    parts.map = [map](CCorvaneDlg&) {
        auto m = std::make_unique<RecordingMap>();
        *map = m.get();
        return m;
    };
    auto dlg = std::make_unique<CCorvaneDlg>(app, parts);
    if (timing) dlg->Channels().SetTiming(*timing);
    dlg->show();
    if (!QTest::qWaitForWindowExposed(dlg.get())) return nullptr;
    return dlg;
}

}  // namespace corvane::test

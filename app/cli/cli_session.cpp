#include "app/cli/cli_session.h"

#include <csignal>
#include <cstdio>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/text_encoding.h"

namespace corvane {
namespace {

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void OnStopSignal(int) { stopRequested = 1; }

}  // namespace

void InstallStopSignals() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

bool StopRequested() { return stopRequested != 0; }

void CliSession::Start() {
    const CliOptions& o = options;
    std::vector<std::string> casterArgs{o.host.value_or(CORVANE_BUILTIN_HOST)};
    if (o.port) casterArgs.push_back(std::to_string(*o.port));
    app.SetBuiltinCasterFromArgs(casterArgs);
    for (const auto& [number, device] : o.serialMap)
        platform::SetSerialDeviceOverride(number, device);

    store = std::make_unique<QtSettingsStore>();
    app.LoadSettings(*store);
    stored = app.settings;

    AppSettings& s = app.settings;
    if (o.caster2) {
        s.host = platform::NarrowToWide(o.caster2->first);
        s.port = o.caster2->second;
    }
    if (o.user) s.user2 = platform::NarrowToWide(*o.user);
    if (o.password) s.pass = platform::NarrowToWide(*o.password);
    if (o.purpose) s.purpose = static_cast<std::int8_t>(*o.purpose);
    if (o.outDir) s.path = platform::NarrowToWide(*o.outDir);
    if (o.tcpStart) s.tcp = *o.tcpStart;
    app.ApplyCasterSettings();
}

void CliSession::SaveSettings() {
    if (!store) return;
    WriteAppSettings(*store, stored);
    store->Sync();
}

bool EnsureWritableFolder(const std::string& folder) {
    const std::string probe = platform::JoinPath(folder, ".corvane-write-check");
    platform::OutputFile f;
    if (!platform::CreateDirectories(folder) || !f.Open(probe, platform::FileMode::WriteBinary)) {
        std::fprintf(stderr, "corvane-cli: cannot write to the output folder %s\n", folder.c_str());
        return false;
    }
    f.Close();
    std::remove(probe.c_str());
    return true;
}

std::string CasterLabel(const CliSession& session, int slot) {
    const CasterConfig& c = session.app.registry.configs[slot];
    return c.host + ":" + std::to_string(c.port);
}

}  // namespace corvane

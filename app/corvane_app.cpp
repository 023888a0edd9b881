#include "app/corvane_app.h"

#include <cstdlib>

#include "app/selected_file.h"
#include "net/serial_tables.h"
#include "platform/text_encoding.h"

namespace corvane {

CCorvaneApp::CCorvaneApp() : settings(DefaultAppSettings()) {
    registry.SetBuiltinCaster(CORVANE_BUILTIN_HOST, kBuiltinCasterPort);
}

void CCorvaneApp::Run(const std::vector<std::string>& args, SettingsStore& store,
                      const std::function<bool(CCorvaneApp&)>& signIn,
                      const std::function<void(CCorvaneApp&)>& mainPhase) {
    SetBuiltinCasterFromArgs(args);
    LoadSettings(store);
    if (signIn(*this)) {
        LoadSelectedFile(registry, dataFolder);
        mainPhase(*this);
        SaveSelectedFile(registry, dataFolder);
    }
    SaveSettings(store);
    for (MountpointMap& map : registry.maps) map.clear();
}

void CCorvaneApp::SetBuiltinCasterFromArgs(const std::vector<std::string>& args) {
    std::string host = CORVANE_BUILTIN_HOST;
    std::uint16_t port = kBuiltinCasterPort;
    if (!args.empty()) host = args[0];
    if (args.size() > 1) port = static_cast<std::uint16_t>(std::atoi(args[1].c_str()));
    registry.SetBuiltinCaster(host, port);
}

void CCorvaneApp::LoadSettings(SettingsStore& store) {
    settings = ReadAppSettings(store);
    registry.builtinStationCodes = BuiltinStationCodes();
    ApplyCasterSettings();
    registry.ResolveCaster(kBuiltinSlot);
    registry.BuildCredentials(kBuiltinSlot);
    serialPorts = EnumerateSerialPorts();
}

void CCorvaneApp::SaveSettings(SettingsStore& store) const { WriteAppSettings(store, settings); }

void CCorvaneApp::ApplyCasterSettings() {
    registry.purpose = settings.purpose;
    CasterConfig& manual = registry.configs[kManualSlot];
    manual.host = platform::WideToNarrow(settings.host);
    manual.port = settings.port;
    manual.user = platform::WideToNarrow(settings.user2);
    manual.password = platform::WideToNarrow(settings.pass);
    registry.ResolveCaster(kManualSlot);
    registry.BuildCredentials(kManualSlot);
    // The purpose goes into the built-in slot's agent suffix.
    registry.BuildCredentials(kBuiltinSlot);
}

std::string CCorvaneApp::OutputFolder() const { return platform::WideToNarrow(settings.path); }

ChannelContext CCorvaneApp::MakeChannelContext(const ChannelOutputFactory* outputs) const {
    ChannelContext c;
    c.casters = registry.casters.data();
    c.outputDir = OutputFolder();
    c.serial = {settings.baud, settings.data, settings.parity, settings.stop};
    c.outputs = outputs;
    return c;
}

}  // namespace corvane

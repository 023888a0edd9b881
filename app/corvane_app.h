// The application object's state: the settings, the caster slots with their
// lists, and the serial ports present. The desktop window and the command-line
// front end both start and end through it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "net/caster_registry.h"
#include "net/channel_context.h"

namespace corvane {

class ChannelOutputFactory;

class CCorvaneApp {
public:
    CCorvaneApp();

    // The life of the application outside its windows, in order: the
    // built-in caster from the command line, the settings, the sign-in; after
    // a confirmed sign-in the selected-mountpoint file, the main phase and
    // the file again; then the settings (also after a cancelled sign-in) and
    // the deletion of every mountpoint record. `signIn` returns false when
    // the user cancels; every channel has ended when `mainPhase` returns.
    void Run(const std::vector<std::string>& args, SettingsStore& store,
             const std::function<bool(CCorvaneApp&)>& signIn,
             const std::function<void(CCorvaneApp&)>& mainPhase);

    // The built-in caster from the command line: the first argument is the
    // host, the second the port; the build's host and 2101 otherwise.
    void SetBuiltinCasterFromArgs(const std::vector<std::string>& args);

    // Reads every setting, then configures both caster slots (resolving
    // their hosts and encoding their credentials) and finds the serial ports.
    void LoadSettings(SettingsStore& store);
    void SaveSettings(SettingsStore& store) const;

    // Configures the manual caster slot and the purpose from `settings` again
    // (after they changed) and resolves it.
    void ApplyCasterSettings();

    // What a channel needs from the application.
    ChannelContext MakeChannelContext(const ChannelOutputFactory* outputs) const;
    std::string OutputFolder() const;

    AppSettings settings;
    CasterRegistry registry;
    std::uint32_t serialPorts = 0;  // bit n set for every serial port n present
    std::string dataFolder;         // of the selected-mountpoint file; empty: the system's
};

}  // namespace corvane

// The application object's state: the settings, the caster slots with their
// lists, and the serial ports present. The desktop window and the command-line
// front end both start and end through it.
#pragma once

#include <cstdint>
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
};

}  // namespace corvane

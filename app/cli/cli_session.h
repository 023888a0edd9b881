// What every corvane-cli command starts from: the options, the application
// state loaded in start-up order, and the settings store.
#pragma once

#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/cli/cli_options.h"
#include "app/corvane_app.h"
#include "app/qt_settings_store.h"

namespace corvane {

struct CliSession {
    CliOptions options;
    CCorvaneApp app;
    std::unique_ptr<QtSettingsStore> store;
    AppSettings stored;  // the settings as loaded; what is saved at the end

    // Start-up: the built-in caster, the serial map, the settings, then the
    // overrides of the command line for this run.
    void Start();
    // Saves the settings as they were loaded (the overrides are for this run).
    void SaveSettings();
};

// Creates the folder when missing and checks that a file can be written in
// it; on failure prints a message naming it and returns false.
bool EnsureWritableFolder(const std::string& folder);

// SIGINT and SIGTERM from now on only set a flag, so that a command can end
// in order: channels stopped, files closed whole, state saved.
void InstallStopSignals();
bool StopRequested();

// "host:port" of a caster slot's configuration, for messages.
std::string CasterLabel(const CliSession& session, int slot);

int RunListCommand(CliSession& session);
int RunAuthCommand(CliSession& session);
int RunRunCommand(CliSession& session);
int RunConvertCommand(CliSession& session);

}  // namespace corvane

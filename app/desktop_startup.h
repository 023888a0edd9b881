// The life of the desktop application: the built-in caster from the command
// line, the settings, the sign-in window, and after an accepted sign-in the
// main phase between reading and writing the selected-mountpoint file; the
// settings are written at the end also when the sign-in was cancelled.
#pragma once

#include <QStringList>
#include <functional>

namespace corvane {

class CCorvaneApp;
class SettingsStore;

// `args` are the command-line arguments after the program name, once Qt has
// taken its own. Returns whether the sign-in was accepted.
bool RunDesktop(CCorvaneApp& app, const QStringList& args, SettingsStore& store,
                const std::function<void(CCorvaneApp&)>& mainPhase);

}  // namespace corvane

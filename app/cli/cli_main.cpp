// corvane-cli: the command-line front end over the same core as the
// desktop window, for headless machines and scripts.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "app/cli/cli_options.h"
#include "app/cli/cli_session.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A closed standard output (corvane-cli run | head) is a failed write,
    // which ends a run in order, not a signal that kills it unsaved.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication qt(argc, argv);  // names the settings after the executable
    std::vector<std::string> arguments(argv + 1, argv + argc);

    std::string error, info;
    auto options = corvane::ParseCliOptions(arguments, &error, &info);
    if (!options) {
        if (!info.empty()) {
            std::fputs(info.c_str(), stdout);
            return corvane::kExitOk;
        }
        std::fprintf(stderr, "corvane-cli: %s\n%s", error.c_str(), corvane::CliUsage().c_str());
        return corvane::kExitUsage;
    }

    corvane::CliSession session;
    session.options = std::move(*options);
    session.Start();
    const std::string& command = session.options.command;
    const int status = command == "convert" ? corvane::RunConvertCommand(session)
                       : command == "list"  ? corvane::RunListCommand(session)
                       : command == "auth"  ? corvane::RunAuthCommand(session)
                                            : corvane::RunRunCommand(session);
    // The settings are written at the end of every run, as loaded: the
    // options of the command line hold for this run only.
    session.SaveSettings();
    return status;
}

// corvane-cli run: streams the chosen mountpoints until a signal or the end
// of --duration, printing every channel event.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/channel_outputs.h"
#include "app/cli/cli_session.h"
#include "app/cli/mountpoint_choice.h"
#include "app/cli/terminal_text.h"
#include "app/selected_file.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/queue_window_receiver.h"
#include "platform/window_messages.h"

namespace corvane {
namespace {

// Prints one event line; false when standard output is gone.
bool PrintEvent(const MountpointEntry& e) {
    std::printf("%s\t%d\t%u\t%d\n", TerminalSafe(e.name).c_str(), int{e.status.load()},
                unsigned{e.bitRate.load()}, int{e.relayClients.load()});
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// Says on standard error that an output of a channel could not be opened.
void ReportOutputFailure(const MountpointEntry& e, ChannelOutput output, const std::string& what,
                         const std::string& reason) {
    const char* verb = output == ChannelOutput::Relay    ? "cannot listen on"
                       : output == ChannelOutput::Thread ? "cannot start its"
                                                         : "cannot open";
    std::fprintf(stderr, "corvane-cli: %s: %s %s: %s\n", TerminalSafe(e.name).c_str(), verb,
                 TerminalSafe(what).c_str(), reason.c_str());
}

// Selects exactly the mountpoints of the choices, with their options on top
// of what was remembered. On a caster without a list or an unknown name,
// says so and returns the exit status.
int SelectFromSpecs(CliSession& session, const std::vector<MountpointChoice>& choices) {
    CasterRegistry& r = session.app.registry;
    for (const MountpointChoice& choice : choices) {
        if (!r.listFetched[choice.caster]) {
            std::fprintf(stderr, "corvane-cli: caster %s did not send its source table\n",
                         CasterLabel(session, choice.caster).c_str());
            return kExitFailure;
        }
        if (!r.maps[choice.caster].count(choice.name)) {
            std::fprintf(stderr,
                         "corvane-cli: mountpoint %s@%d is not in the caster's source table\n",
                         choice.name.c_str(), choice.caster);
            return kExitUsage;
        }
    }
    r.ForEachEntry([](int, MountpointEntry& e) { e.selected = 0; });
    for (const MountpointChoice& choice : choices) {
        MountpointEntry& e = *r.maps[choice.caster].at(choice.name);
        e.selected = 1;
        if (choice.relay) e.tcpPort = *choice.relay ? 1 : 0;  // numbered below
        if (choice.comPort) e.comPort = *choice.comPort;
        if (choice.outputs) e.outputs = *choice.outputs;
    }
    return kExitOk;
}

}  // namespace

int RunRunCommand(CliSession& session) {
    std::vector<MountpointChoice> choices;
    for (const std::string& text : session.options.args) {
        std::string error;
        auto choice = ParseMountpointChoice(text, &error);
        if (!choice) {
            std::fprintf(stderr, "corvane-cli: %s\n%s", error.c_str(), CliUsage().c_str());
            return kExitUsage;
        }
        choices.push_back(*choice);
    }

    // From here on a signal ends the run in order, saving what was chosen.
    InstallStopSignals();

    CCorvaneApp& app = session.app;
    CasterRegistry& r = app.registry;
    r.timeouts.keepWaiting = [] { return !StopRequested(); };
    LoadSelectedFile(r);
    r.RefreshMountpoints(true);
    if (StopRequested()) {
        SaveSelectedFile(r);  // nothing fetched: what was remembered stays
        return kExitOk;
    }
    if (!r.listFetched[kBuiltinSlot] && !r.listFetched[kManualSlot]) {
        std::fprintf(stderr, "corvane-cli: caster %s did not send its source table\n",
                     CasterLabel(session, kBuiltinSlot).c_str());
        return kExitFailure;
    }
    if (!choices.empty()) {
        if (const int status = SelectFromSpecs(session, choices); status != kExitOk) return status;
    }
    r.NumberEntries(app.settings.tcp, app.serialPorts);
    for (const auto& refused : r.refusedRelayPorts)
        std::fprintf(stderr, "corvane-cli: %s: relay port %d refused: beyond 65535\n",
                     TerminalSafe(refused.entry->name).c_str(), refused.port);

    bool writesFiles = false, anySelected = false;
    r.ForEachEntry([&](int, const MountpointEntry& e) {
        anySelected |= e.selected != 0;
        writesFiles |= e.selected && e.outputs;
    });
    if (!anySelected) {
        std::fprintf(stderr,
                     "corvane-cli: no mountpoint to run: name one (no earlier run chose any)\n%s",
                     CliUsage().c_str());
        return kExitUsage;
    }
    if (writesFiles && !EnsureWritableFolder(app.OutputFolder())) return kExitFailure;

    platform::QueueWindowReceiver window;
    const StandardChannelOutputs outputs(std::nullopt, app.settings.rinexVersion);
    ChannelContext context = app.MakeChannelContext(&outputs);
    context.outputFailed = ReportOutputFailure;
    std::vector<std::unique_ptr<NtripChannel>> channels;
    runFlag = 1;
    r.ForEachEntry([&](int, MountpointEntry& e) {
        if (!e.selected) return;
        auto channel = std::make_unique<NtripChannel>(&window, context);
        e.channel = channel.get();
        channel->Start(&e);
        channels.push_back(std::move(channel));
    });

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto limit = session.options.duration
                           ? std::chrono::duration<double>(*session.options.duration)
                           : std::chrono::duration<double>::max();
    // A failed write to standard output ends the run as a signal does.
    bool outputGone = false;
    while (!StopRequested() && !outputGone && Clock::now() - start < limit) {
        if (auto m = window.Take(std::chrono::milliseconds(100));
            m && m->message == WM_CHANNEL_EVENT) {
            outputGone = !PrintEvent(*reinterpret_cast<const MountpointEntry*>(m->wParam));
        }
    }

    runFlag = 0;
    for (auto& channel : channels) {
        channel->Stop();
        channel->entry->channel = nullptr;
    }
    for (const auto& m : window.Drain())
        if (m.message == WM_CHANNEL_EVENT && !outputGone)
            outputGone = !PrintEvent(*reinterpret_cast<const MountpointEntry*>(m.wParam));
    channels.clear();

    SaveSelectedFile(r);
    return kExitOk;
}

}  // namespace corvane

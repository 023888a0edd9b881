// corvane-cli list and auth.
#include <cstdio>

#include "app/cli/cli_session.h"
#include "app/cli/terminal_text.h"
#include "app/selected_file.h"
#include "net/authorization.h"

namespace corvane {

int RunListCommand(CliSession& session) {
    CasterRegistry& r = session.app.registry;
    InstallStopSignals();
    r.timeouts.keepWaiting = [] { return !StopRequested(); };
    LoadSelectedFile(r);
    r.RefreshMountpoints(true);
    if (StopRequested()) return kExitFailure;
    if (!r.listFetched[kBuiltinSlot]) {
        std::fprintf(stderr, "corvane-cli: caster %s did not send its source table\n",
                     CasterLabel(session, kBuiltinSlot).c_str());
        return kExitFailure;
    }
    if (!r.configs[kManualSlot].host.empty() && !r.listFetched[kManualSlot]) {
        std::fprintf(stderr, "corvane-cli: caster %s did not send its source table\n",
                     CasterLabel(session, kManualSlot).c_str());
    }
    r.NumberEntries(session.app.settings.tcp, session.app.serialPorts);
    std::printf("seq\tcaster\tname\tversion\tlatitude\tlongitude\tselected\n");
    r.ForEachEntry([](int, const MountpointEntry& e) {
        std::printf("%d\t%d\t%s\t%.1f\t%.4f\t%.4f\t%d\n", e.sequence, e.casterIndex,
                    TerminalSafe(e.name).c_str(),
                    e.formatVersion, e.latitude, e.longitude, e.selected ? 1 : 0);
    });
    return kExitOk;
}

int RunAuthCommand(CliSession& session) {
    CasterRegistry& r = session.app.registry;
    switch (RequestAuthorization(r.casters[kBuiltinSlot], r.timeouts)) {
        case kAuthAccepted:
            std::printf("accepted\n");
            return kExitOk;
        case kAuthRefused:
            std::printf("refused\n");
            return kExitRefused;
        default:
            std::printf("unreachable\n");
            std::fprintf(stderr, "corvane-cli: caster %s is unreachable\n",
                         CasterLabel(session, kBuiltinSlot).c_str());
            return kExitUnreachable;
    }
}

}  // namespace corvane

#include "net/caster_registry.h"

#include <cstdio>

#include "net/connection_helpers.h"
#include "net/source_table.h"
#include "platform/serial.h"
#include "platform/text_encoding.h"

namespace corvane {

CasterRegistry::CasterRegistry() : builtinStationCodes(BuiltinStationCodes()) {
    configs[kBuiltinSlot].port = kBuiltinCasterPort;
    configs[kBuiltinSlot].user = kBuiltinCredentialWord;
    configs[kBuiltinSlot].password = kBuiltinCredentialWord;
}

void CasterRegistry::SetBuiltinCaster(const std::string& host, std::uint16_t port) {
    CasterConfig& c = configs[kBuiltinSlot];
    c.host = std::string(platform::CutAtCharBoundary(host, 31));
    c.port = port;
    c.user = kBuiltinCredentialWord;
    c.password = kBuiltinCredentialWord;
}

void CasterRegistry::ResolveCaster(int slot) {
    const CasterConfig& c = configs[slot];
    ResolveAddress(casters[slot], c.host, c.port, slot == kBuiltinSlot);
}

void CasterRegistry::BuildCredentials(int slot) {
    const CasterConfig& c = configs[slot];
    CasterEntry& e = casters[slot];
    EncodeCredentials(e, c.user, c.password);
    if (slot == kBuiltinSlot) {
        std::snprintf(e.agentSuffix, sizeof e.agentSuffix, " #%d", int{purpose});
    } else {
        e.agentSuffix[0] = '\0';
    }
}

void CasterRegistry::RememberSelected() {
    for (int slot = 0; slot < kCasterSlots; ++slot) {
        if (!listFetched[slot]) continue;
        remembered[slot].clear();
        for (const auto& [name, entry] : maps[slot])
            if (entry->selected) remembered[slot][name] = entry->Settings();
    }
}

void CasterRegistry::DropBuiltinStations() {
    MountpointMap& map = maps[kManualSlot];
    for (auto it = map.begin(); it != map.end();) {
        if (HasBuiltinStationCode(builtinStationCodes, it->first)) {
            it = map.erase(it);
        } else {
            ++it;
        }
    }
}

void CasterRegistry::ApplyRemembered() {
    for (int slot = 0; slot < kCasterSlots; ++slot) {
        // A slot whose table could not be fetched keeps what it remembers, so
        // that an offline start does not forget the user's selection.
        if (!listFetched[slot]) continue;
        RememberedMap& names = remembered[slot];
        for (auto it = names.begin(); it != names.end();) {
            auto found = maps[slot].find(it->first);
            if (found != maps[slot].end()) {
                found->second->ApplySettings(it->second);
                found->second->selected = 1;
                ++it;
            } else {
                it = names.erase(it);
            }
        }
    }
}

void CasterRegistry::RefreshMountpoints(bool firstRefresh) {
    if (!firstRefresh) RememberSelected();
    for (int slot = 0; slot < kCasterSlots; ++slot)
        listFetched[slot] = FetchSourceTable(casters[slot], maps[slot], timeouts);
    DropBuiltinStations();
    ApplyRemembered();
}

}  // namespace corvane

namespace corvane {

void CasterRegistry::NumberEntries(std::uint16_t tcpStartPort, std::uint32_t serialMask) {
    std::uint32_t freePorts = serialMask;
    std::int16_t sequence = 0;
    ForEachEntry([&](int slot, MountpointEntry& e) {
        e.sequence = sequence++;
        e.casterIndex = static_cast<std::int8_t>(slot);
        e.listRow = -1;
        if (!e.selected) return;
        if (e.tcpPort != 0) e.tcpPort = static_cast<std::uint16_t>(tcpStartPort + e.sequence);
        if (e.comPort != 0) {
            // A number past the last port (from an edited file) names no
            // port; masking it would alias a real one.
            const bool inRange = e.comPort > 0 && e.comPort <= platform::kMaxSerialPortNumber;
            const std::uint32_t bit = inRange ? std::uint32_t{1} << e.comPort : 0;
            if (inRange && (freePorts & bit)) {
                freePorts &= ~bit;
            } else {
                e.comPort = 0;
            }
        }
    });
}

}  // namespace corvane

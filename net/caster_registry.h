// The caster slots with their mountpoint lists and remembered settings: the
// data part of the application object, and the refresh of the source tables.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "net/builtin_station_codes.h"
#include "net/caster_entry.h"
#include "net/mountpoint_maps.h"
#include "net/net_timeouts.h"

namespace corvane {

class CasterRegistry {
public:
    CasterRegistry();

    std::array<CasterEntry, kCasterSlots> casters;
    std::array<CasterConfig, kCasterSlots> configs;
    std::array<MountpointMap, kCasterSlots> maps;
    std::array<RememberedMap, kCasterSlots> remembered;
    StationCodeSet builtinStationCodes;
    std::int8_t purpose = 0;  // purpose-of-use index sent in slot 0's agent suffix
    NetTimeouts timeouts;     // time-outs of the source-table fetch
    // Whether the last fetch of each slot's source table succeeded; false
    // until a refresh has fetched it.
    std::array<bool, kCasterSlots> listFetched{};
    // Whether that table arrived whole (up to ENDSOURCETABLE). A table cut
    // short lists what arrived; the names it lacks keep what they remember.
    std::array<bool, kCasterSlots> listComplete{};

    // Sets slot 0's host and port (the built-in caster) and its fixed
    // credentials; the manual caster's inputs are `configs[1]`.
    void SetBuiltinCaster(const std::string& host, std::uint16_t port);

    // Resolves a slot's host into its address (Part of start-up and of a
    // change of the manual caster).
    void ResolveCaster(int slot);
    // Encodes a slot's credentials and, for slot 0, its agent suffix.
    void BuildCredentials(int slot);

    // For each slot: records the settings of the selected entries. A slot
    // whose list could not be fetched keeps what it remembers, so that an
    // offline start does not forget the user's selection at exit; a slot
    // whose table was cut short keeps the names it did not list.
    void RememberSelected();
    // Removes the manual caster's mountpoints that carry a built-in code.
    void DropBuiltinStations();
    // For each slot: applies remembered settings to the entries of the same
    // name and forgets names that are gone. A slot whose list could not be
    // fetched, or was cut short, keeps its remembered names.
    void ApplyRemembered();

    // The refresh steps 1 to 4: remember (unless this is the first refresh),
    // fetch both tables, drop built-in stations, apply remembered settings.
    void RefreshMountpoints(bool firstRefresh);

    // Numbers every entry over both lists in the system-wide order (sequence,
    // casterIndex), marks manual-caster entries whose name the built-in
    // caster also lists (sharesBuiltinName) and fixes the selected entries' ports: a relay port that
    // is on becomes `tcpStartPort` + sequence; a serial port that is not
    // present in `serialMask`, or already taken by an earlier entry, is
    // cleared.
    // A relay port beyond 65535 is refused: the entry runs without relay
    // and is listed in refusedRelayPorts with the port it would have had.
    void NumberEntries(std::uint16_t tcpStartPort, std::uint32_t serialMask);
    struct RefusedRelayPort {
        const MountpointEntry* entry;
        int port;
    };
    std::vector<RefusedRelayPort> refusedRelayPorts;

    // Both maps' entries in the system-wide order (slot 0 by name, then slot 1).
    template <typename F>
    void ForEachEntry(F&& f) {
        for (int slot = 0; slot < kCasterSlots; ++slot)
            for (auto& [name, entry] : maps[slot]) f(slot, *entry);
    }
};

}  // namespace corvane

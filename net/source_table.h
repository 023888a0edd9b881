// Retrieval of a caster's source table into a slot's mountpoint list.
#pragma once

#include "net/caster_entry.h"
#include "net/mountpoint_maps.h"
#include "net/net_timeouts.h"

namespace corvane {

// The request sent for the source table.
inline constexpr char kSourceTableRequest[] =
    "GET / HTTP/1.1\r\nUser-Agent: NTRIP Client 1.0\r\nConnection: close\r\n\r\n";

// Rebuilds `map` from the RTCM streams of the caster's source table. Returns
// true when the caster answered "SOURCETABLE 200 OK" (the map then holds
// what was read, even if the table ended early); false when the slot is
// absent, no connection was made, the answer was something else or
// timeouts.keepWaiting ended the fetch. *complete is set when the table
// arrived up to its ENDSOURCETABLE line. The whole fetch is bounded by
// timeouts.sourceTableTotalMs and sourceTableMaxBytes; a table cut there
// counts as cut short.
bool FetchSourceTable(const CasterEntry& caster, MountpointMap& map,
                      const NetTimeouts& timeouts = {}, bool* complete = nullptr);

// Adds the mountpoint of one STR record line (the line without its line
// end) to `map` when its format is RTCM. Exposed for the parser's tests.
void AddSourceTableRecord(std::string_view line, MountpointMap& map);

}  // namespace corvane

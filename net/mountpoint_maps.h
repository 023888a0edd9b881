// The ordered mountpoint lists and the remembered settings, one of each per
// caster slot. std::string compares bytes as unsigned values, so the order is
// byte-wise with a shorter name before a longer one that begins with it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "net/mountpoint_entry.h"

namespace corvane {

using MountpointMap = std::map<std::string, std::unique_ptr<MountpointEntry>>;
using RememberedMap = std::map<std::string, MountpointSettings>;

// Deletes every entry of the map and empties it.
void ClearMountpoints(MountpointMap& map);

}  // namespace corvane

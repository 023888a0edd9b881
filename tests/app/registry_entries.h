// Puts mountpoint records into a registry's lists, as a fetch and the
// user's choice would.
#pragma once

#include <cstring>
#include <memory>

#include "net/caster_registry.h"

namespace corvane::test {

inline MountpointEntry& AddEntry(CasterRegistry& r, int slot, const char* name, bool selected,
                                 MountpointSettings settings = {}) {
    auto e = std::make_unique<MountpointEntry>();
    std::strncpy(e->name, name, sizeof e->name - 1);
    e->selected = selected ? 1 : 0;
    e->ApplySettings(settings);
    MountpointEntry& ref = *e;
    r.maps[slot][name] = std::move(e);
    return ref;
}

}  // namespace corvane::test

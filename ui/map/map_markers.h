// The mountpoints' markers: which marker each mountpoint gets.
#pragma once

#include <QString>

#include "net/caster_registry.h"

namespace corvane {

class MapPageCalls;

// Marker types: bit 1 ticked, bit 4 the manual caster.
inline constexpr int kMarkTicked = 1;
inline constexpr int kMarkBuiltinOther = 2;
inline constexpr int kMarkBuiltinStation = 0;
inline constexpr int kMarkManual = 4;

// Places the markers of the caster the map shows (0 built-in, 1 manual):
// clears the page, adds every mountpoint with a position (the built-in
// caster's other mountpoints before its own stations, so that a mixed group
// starts with the other kind's image), then marks the ticked ones.
void PlaceMarkers(MapPageCalls& page, const CasterRegistry& registry, int mapCaster);

// The name of a mountpoint as the page shows it.
QString MarkKey(const MountpointEntry& entry);

}  // namespace corvane

// The selected-mountpoint file "Corvane.ini": 36-byte records, a section
// record per caster slot followed by one record per remembered mountpoint.
#pragma once

#include <array>
#include <string>

#include "net/caster_entry.h"
#include "net/caster_registry.h"
#include "net/mountpoint_maps.h"

namespace corvane {

inline constexpr char kSelectedFileName[] = "Corvane.ini";
inline constexpr std::size_t kSelectedRecordSize = 36;

using RememberedMaps = std::array<RememberedMap, kCasterSlots>;

// Fills the remembered maps from the file's bytes; a trailing partial record
// is ignored, a section record of another slot number ends the reading.
void ParseSelectedFile(const std::string& bytes, RememberedMaps& remembered);
// The file's bytes for the remembered maps, slot 0 then slot 1, names in order.
std::string FormatSelectedFile(const RememberedMaps& remembered);

// Reads `<folder>/Corvane.ini` into the registry's remembered maps (the data
// folder by default). Nothing happens when there is no file.
void LoadSelectedFile(CasterRegistry& registry, const std::string& folder = {});
// Remembers the selected entries and writes the file atomically. False when
// it could not be written (the old file then stays).
bool SaveSelectedFile(CasterRegistry& registry, const std::string& folder = {});

}  // namespace corvane

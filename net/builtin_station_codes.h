// The four-letter codes of the built-in caster's own stations. The manual
// caster's mountpoints whose names begin with one of them are not offered.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace corvane {

using StationCodeSet = std::set<std::string, std::less<>>;

// The fixed set of 34 codes.
StationCodeSet BuiltinStationCodes();

// True when the first four characters of `name` (all of it when shorter) are
// one of `codes`, compared exactly.
bool HasBuiltinStationCode(const StationCodeSet& codes, std::string_view name);

}  // namespace corvane

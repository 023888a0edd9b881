#include "ui/map/map_markers.h"

#include "platform/text_encoding.h"
#include "ui/map/map_page_calls.h"

namespace corvane {
namespace {

bool HasPosition(const MountpointEntry& e) { return e.latitude != 0 && e.longitude != 0; }

}  // namespace

QString MarkKey(const MountpointEntry& entry) {
    const std::u16string wide = platform::NarrowToWide(entry.name);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

void PlaceMarkers(MapPageCalls& page, const CasterRegistry& registry, int mapCaster) {
    page.ClearMarks();
    const int slot = mapCaster == 1 ? 1 : 0;
    const MountpointMap& map = registry.maps[slot];
    const auto add = [&page](const MountpointEntry& e, int typ) {
        page.AddMark(e.latitude, e.longitude, MarkKey(e), QString(), typ);
    };
    if (slot == 1) {
        for (const auto& [name, e] : map)
            if (HasPosition(*e)) add(*e, kMarkManual);
    } else {
        for (const bool stations : {false, true})
            for (const auto& [name, e] : map)
                if (HasPosition(*e) &&
                    HasBuiltinStationCode(registry.builtinStationCodes, name) == stations)
                    add(*e, stations ? kMarkBuiltinStation : kMarkBuiltinOther);
    }
    for (const auto& [name, e] : map)
        if (e->selected) page.UpdateMark(MarkKey(*e), 1);
}

}  // namespace corvane

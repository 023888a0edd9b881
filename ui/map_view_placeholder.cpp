// The map as it is until its own code lands: a bridge that does nothing,
// with the map area left empty.
#include "ui/map_view_bridge.h"

namespace corvane {

std::unique_ptr<MapViewBridge> CreateMapView(CCorvaneDlg&) {
    return std::make_unique<MapViewBridge>();
}

}  // namespace corvane

// Which base map the page draws: the settings "baseMap", "tileServer" and
// "tileUrl", with the build's defaults for empty addresses.
#pragma once

#include <QString>

#include "app/app_settings.h"

namespace corvane {

struct MapPageOptions {
    int baseMap = 0;     // 0: the national WMTS base map, 1: XYZ tiles
    QString tileServer;  // WMTS base URL
    QString tileUrl;     // XYZ URL template with {z}, {x} and {y}
};

MapPageOptions MapPageOptionsFrom(const AppSettings& settings);

}  // namespace corvane

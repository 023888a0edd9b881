#include "ui/map/map_page_options.h"

namespace corvane {
namespace {

QString OrDefault(const std::u16string& text, const char* fallback) {
    return text.empty() ? QString::fromUtf8(fallback)
                        : QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MapPageOptions MapPageOptionsFrom(const AppSettings& settings) {
    MapPageOptions o;
    o.baseMap = settings.baseMap == 1 ? 1 : 0;
    o.tileServer = OrDefault(settings.tileServer, CORVANE_TILE_SERVER);
    o.tileUrl = OrDefault(settings.tileUrl, CORVANE_TILE_URL);
    return o;
}

}  // namespace corvane

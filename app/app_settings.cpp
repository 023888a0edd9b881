#include "app/app_settings.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace corvane {

AppSettings DefaultAppSettings() {
    AppSettings s;
    s.path = platform::NarrowToWide(platform::DefaultOutputFolder());
    return s;
}

std::u16string CutText(const std::u16string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    if (end > 0 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
    return text.substr(0, end);
}

AppSettings ReadAppSettings(SettingsStore& store) {
    const AppSettings d = DefaultAppSettings();
    AppSettings s;
    s.x = std::max(store.ReadInt("x", d.x), kMinWindowEdge);
    s.y = std::max(store.ReadInt("y", d.y), kMinWindowEdge);
    s.w = store.ReadInt("w", d.w);
    s.h = store.ReadInt("h", d.h);
    s.purpose = static_cast<std::int8_t>(store.ReadInt("purpose", d.purpose));
    s.host = CutText(store.ReadText("host", d.host), kMaxCasterText);
    s.port = static_cast<std::uint16_t>(store.ReadInt("port", d.port));
    s.user2 = CutText(store.ReadText("user2", d.user2), kMaxCasterText);
    s.pass = CutText(store.ReadText("pass", d.pass), kMaxCasterText);
    s.path = CutText(store.ReadText("path", d.path), kMaxPathText);
    s.baud = static_cast<std::int8_t>(store.ReadInt("baud", d.baud));
    s.data = static_cast<std::int8_t>(store.ReadInt("data", d.data));
    s.parity = static_cast<std::int8_t>(store.ReadInt("parity", d.parity));
    s.stop = static_cast<std::int8_t>(store.ReadInt("stop", d.stop));
    s.tcp = static_cast<std::uint16_t>(store.ReadInt("tcp", d.tcp));
    s.scale = store.ReadInt("scale", d.scale);
    s.centerX = store.ReadInt("centerX", d.centerX);
    s.centerY = store.ReadInt("centerY", d.centerY);
    s.baseMap = store.ReadInt("baseMap", d.baseMap);
    s.tileServer = CutText(store.ReadText("tileServer", d.tileServer), kMaxUrlText);
    s.tileUrl = CutText(store.ReadText("tileUrl", d.tileUrl), kMaxUrlText);
    // Anything but 3 keeps the 2.11 files.
    s.rinexVersion = store.ReadInt("rinexVersion", d.rinexVersion) == 3 ? 3 : 2;
    return s;
}

void WriteAppSettings(SettingsStore& store, const AppSettings& s) {
    store.WriteInt("x", s.x);
    store.WriteInt("y", s.y);
    store.WriteInt("w", s.w);
    store.WriteInt("h", s.h);
    store.WriteInt("purpose", s.purpose);
    store.WriteText("host", s.host);
    store.WriteInt("port", s.port);
    store.WriteText("user2", s.user2);
    store.WriteText("pass", s.pass);
    store.WriteText("path", s.path);
    store.WriteInt("baud", s.baud);
    store.WriteInt("data", s.data);
    store.WriteInt("parity", s.parity);
    store.WriteInt("stop", s.stop);
    store.WriteInt("tcp", s.tcp);
    store.WriteInt("scale", s.scale);
    store.WriteInt("centerX", s.centerX);
    store.WriteInt("centerY", s.centerY);
    store.WriteInt("baseMap", s.baseMap);
    store.WriteText("tileServer", s.tileServer);
    store.WriteText("tileUrl", s.tileUrl);
    store.WriteInt("rinexVersion", s.rinexVersion);
}

}  // namespace corvane

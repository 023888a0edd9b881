// The settings of the application, as held in memory: window placement,
// purpose of use, manual caster, output folder, serial line, relay start port
// and map view with its base map. The store they live in is behind SettingsStore.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

struct AppSettings {
    std::int32_t x = 5;
    std::int32_t y = 5;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::int8_t purpose = 3;
    std::u16string host;  // manual caster, at most 31 characters
    std::uint16_t port = 0;
    std::u16string user2;  // at most 31 characters
    std::u16string pass;   // at most 31 characters, plain text
    std::u16string path;   // output folder, at most 259 characters
    std::int8_t baud = 1;
    std::int8_t data = 0;
    std::int8_t parity = 0;
    std::int8_t stop = 0;
    std::uint16_t tcp = 5000;
    std::int32_t scale = 0;
    std::int32_t centerX = 1827768;
    std::int32_t centerY = 989862;
    // The map's base map: 0 the national WMTS tiles from `tileServer`, 1 XYZ
    // tiles from the `tileUrl` template. An empty address stands for the
    // build's default.
    std::int32_t baseMap = 0;
    std::u16string tileServer;  // at most 2048 characters
    std::u16string tileUrl;     // at most 2048 characters
    std::int32_t rinexVersion = 2;  // RINEX files written: 2 (2.11) or 3 (3.04)
};

inline constexpr std::size_t kMaxCasterText = 31;
inline constexpr std::size_t kMaxPathText = 259;
inline constexpr std::size_t kMaxUrlText = 2048;
inline constexpr std::int32_t kMinWindowEdge = 5;

// The defaults of a first run (the output folder is the platform's default).
AppSettings DefaultAppSettings();

// A per-user key/value store with one section of integers and texts.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::int32_t ReadInt(const char* key, std::int32_t fallback) = 0;
    virtual std::u16string ReadText(const char* key, const std::u16string& fallback) = 0;
    virtual void WriteInt(const char* key, std::int32_t value) = 0;
    virtual void WriteText(const char* key, const std::u16string& value) = 0;
};

// Reads every key in table order: a missing key reads as its default, "x"
// and "y" are raised to 5, texts are cut to their limits.
AppSettings ReadAppSettings(SettingsStore& store);
// Writes every key in table order (8-bit values sign-extended, 16-bit
// values zero-extended).
void WriteAppSettings(SettingsStore& store, const AppSettings& settings);

// The first `limit` characters of a text (never half a surrogate pair).
std::u16string CutText(const std::u16string& text, std::size_t limit);

}  // namespace corvane

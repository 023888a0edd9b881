#include "app/selected_file.h"

#include <cstdlib>
#include <cstring>

#include "platform/file.h"
#include "platform/paths.h"

namespace corvane {
namespace {

bool IsSectionRecord(const char* r) {
    for (int i = 1; i <= 10; ++i)
        if (r[i] != '=') return false;
    return true;
}

std::string SelectedFilePath(const std::string& folder) {
    const std::string dir = folder.empty() ? platform::DataFolder() : folder;
    if (dir.empty()) return {};
    platform::CreateDirectories(dir);
    return platform::JoinPath(dir, kSelectedFileName);
}

}  // namespace

void ParseSelectedFile(const std::string& bytes, RememberedMaps& remembered) {
    int slot = 0;
    for (std::size_t pos = 0; pos + kSelectedRecordSize <= bytes.size();
         pos += kSelectedRecordSize) {
        const char* r = bytes.data() + pos;
        if (IsSectionRecord(r)) {
            const int number = std::atoi(std::string(r, 11).c_str());
            if (number != 0 && number != 1) return;
            slot = number;
            remembered[slot].clear();
            continue;
        }
        const std::string name(r, strnlen(r, 31));
        remembered[slot][name] =
            MountpointSettings::FromBytes(reinterpret_cast<const std::uint8_t*>(r + 32));
    }
}

std::string FormatSelectedFile(const RememberedMaps& remembered) {
    std::string out;
    for (int slot = 0; slot < kCasterSlots; ++slot) {
        char section[kSelectedRecordSize] = {};
        section[0] = static_cast<char>('0' + slot);
        std::memset(section + 1, '=', 34);
        out.append(section, sizeof section);
        for (const auto& [name, settings] : remembered[slot]) {
            char record[kSelectedRecordSize] = {};
            std::memcpy(record, name.data(), std::min<std::size_t>(name.size(), 31));
            record[31] = '=';
            const auto s = settings.ToBytes();
            std::memcpy(record + 32, s.data(), s.size());
            out.append(record, sizeof record);
        }
    }
    return out;
}

void LoadSelectedFile(CasterRegistry& registry, const std::string& folder) {
    const std::string path = SelectedFilePath(folder);
    std::string bytes;
    if (path.empty() || !platform::ReadWholeFile(path, &bytes)) return;
    RememberedMaps maps;
    for (int slot = 0; slot < kCasterSlots; ++slot) maps[slot] = registry.remembered[slot];
    ParseSelectedFile(bytes, maps);
    for (int slot = 0; slot < kCasterSlots; ++slot)
        registry.remembered[slot] = std::move(maps[slot]);
}

bool SaveSelectedFile(CasterRegistry& registry, const std::string& folder) {
    registry.RememberSelected();
    const std::string path = SelectedFilePath(folder);
    if (path.empty()) return false;
    RememberedMaps maps{registry.remembered[0], registry.remembered[1]};
    const std::string bytes = FormatSelectedFile(maps);
    return platform::WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace corvane

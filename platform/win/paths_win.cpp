#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace corvane::platform {

const char kPathSeparator = '\\';

std::string DefaultOutputFolder() { return "C:\\temp"; }

std::string HomeFolder() {
    PWSTR wide = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &wide) == S_OK)
        folder = WideToNarrow(reinterpret_cast<const char16_t*>(wide));
    CoTaskMemFree(wide);
    return folder;
}

std::string DataFolder() {
    PWSTR wide = nullptr;
    std::string base;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &wide) == S_OK)
        base = WideToNarrow(reinterpret_cast<const char16_t*>(wide));
    CoTaskMemFree(wide);
    if (base.empty()) return {};
    const std::string folder = JoinPath(base, "Halvex");
    return CreateDirectories(folder) ? folder : std::string{};
}

bool CreateDirectories(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string partial;
    for (std::size_t i = 0; i < path.size(); ++i) {
        partial += path[i];
        const bool separator = path[i] == '\\' || path[i] == '/';
        // Skip the drive ("C:\") and the root of a UNC path.
        if ((separator && i > 2) || i + 1 == path.size()) {
            if (!CreateDirectoryA(partial.c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    const DWORD after = GetFileAttributesA(path.c_str());
    return after != INVALID_FILE_ATTRIBUTES && (after & FILE_ATTRIBUTE_DIRECTORY);
}

std::size_t MaxPathLength() { return MAX_PATH - 1; }

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    if (last == '\\' || last == '/') return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace corvane::platform

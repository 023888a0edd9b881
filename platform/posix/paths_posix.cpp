#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/paths.h"

namespace corvane::platform {

const char kPathSeparator = '/';

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

std::string DefaultOutputFolder() { return JoinPath(HomeFolder(), "Corvane"); }

std::string DataFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) return {};
        base = JoinPath(JoinPath(home, ".local"), "share");
    }
    std::string folder = JoinPath(base, "Halvex");
    return CreateDirectories(folder) ? folder : std::string{};
}

bool CreateDirectories(const std::string& path) {
    if (path.empty()) return false;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::string partial;
    partial.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        partial += path[i];
        const bool atEnd = i + 1 == path.size();
        if ((path[i] == '/' && i > 0) || atEnd) {
            if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    }
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::size_t MaxPathLength() { return PATH_MAX - 1; }

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace corvane::platform

// Folders and file names: the per-user data folder, the separator, folder
// creation and the length limit of a full path.
#pragma once

#include <cstddef>
#include <string>

namespace corvane::platform {

// "/" on Linux, "\" on Windows.
extern const char kPathSeparator;

// The per-user data folder of the program ("Halvex" under the system's
// per-user application-data folder), created when missing. Empty when it
// can neither be found nor created.
std::string DataFolder();

// The output folder a first run offers: ~/Corvane on Linux, C:\temp on Windows.
std::string DefaultOutputFolder();

// The user's home folder (empty when unknown).
std::string HomeFolder();

// Creates a folder and its missing parents. True when it exists afterwards.
bool CreateDirectories(const std::string& path);

// The longest full path, in bytes, that the system accepts for a file.
std::size_t MaxPathLength();

// `folder` + separator + `name` (no separator doubled).
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace corvane::platform

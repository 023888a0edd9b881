// The hourly change of output files that the raw file, the decoded-text log
// and the RINEX files share: a file is named after the local time of the
// moment it is opened and replaced by the next one at the first write at or
// after the next full hour.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/mountpoint_entry.h"
#include "platform/file.h"

namespace corvane {

// The first full hour after t, in seconds since 1970.
inline std::int64_t NextFullHour(std::int64_t t) { return (t / 3600 + 1) * 3600; }

// "<folder><sep><name><suffix>_YYYYMMDD_HHMMSS.<extension>" from the local
// time of t, with the name made safe as a file name (FileNamePart).
std::string HourlyFileName(const std::string& folder, const char* name, std::int64_t t,
                           const char* extension, const char* suffix = "");

// The name suffix of an entry's files: "@2" on a manual-caster mountpoint
// whose name the built-in caster also lists, "" otherwise.
inline const char* FileNameSuffix(const MountpointEntry& entry) {
    return entry.sharesBuiltinName ? "@2" : "";
}

class HourlyFile {
public:
    // Call before writing at time t. When t is at or after the change time,
    // moves the change time to the next full hour, closes the open file and
    // opens the one named after t. Returns true when it opened a new file.
    bool Advance(std::int64_t t, const std::string& folder, const char* name, const char* extension,
                 platform::FileMode mode);
    bool IsOpen() const { return file.IsOpen(); }
    bool Write(const void* data, std::size_t length) { return file.Write(data, length); }
    void Close() { file.Close(); }

    platform::OutputFile file;
    std::int64_t nextTime = 0;  // change time; 0 until the first write
    std::string nameSuffix;  // after the name part of every file name
    // Told the path and the system's reason when a file cannot be opened.
    std::function<void(const std::string& path, const std::string& reason)> onOpenFailed;
};

}  // namespace corvane

#include "net/hourly_file.h"

#include <cstdio>

#include "net/file_name_part.h"
#include "platform/clock.h"
#include "platform/paths.h"

namespace corvane {

std::string HourlyFileName(const std::string& folder, const char* name, std::int64_t t,
                           const char* extension, const char* suffix) {
    const platform::CalendarTime c = platform::LocalTime(t);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d_%02d%02d%02d.", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    return platform::JoinPath(folder, FileNamePart(name) + suffix + stamp + extension);
}

bool HourlyFile::Advance(std::int64_t t, const std::string& folder, const char* name,
                         const char* extension, platform::FileMode mode) {
    if (t < nextTime) return false;
    nextTime = NextFullHour(t);
    file.Close();
    const std::string path = HourlyFileName(folder, name, t, extension, nameSuffix.c_str());
    if (!file.Open(path, mode) && onOpenFailed) onOpenFailed(path, file.OpenErrorText());
    return true;
}

}  // namespace corvane

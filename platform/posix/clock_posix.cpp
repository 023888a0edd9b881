#include <ctime>

#include "platform/clock_system.h"

namespace corvane::platform {

bool SystemLocalTime(std::int64_t t, std::tm* out) {
    const std::time_t tt = static_cast<std::time_t>(t);
    return localtime_r(&tt, out) != nullptr;
}

std::int64_t SystemMakeLocal(std::tm* tm) { return static_cast<std::int64_t>(mktime(tm)); }

void SystemReloadTimeZone() { tzset(); }

}  // namespace corvane::platform

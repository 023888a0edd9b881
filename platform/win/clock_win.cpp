#include <ctime>

#include "platform/clock_system.h"

namespace corvane::platform {

bool SystemLocalTime(std::int64_t t, std::tm* out) {
    const __time64_t tt = static_cast<__time64_t>(t);
    return _localtime64_s(out, &tt) == 0;
}

std::int64_t SystemMakeLocal(std::tm* tm) { return static_cast<std::int64_t>(_mktime64(tm)); }

void SystemReloadTimeZone() { _tzset(); }

}  // namespace corvane::platform

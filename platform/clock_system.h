// The pieces of the calendar that differ by system (time zone handling).
#pragma once

#include <cstdint>
#include <ctime>

namespace corvane::platform {

bool SystemLocalTime(std::int64_t t, std::tm* out);
std::int64_t SystemMakeLocal(std::tm* tm);
void SystemReloadTimeZone();

}  // namespace corvane::platform

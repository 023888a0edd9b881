// Setting and removing environment variables of the process (the time zone
// and folders that tests point elsewhere).
#pragma once

namespace corvane::platform {

// Sets `name` to `value`; a null `value` removes the variable.
void SetEnv(const char* name, const char* value);

}  // namespace corvane::platform

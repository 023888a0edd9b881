#include <cstdlib>

#include "platform/environment.h"

namespace corvane::platform {

void SetEnv(const char* name, const char* value) {
    // An empty value removes the variable in the runtime's environment.
    _putenv_s(name, value ? value : "");
}

}  // namespace corvane::platform

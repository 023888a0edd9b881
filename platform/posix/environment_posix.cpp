#include <cstdlib>

#include "platform/environment.h"

namespace corvane::platform {

void SetEnv(const char* name, const char* value) {
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
}

}  // namespace corvane::platform

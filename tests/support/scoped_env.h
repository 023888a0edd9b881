// Sets an environment variable for the life of the object and restores it
// afterwards; for TZ it also makes the runtime read the zone again. Time
// zones in the POSIX form ("KST-9", "UTC0") work on every system.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/environment.h"

namespace corvane::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        platform::SetEnv(name, value);
        if (name_ == "TZ") platform::ReloadTimeZone();
    }
    ~ScopedEnv() {
        platform::SetEnv(name_.c_str(), old_ ? old_->c_str() : nullptr);
        if (name_ == "TZ") platform::ReloadTimeZone();
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace corvane::test

// The process-wide run flag: set by the window while channels are meant to
// run, cleared before they are stopped. Every loop of a channel tests it.
#pragma once

#include <atomic>

namespace corvane {

extern std::atomic<int> runFlag;

}  // namespace corvane

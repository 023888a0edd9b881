#include "net/run_flag.h"

namespace corvane {

std::atomic<int> runFlag{0};

}  // namespace corvane

// The RTCM name of a decoded message's code, as corvane-cli convert prints it.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// "1004", "MSM4 GPS", "18 L1", "41 #2" …; an unknown code in hexadecimal.
std::string MessageLabel(std::uint32_t code);

}  // namespace corvane

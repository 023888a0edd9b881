// The decoded-text log as printf formatted it: the reference that the log's
// own formatting is held to.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace corvane {
class RTCM2Dec;
class RTCM3Dec;
}  // namespace corvane

namespace corvane::test {

void PrintfRtcm2Text(platform::OutputFile& file, const RTCM2Dec& decoder, std::uint32_t code,
                     const char* ts);
void PrintfRtcm3Text(platform::OutputFile& file, const RTCM3Dec& decoder, std::uint32_t code,
                     const char* ts, std::uint32_t lastTextCode);

}  // namespace corvane::test

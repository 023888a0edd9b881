// The decoded-text log: every message a channel's decoder stores, written as
// readable text to an hourly ".txt" file when the channel's outputs ask for it.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace corvane {

class NtripChannel;
class RTCM2Dec;
class RTCM3Dec;

// Writes the record named by `code` to the channel's text log (when its
// textEnabled is set), opening the hourly file as needed, and remembers the
// code's kind in lastTextCode. Receive thread only.
void WriteDecodedText(NtripChannel& channel, std::uint32_t code);

// The text of one message, with the timestamp `ts` ("%Y-%m-%d %H:%M:%S").
void WriteRtcm2Text(platform::OutputFile& file, const RTCM2Dec& decoder, std::uint32_t code,
                    const char* ts);
// `lastTextCode` is the kind last logged (for the runs of 1019 and 1020
// rows under one header).
void WriteRtcm3Text(platform::OutputFile& file, const RTCM3Dec& decoder, std::uint32_t code,
                    const char* ts, std::uint32_t lastTextCode);

}  // namespace corvane

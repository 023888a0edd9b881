#include "rtcm/text_log.h"

#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"

namespace corvane {

void WriteDecodedText(NtripChannel& channel, std::uint32_t code) {
    if (!channel.textEnabled) return;
    const std::int64_t t = platform::Now();
    channel.textFile.Advance(t, channel.context.outputDir, channel.entry->name, "txt",
                             platform::FileMode::WriteText);
    if (channel.textFile.IsOpen()) {
        char ts[32];
        platform::FormatTimeInto(ts, sizeof ts, "%Y-%m-%d %H:%M:%S", platform::LocalTime(t));
        if (channel.rtcm2) {
            WriteRtcm2Text(channel.textFile.file, static_cast<const RTCM2Dec&>(*channel.rtcm2),
                           code, ts);
        } else if (channel.rtcm3) {
            WriteRtcm3Text(channel.textFile.file, static_cast<const RTCM3Dec&>(*channel.rtcm3),
                           code, ts, channel.lastTextCode);
        }
    }
    channel.lastTextCode = code & 0xFFFF0000u;
}

}  // namespace corvane

#include "rtcm/text_log.h"

#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"

namespace corvane {
namespace {

// The text is written a message at a time; a large file buffer turns that
// into few system writes even at tens of megabytes of text a second.
constexpr std::size_t kTextFileBuffer = 64 * 1024;

}  // namespace

void WriteDecodedText(NtripChannel& channel, std::uint32_t code) {
    if (!channel.textEnabled) return;
    const std::int64_t t = platform::Now();
    if (channel.textFile.Advance(t, channel.context.outputDir, channel.entry->name, "txt",
                                 platform::FileMode::WriteText)) {
        channel.textFile.file.UseBuffer(kTextFileBuffer);
    }
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

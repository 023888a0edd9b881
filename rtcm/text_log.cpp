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

// "%Y-%m-%d %H:%M:%S" of a four-digit year, without strftime's cost at
// every message.
void FormatStamp(char* out, std::size_t size, const platform::CalendarTime& c) {
    if (c.year < 1000 || c.year > 9999) {
        platform::FormatTimeInto(out, size, "%Y-%m-%d %H:%M:%S", c);
        return;
    }
    const auto two = [](char* at, int v) {
        at[0] = static_cast<char>('0' + v / 10 % 10);
        at[1] = static_cast<char>('0' + v % 10);
    };
    two(out, c.year / 100);
    two(out + 2, c.year % 100);
    out[4] = '-';
    two(out + 5, c.month);
    out[7] = '-';
    two(out + 8, c.day);
    out[10] = ' ';
    two(out + 11, c.hour);
    out[13] = ':';
    two(out + 14, c.minute);
    out[16] = ':';
    two(out + 17, c.second);
    out[19] = '\0';
}

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
        FormatStamp(ts, sizeof ts, platform::LocalTime(t));
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

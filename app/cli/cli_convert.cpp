// corvane-cli convert: feeds a recorded stream through the same outputs as a
// live stream (decoder, text log, RINEX converter, raw file) and counts the
// messages decoded.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "app/channel_outputs.h"
#include "app/cli/cli_session.h"
#include "app/cli/message_label.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/queue_window_receiver.h"
#include "platform/window_messages.h"

namespace corvane {
namespace {

constexpr int kBlockSize = 2048;  // as a channel receives
// The file is read ahead in larger pieces: fewer system calls, the same
// blocks.
constexpr std::size_t kReadBuffer = 64 * 1024;

std::string BaseNameWithoutExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    return base.substr(0, 31);
}

void Count(platform::QueueWindowReceiver& window, std::map<std::uint32_t, long>& counts) {
    for (const auto& m : window.Drain())
        if (m.message == WM_RTCM_DECODED) ++counts[static_cast<std::uint32_t>(m.lParam)];
}

}  // namespace

int RunConvertCommand(CliSession& session) {
    const CliOptions& o = session.options;
    const std::string& path = o.args.front();
    // Outlives the file, which is closed on every way out.
    const auto readBuffer = std::make_unique<char[]>(kReadBuffer);
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        std::fprintf(stderr, "corvane-cli: cannot read %s\n", path.c_str());
        return kExitFailure;
    }
    std::setvbuf(in, readBuffer.get(), _IOFBF, kReadBuffer);

    MountpointEntry entry;
    const std::string name = o.name.value_or(BaseNameWithoutExtension(path));
    std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    entry.formatVersion = static_cast<float>(o.format);
    entry.outputs = static_cast<std::uint8_t>(
        (o.raw ? kOutputRaw : 0) | (o.text ? kOutputText : 0) | (o.rinex ? kOutputRinex : 0));
    if (entry.outputs && !EnsureWritableFolder(session.app.OutputFolder())) {
        std::fclose(in);
        return kExitFailure;
    }

    platform::QueueWindowReceiver window;
    const StandardChannelOutputs outputs(
        o.time, o.rinexVersion.value_or(session.app.settings.rinexVersion));
    NtripChannel channel(&window, session.app.MakeChannelContext(&outputs));
    channel.OpenOutputs(&entry);
    runFlag = 1;
    std::map<std::uint32_t, long> counts;
    std::uint8_t block[kBlockSize];
    std::size_t n;
    bool readError = false;
    InstallStopSignals();
    while (!StopRequested() && (n = std::fread(block, 1, sizeof block, in)) > 0) {
        channel.ProcessBlock(block, static_cast<int>(n));
        Count(window, counts);
    }
    readError = std::ferror(in) != 0;
    std::fclose(in);
    runFlag = 0;
    channel.Stop();  // closes every file whole
    Count(window, counts);

    for (const auto& [code, count] : counts) {
        if (o.codes)
            std::printf("0x%08x\t%ld\n", code, count);
        else
            std::printf("%s\t%ld\n", MessageLabel(code).c_str(), count);
    }
    if (StopRequested()) {
        std::fprintf(stderr, "corvane-cli: stopped before the end of %s\n", path.c_str());
        return kExitFailure;
    }
    if (readError) {
        std::fprintf(stderr, "corvane-cli: error while reading %s\n", path.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace corvane

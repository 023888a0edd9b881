// Feeds arbitrary bytes to the RINEX converter, writing RINEX 2.11 or 3.04.
// Half of the inputs are cut into pieces that are each wrapped into a frame
// with a valid CRC and a message number the converter decodes (MSM of every
// constellation among them), so that epochs complete and the
// observation and navigation records are written; the others go in raw, in
// blocks of varying size. Station IDs, times and clock moves come from the
// bytes, so station changes, sub-second epochs and files reopened for an
// earlier hour are reached; the stream's end is marked as a channel's stop
// marks it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/window_receiver.h"
#include "rinex/rtcm3_rinex.h"
#include "rtcm/crc24q.h"

namespace {

class NullWindow : public corvane::platform::WindowReceiver {
public:
    void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

std::string OutputFolder() {
    static const std::string dir =
        (std::filesystem::temp_directory_path() / "corvane_rinex_fuzz").string();
    return dir;
}

constexpr std::int64_t kStart = 1767225600 + 18;  // 2026-01-01 00:00:18 on the GPS scale

std::uint8_t frame[1023 + 6];

// Wraps `n` bytes into a frame whose message number is chosen by `selector`.
std::size_t Wrap(const std::uint8_t* data, std::size_t n, std::uint8_t selector) {
    // The legacy and station messages, then MSM1 to MSM7 of GPS, GLONASS,
    // Galileo, SBAS, QZSS and BeiDou.
    static const int kNumbers[] = {1001, 1002, 1003, 1004, 1009, 1010, 1011, 1012, 1005, 1006,
                                   1007, 1008, 1013, 1019, 1020, 1033, 1042, 1044, 1045, 1046};
    constexpr int kOthers = sizeof kNumbers / sizeof kNumbers[0];
    constexpr int kMsm = 6 * 7;
    n = n < 1021 ? n : 1021;
    const int pick = selector % (kOthers + kMsm);
    const int number = pick < kOthers ? kNumbers[pick]
                                      : 1071 + (pick - kOthers) / 7 * 10 + (pick - kOthers) % 7;
    frame[0] = 0xD3;
    frame[1] = static_cast<std::uint8_t>((n + 2) >> 8);
    frame[2] = static_cast<std::uint8_t>(n + 2);
    frame[3] = static_cast<std::uint8_t>(number >> 4);
    frame[4] = static_cast<std::uint8_t>((number & 0xF) << 4);
    std::memcpy(frame + 5, data, n);
    const std::uint32_t crc = corvane::Crc24q(frame, n + 5);
    frame[n + 5] = static_cast<std::uint8_t>(crc >> 16);
    frame[n + 6] = static_cast<std::uint8_t>(crc >> 8);
    frame[n + 7] = static_cast<std::uint8_t>(crc);
    return n + 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    corvane::runFlag = 1;
    corvane::MountpointEntry entry;
    std::strcpy(entry.name, "FUZZ");
    corvane::ChannelContext context;
    context.outputDir = OutputFolder();
    NullWindow window;
    corvane::NtripChannel channel(&window, context);
    channel.OpenOutputs(&entry);
    {
        // The top bit of the first byte chooses RINEX 3.04 files.
        corvane::RTCM3Rinex rinex(&channel, kStart, (data[0] & 0x80) ? 3 : 2);
        const bool framed = data[0] & 1;
        std::size_t step = ((data[0] >> 1) & 0x3F) + 1;
        ++data;
        --size;
        std::size_t at = 0;
        while (at < size) {
            if (framed) {
                // A length byte and a selector byte, then the piece.
                if (size - at < 2) break;
                const std::size_t n = data[at] * 4u + (data[at + 1] >> 4);
                const std::uint8_t selector = data[at + 1];
                at += 2;
                const std::size_t piece = size - at < n ? size - at : n;
                rinex.Input(frame, static_cast<int>(Wrap(data + at, piece, selector)));
                at += piece;
            } else {
                const std::size_t n = size - at < step ? size - at : step;
                rinex.Input(data + at, static_cast<int>(n));
                at += n;
                step = step * 5 % 2049 + 1;
            }
        }
        // The stream's end: the pending epoch and a header still owed.
        rinex.Finish();
    }
    channel.Stop();
    // Every input opens files of its own times: keep the folder small.
    std::error_code ec;
    std::filesystem::remove_all(OutputFolder(), ec);
    return 0;
}

// Feeds arbitrary bytes to the RTCM 2 decoder. Half of the inputs are taken
// as raw stream bytes in blocks of arbitrary sizes; the other half as the
// header fields and data words of messages, sent with valid parity, so that
// the message decoders are reached.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rtcm/rtcm2_dec.h"
#include "tests/support/rtcm2_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    auto decoder = std::make_unique<corvane::RTCM2Dec>(nullptr);
    const std::uint8_t mode = data[0];
    data += 1;
    size -= 1;
    if (mode & 1) {
        static const int kTypes[] = {1, 3, 7, 9, 18, 19, 41, 42};
        corvane::test::Rtcm2Builder b;
        std::size_t at = 0;
        while (at + 2 <= size) {
            const int type = kTypes[data[at] & 7];
            const int words = data[at + 1] & 31;
            at += 2;
            std::vector<std::uint32_t> dataWords;
            for (int i = 0; i < words && at + 3 <= size; ++i, at += 3)
                dataWords.push_back((std::uint32_t{data[at]} << 16) | (data[at + 1] << 8) | data[at + 2]);
            b.Message(type, 1, static_cast<int>(at), 0, mode >> 5, dataWords);
        }
        const std::string& bytes = b.Bytes();
        decoder->Input(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       static_cast<int>(bytes.size()));
        return 0;
    }
    std::size_t at = 0;
    std::size_t step = (mode % 64) + 1;
    while (at < size) {
        const std::size_t n = size - at < step ? size - at : step;
        decoder->Input(data + at, static_cast<int>(n));
        at += n;
        step = step * 5 % 2049 + 1;
    }
    return 0;
}

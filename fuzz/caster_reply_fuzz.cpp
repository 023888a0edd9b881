// Feeds arbitrary bytes to what reads a caster's words before any decoder:
// the reply header scan and classification, the chunk decoder (in blocks
// of arbitrary sizes) and the file-name part made from a mountpoint name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/chunk_decoder.h"
#include "net/file_name_part.h"
#include "net/reply_classifier.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::size_t header = corvane::ReplyHeaderLength(text);
    if (header > size) std::abort();
    bool chunked = false;
    corvane::ClassifyReply(text.substr(0, header), &chunked);
    corvane::ReplyHeaderIncomplete(text);

    corvane::ChunkDecoder chunks;
    std::size_t delivered = 0;
    for (std::size_t at = 0; at < size;) {
        const std::size_t want = 1 + std::size_t{data[at]} % 97;
        const std::size_t n = want < size - at ? want : size - at;
        chunks.Feed(data + at, static_cast<int>(n), [&](const std::uint8_t*, int length) {
            if (length <= 0) std::abort();
            delivered += static_cast<std::size_t>(length);
        });
        at += n;
    }
    if (delivered > size) std::abort();

    // A name part never leaves its folder nor names a dot entry.
    const std::string part = corvane::FileNamePart(text.substr(0, 31));
    if (part.find_first_of("/\\") != std::string::npos || part == "." || part == "..")
        std::abort();
    return 0;
}

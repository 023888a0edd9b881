// Removes HTTP chunked transfer framing from a stream that arrives in
// blocks. The state carries over from block to block, so a chunk header or
// a chunk may be split anywhere.
#pragma once

#include <cstdint>

namespace corvane {

class ChunkDecoder {
public:
    // More bad chunk headers than this in a row end the stream.
    static constexpr int kMaxBadHeaders = 3;
    // A chunk extension longer than this makes its header bad.
    static constexpr int kMaxExtension = 1024;

    // Scans one block and hands the chunk data in it to `sink(data, length)`.
    // A bad chunk header drops the rest of the block. Returns false when, at
    // the end of the block, more than kMaxBadHeaders headers in a row were bad.
    template <typename Sink>
    bool Feed(const std::uint8_t* data, int length, Sink&& sink);

    void Reset() { *this = ChunkDecoder{}; }
    int BadHeaders() const { return badHeaders_; }

private:
    enum class Phase { Size, Extension, LineEnd, Data };

    Phase phase_ = Phase::Size;
    std::int64_t size_ = 0;  // bytes left of the current chunk
    int badHeaders_ = 0;
    int extension_ = 0;  // bytes of the current chunk extension
};

template <typename Sink>
bool ChunkDecoder::Feed(const std::uint8_t* data, int length, Sink&& sink) {
    int i = 0;
    while (i < length) {
        const std::uint8_t c = data[i];
        bool bad = false;
        switch (phase_) {
            case Phase::Size: {
                if (c == '\r') {
                    phase_ = Phase::LineEnd;
                    ++i;
                    break;
                }
                // Chunk extensions (";name=value", blanks before them) are
                // skipped up to the line end.
                if (c == ';' || c == ' ' || c == '\t') {
                    phase_ = Phase::Extension;
                    extension_ = 0;
                    ++i;
                    break;
                }
                // Hexadecimal digit: '0'-'9' have bit 0x10 set, letters do not.
                const int value = (c & 0x10) ? c - 48 : (c & 0xDF) - 55;
                const std::int64_t next = size_ * 16 + value;
                if (value < 0 || value > 15 || next >= (std::int64_t{1} << 31)) {
                    bad = true;
                } else {
                    size_ = next;
                    ++i;
                }
                break;
            }
            case Phase::Extension:
                if (c == '\n' || ++extension_ > kMaxExtension) {
                    bad = true;
                } else {
                    if (c == '\r') phase_ = Phase::LineEnd;
                    ++i;
                }
                break;
            case Phase::LineEnd:
                if (c == '\n') {
                    // A size of 0 is the line end after chunk data or the last chunk.
                    phase_ = size_ != 0 ? Phase::Data : Phase::Size;
                    ++i;
                } else if (c == '\r') {
                    ++i;
                } else {
                    bad = true;
                }
                break;
            case Phase::Data: {
                const int left = length - i;
                if (left > size_) {
                    const int n = static_cast<int>(size_);
                    if (n > 0) sink(data + i, n);
                    i += n;
                    size_ = 0;
                    phase_ = Phase::Size;
                } else {
                    sink(data + i, left);
                    size_ -= left;
                    i = length;
                }
                badHeaders_ = 0;
                break;
            }
        }
        if (bad) {
            ++badHeaders_;
            phase_ = Phase::Size;
            size_ = 0;
            break;
        }
    }
    return badHeaders_ <= kMaxBadHeaders;
}

}  // namespace corvane

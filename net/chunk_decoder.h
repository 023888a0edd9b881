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

    // Scans one block and hands the chunk data in it to `sink(data, length)`.
    // A bad chunk header drops the rest of the block. Returns false when, at
    // the end of the block, more than kMaxBadHeaders headers in a row were bad.
    template <typename Sink>
    bool Feed(const std::uint8_t* data, int length, Sink&& sink);

    void Reset() { *this = ChunkDecoder{}; }
    int BadHeaders() const { return badHeaders_; }

private:
    enum class Phase { Size, LineEnd, Data };

    Phase phase_ = Phase::Size;
    std::int64_t size_ = 0;  // bytes left of the current chunk
    int badHeaders_ = 0;
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

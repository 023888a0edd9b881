// Builds RTCM 2 byte streams for tests: 24-bit data words with GPS parity,
// inverted after a word ending in D30* = 1, in six-of-eight bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::test {

class Rtcm2Builder {
public:
    // Appends one word of 24 data bits.
    void Word(std::uint32_t data24);
    // Appends a message: the two header words and the data words.
    void Message(int type, int stationId, int zCount, int sequence, int health,
                 const std::vector<std::uint32_t>& dataWords);
    // Appends raw bytes (junk between messages).
    void Raw(const std::string& bytes) { out_ += bytes; }
    const std::string& Bytes() const { return out_; }
    // Flips one data bit of the word that starts at byte `wordStart` (the
    // parity then fails).
    void CorruptByte(std::size_t position) { out_[position] ^= 0x01; }

private:
    std::string out_;
    std::uint32_t previous_ = 0;  // the last word sent, 30 bits as transmitted
};

// Packs fields MSB first into 24-bit data words: {value, bits} pairs.
std::vector<std::uint32_t> PackDataWords(const std::vector<std::pair<std::int64_t, int>>& fields);

}  // namespace corvane::test

// The RTCM 2 decoder of one mountpoint channel: reads the six-of-eight byte
// format as a bit stream, finds message headers by their preamble and parity
// at any bit position, checks the parity of every word and decodes types 1, 3, 7, 9, 18, 19, 41 and
// 42 into its records; has the channel log each message and notifies the window.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "net/stream_decoder.h"
#include "rtcm/records_rtcm2.h"

namespace corvane {

class NtripChannel;

class RTCM2Dec : public StreamDecoder {
public:
    // `owner` receives the text log and the notifications; with none (tests)
    // messages are only stored.
    explicit RTCM2Dec(NtripChannel* owner);
    ~RTCM2Dec() override;
    RTCM2Dec(const RTCM2Dec&) = delete;
    RTCM2Dec& operator=(const RTCM2Dec&) = delete;

    // Takes a block of the stream and decodes every message it completes.
    // Words are found at any bit position; a message in hand carries over to
    // the next block. Returns 0 (no bytes are held back).
    int Input(const std::uint8_t* data, int length) override;

    // The records, for the receive thread (the text log) and for readers
    // that hold Lock().
    const Rtcm2Records& Records() const { return *records_; }
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(mutex_); }
    // A copy of one record made under the lock.
    template <typename T>
    T Copy(T Rtcm2Records::*member) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return (*records_).*member;
    }
    // Calls fn(records) under the lock and returns its result, e.g. to copy
    // the record of one frequency or system.
    template <typename Fn>
    auto Read(Fn&& fn) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return fn(static_cast<const Rtcm2Records&>(*records_));
    }

private:
    // Takes one bit of the stream.
    void Bit(unsigned bit);
    // Decodes the message whose words have all arrived and closes it.
    void Complete();
    // Decodes the message in hand; returns its code, or 0 when it was
    // consumed without effect.
    std::uint32_t Decode(int n);

    enum class State { Hunt, Header2, Data };

    NtripChannel* const owner_;
    // The last 32 bits received, most recent in bit 0: a word is the low 30
    // bits, bits 31 and 30 are D29* and D30* of the word before it.
    std::uint32_t acc_ = 0;
    std::uint64_t history_ = 0;  // the last 64 bits, for a second look after a false header
    int bitsSeen_ = 0;           // bits received so far (up to 32)
    State state_ = State::Hunt;
    int wordBits_ = 0;   // bits of the word being received
    int wordCount_ = 0;  // data words received of the message in hand
    std::uint32_t word1_ = 0;
    std::uint32_t word2_ = 0;
    std::uint32_t dataWords_[31] = {};
    std::unique_ptr<Rtcm2Records> records_;
    mutable std::mutex mutex_;
};

}  // namespace corvane

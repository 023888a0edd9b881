// The RTCM 3 decoder of one mountpoint channel: cuts the received stream into
// transport frames, decodes the messages it knows into its records, has the
// channel log them as text and notifies the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "net/stream_decoder.h"
#include "rtcm/records_rtcm3.h"

namespace corvane {

class NtripChannel;

// The three-character label of a signal (1-based signal ID 1 to 32) of an MSM
// constellation index; "   " when it has none.
const char* MsmSignalLabel(int sysIndex, int signalId);

class RTCM3Dec : public StreamDecoder {
public:
    // `owner` receives the text log and the notifications; with none (tests)
    // messages are only stored.
    explicit RTCM3Dec(NtripChannel* owner);
    ~RTCM3Dec() override;
    RTCM3Dec(const RTCM3Dec&) = delete;
    RTCM3Dec& operator=(const RTCM3Dec&) = delete;

    // Appends a block, decodes every complete frame whose CRC-24Q matches and
    // keeps the bytes that may still begin a frame; returns their number.
    int Input(const std::uint8_t* data, int length) override;

    // The records, for the receive thread (the text log) and for readers
    // that hold Lock().
    const Rtcm3Records& Records() const { return *records_; }
    // Held by Input while it stores a message; a reader on another thread
    // takes it while it reads the records.
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(mutex_); }
    // A copy of one record made under the lock, e.g. Copy(&Rtcm3Records::rec1006).
    template <typename T>
    T Copy(T Rtcm3Records::*member) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return (*records_).*member;
    }
    // Calls fn(records) under the lock and returns its result, e.g. to copy
    // the MSM record of a constellation or the ephemeris of one satellite.
    template <typename Fn>
    auto Read(Fn&& fn) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return fn(static_cast<const Rtcm3Records&>(*records_));
    }

    // Bytes currently held for the next block.
    std::uint32_t HeldCount() const { return inCount_; }

    static constexpr std::size_t kBufferSize = 4096;
    // The longest frame: 3 header bytes, 1023 message bytes, 3 parity bytes.
    // Input never holds this many bytes back.
    static constexpr std::size_t kMaxFrame = 1023 + 6;

private:
    void Scan();
    void Dispatch(const std::uint8_t* message, std::size_t length);

    // Message decoders: `m` is the message (from its message number on),
    // `n` its length in bytes. Each returns the message code when it stored
    // the message and 0 when it rejected it.
    std::uint32_t Decode1004(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1006(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1012(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1013(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1019(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1020(const std::uint8_t* m, std::size_t n);
    std::uint32_t Decode1033(const std::uint8_t* m, std::size_t n);
    std::uint32_t DecodeMsm4(const std::uint8_t* m, std::size_t n, int number);
    std::uint32_t DecodeMsm7(const std::uint8_t* m, std::size_t n, int number);

    NtripChannel* const owner_;
    std::uint8_t inBuf_[kBufferSize];
    std::uint32_t inCount_ = 0;
    std::unique_ptr<Rtcm3Records> records_;  // large: kept off the caller's stack
    mutable std::mutex mutex_;
};

}  // namespace corvane

// Byte input, frame search and dispatch of the RTCM 3 decoder.
#include "rtcm/rtcm3_dec.h"

#include <algorithm>
#include <cstring>

#include "rtcm/bit_reader.h"
#include "rtcm/close_decoded.h"
#include "rtcm/crc24q.h"

namespace corvane {

RTCM3Dec::RTCM3Dec(NtripChannel* owner) : owner_(owner), records_(new Rtcm3Records{}) {}

RTCM3Dec::~RTCM3Dec() = default;

int RTCM3Dec::Input(const std::uint8_t* data, int length) {
    if (data == nullptr || length <= 0) return static_cast<int>(inCount_);
    std::size_t left = static_cast<std::size_t>(length);
    // A scan leaves less than one longest frame behind, so every pass takes
    // at least 3 KB; blocks larger than the buffer go in several passes.
    while (left > 0) {
        const std::size_t take = std::min(left, kBufferSize - inCount_);
        std::memcpy(inBuf_ + inCount_, data, take);
        inCount_ += static_cast<std::uint32_t>(take);
        data += take;
        left -= take;
        Scan();
    }
    return static_cast<int>(inCount_);
}

// A frame is 0xD3, six reserved bits, the 10-bit message length, the message
// and the CRC-24Q of all bytes before it. A candidate whose CRC fails is
// searched again from its next byte.
void RTCM3Dec::Scan() {
    const std::size_t n = inCount_;
    std::size_t a = 0;
    while (a < n) {
        if (inBuf_[a] != 0xD3) {
            const void* next = std::memchr(inBuf_ + a, 0xD3, n - a);
            if (next == nullptr) {
                a = n;
                break;
            }
            a = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - inBuf_);
        }
        if (n - a < 6) break;
        const std::uint8_t* frame = inBuf_ + a;
        const std::size_t length = (static_cast<std::size_t>(frame[1] & 0x03) << 8) | frame[2];
        const std::size_t total = length + 6;
        if (n - a < total) break;
        const std::uint32_t parity = (static_cast<std::uint32_t>(frame[length + 3]) << 16) |
                                     (static_cast<std::uint32_t>(frame[length + 4]) << 8) |
                                     frame[length + 5];
        if (Crc24q(frame, length + 3) == parity) {
            Dispatch(frame + 3, length);
            a += total;
        } else {
            ++a;
        }
    }
    if (a < n && a > 0) std::memmove(inBuf_, inBuf_ + a, n - a);
    inCount_ = static_cast<std::uint32_t>(n - a);
}

void RTCM3Dec::Dispatch(const std::uint8_t* m, std::size_t n) {
    const int number = static_cast<int>(getBitsU(m, n, 0, 12));
    std::uint32_t code = 0;
    switch (number) {
        case 1004:
            code = Decode1004(m, n);
            break;
        case 1006:
            code = Decode1006(m, n);
            break;
        case 1012:
            code = Decode1012(m, n);
            break;
        case 1013:
            code = Decode1013(m, n);
            break;
        case 1019:
            code = Decode1019(m, n);
            break;
        case 1020:
            code = Decode1020(m, n);
            break;
        case 1033:
            code = Decode1033(m, n);
            break;
        case 1074:
        case 1084:
        case 1094:
        case 1114:
        case 1124:
            code = DecodeMsm4(m, n, number);
            break;
        case 1077:
        case 1087:
        case 1097:
        case 1127:
            code = DecodeMsm7(m, n, number);
            break;
        default:
            break;  // not kept: consumed without effect
    }
    if (code != 0) CloseDecodedMessage(owner_, code);
}

}  // namespace corvane

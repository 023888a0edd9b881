#include "rtcm/rtcm2_dec.h"

#include <cstring>

#include "rtcm/close_decoded.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_words.h"

namespace corvane {

using rtcm2::int32Bits;
using rtcm2::uint32Bits;

namespace {

constexpr std::uint32_t kPreamble = 0x66;

std::uint32_t Field(std::uint32_t word, int high, int low) {
    return (word >> low) & ((std::uint32_t{1} << (high - low + 1)) - 1);
}

int WordCount(std::uint32_t word2) { return static_cast<int>(Field(word2, 13, 9)); }

}  // namespace

RTCM2Dec::RTCM2Dec(NtripChannel* owner)
    : owner_(owner), records_(std::make_unique<Rtcm2Records>()) {
    std::memset(records_.get(), 0, sizeof(Rtcm2Records));
}

RTCM2Dec::~RTCM2Dec() = default;

int RTCM2Dec::Input(const std::uint8_t* data, int length) {
    for (int i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        // Six of eight: only bytes 0x40 to 0x7F carry data, the first bit
        // in bit 0.
        if ((b & 0xC0) != 0x40) continue;
        int k = 0;
        if (state_ != State::Hunt && wordBits_ < 29) {
            // Inside a word the bits before its last one only move in:
            // take them at once.
            k = 29 - wordBits_ < 6 ? 29 - wordBits_ : 6;
            history_ = (history_ << k) | (rtcm2::kReverse6[b & 0x3F] >> (6 - k));
            acc_ = static_cast<std::uint32_t>(history_);
            bitsSeen_ = bitsSeen_ + k < 32 ? bitsSeen_ + k : 32;
            wordBits_ += k;
        }
        for (; k < 6; ++k) Bit((b >> k) & 1u);
    }
    return 0;
}

namespace {

// The word in a 32-bit window, its data bits inverted back when D30* is set.
std::uint32_t WordOf(std::uint32_t window) {
    return (window & 0x40000000u) ? window ^ 0x3FFFFFC0u : window;
}

bool IsHeaderWord(std::uint32_t w) { return Field(w, 29, 22) == kPreamble && rtcm2::ParityOk(w); }

}  // namespace

void RTCM2Dec::Bit(unsigned bit) {
    history_ = (history_ << 1) | bit;
    acc_ = static_cast<std::uint32_t>(history_);
    if (bitsSeen_ < 32) ++bitsSeen_;
    // The word ending here, its data bits inverted back when D30* is set.
    auto word = [this] { return (acc_ & 0x40000000u) ? acc_ ^ 0x3FFFFFC0u : acc_; };

    switch (state_) {
        case State::Hunt: {
            if (bitsSeen_ < 30) return;  // at the start D29* and D30* read 0
            const std::uint32_t w = word();
            if (IsHeaderWord(w)) {
                word1_ = w & 0x3FFFFFFFu;
                state_ = State::Header2;
                wordBits_ = 0;
            }
            return;
        }
        case State::Header2: {
            if (++wordBits_ < 30) return;
            const std::uint32_t w = word();
            if (!rtcm2::ParityOk(w)) {
                // Not a header after all. A real one may have begun within
                // the 29 bits after the false first word: look there first.
                state_ = State::Hunt;
                for (int back = 29; back >= 1; --back) {
                    const std::uint32_t candidate =
                        WordOf(static_cast<std::uint32_t>(history_ >> back));
                    if (IsHeaderWord(candidate)) {
                        word1_ = candidate & 0x3FFFFFFFu;
                        state_ = State::Header2;
                        wordBits_ = back;
                        return;
                    }
                }
                return;
            }
            word2_ = w & 0x3FFFFFFFu;
            wordBits_ = 0;
            wordCount_ = 0;
            if (WordCount(word2_) == 0) {
                state_ = State::Hunt;
                Complete();
            } else {
                state_ = State::Data;
            }
            return;
        }
        case State::Data: {
            if (++wordBits_ < 30) return;
            wordBits_ = 0;
            const std::uint32_t w = word();
            if (!rtcm2::ParityOk(w)) {
                // A corrupted message (or a header found in noise) has no
                // effect; the hunt for the next header starts at once, so
                // that a real header among its words is not lost.
                state_ = State::Hunt;
                return;
            }
            dataWords_[wordCount_++] = w & 0x3FFFFFFFu;
            if (wordCount_ < WordCount(word2_)) return;
            state_ = State::Hunt;
            Complete();
            return;
        }
    }
}

void RTCM2Dec::Complete() {
    std::uint32_t code;
    {
        std::lock_guard lock(mutex_);
        code = Decode(wordCount_);
    }
    if (code != 0) CloseDecodedMessage(owner_, code);
}

std::uint32_t RTCM2Dec::Decode(int n) {
    Rtcm2Records& r = *records_;
    const int type = static_cast<int>(Field(word1_, 21, 16));
    const double z = Field(word2_, 29, 17) * 0.6;
    const std::uint32_t* w = dataWords_;
    const int bits = 24 * n;

    switch (type) {
        case 1:
        case 9: {
            Rec01& rec = type == 1 ? r.rec01 : r.rec09;
            std::memset(&rec, 0, sizeof rec);
            rec.zCount = z;
            int i = 0;
            for (int p = 0; p + 40 <= bits && i < kRtcm2MaxSats; p += 40, ++i) {
                Rec01Sat& s = rec.sats[i];
                s.scale = static_cast<std::int32_t>(uint32Bits(w, p, 1));
                s.udre = static_cast<std::int32_t>(uint32Bits(w, p + 1, 2));
                const int sat = static_cast<int>(uint32Bits(w, p + 3, 5));
                s.sat = sat == 0 ? 32 : sat;
                s.prc = int32Bits(w, p + 8, 16) * (s.scale ? 0.32 : 0.02);
                s.rrc = int32Bits(w, p + 24, 8) * (s.scale ? 0.032 : 0.002);
                s.iod = static_cast<std::int32_t>(uint32Bits(w, p + 32, 8));
            }
            r.lastZCount = z;
            return MessageCode(type == 1 ? kKindRtcm2Type1 : kKindRtcm2Type9, 0);
        }
        case 3:
            if (bits < 96) return 0;
            r.rec03.x = int32Bits(w, 0, 32) * 0.01;
            r.rec03.y = int32Bits(w, 32, 32) * 0.01;
            r.rec03.z = int32Bits(w, 64, 32) * 0.01;
            r.lastZCount = z;
            return MessageCode(kKindRtcm2Type3, 0);
        case 7: {
            if (bits < 72) return 0;
            Rec07& b = r.rec07;
            b.latitude = int32Bits(w, 0, 16) * 90.0 / 32767.0;
            b.longitude = int32Bits(w, 16, 16) * 180.0 / 32767.0;
            b.range = static_cast<std::int32_t>(uint32Bits(w, 32, 10));
            b.frequency = 190.0 + uint32Bits(w, 42, 12) * 0.1;
            b.health = static_cast<std::int16_t>(uint32Bits(w, 54, 2));
            b.stationId = static_cast<std::int16_t>(uint32Bits(w, 56, 10));
            b.bitRateCode = static_cast<std::int8_t>(uint32Bits(w, 66, 3));
            b.modulation = static_cast<std::int8_t>(uint32Bits(w, 69, 1));
            b.syncType = static_cast<std::int8_t>(uint32Bits(w, 70, 1));
            b.coding = static_cast<std::int8_t>(uint32Bits(w, 71, 1));
            r.lastZCount = z;
            return MessageCode(kKindRtcm2Type7, 0);
        }
        case 18:
        case 19: {
            if (n < 3 || n % 2 == 0) return 0;
            if (uint32Bits(w, 1, 1)) return 0;
            const int frequency = static_cast<int>(uint32Bits(w, 0, 1));
            const double time = z + uint32Bits(w, 4, 20) * 1e-6;
            const int count = (n - 1) / 2;
            const bool glonass = uint32Bits(w, 24 + 2, 1) != 0;
            if (type == 18) {
                Rec18& rec = r.rec18[frequency];
                std::memset(&rec, 0, sizeof rec);
                rec.time = time;
                for (int i = 0; i < count && i < kRtcm2MaxSats; ++i) {
                    const int p = 24 + 48 * i;
                    Rec18Sat& s = rec.sats[i];
                    s.multipleMessage = static_cast<std::uint8_t>(uint32Bits(w, p, 1));
                    s.pCode = static_cast<std::uint8_t>(uint32Bits(w, p + 1, 1));
                    const int sat = static_cast<int>(uint32Bits(w, p + 3, 5));
                    s.sat = (sat == 0 ? 32 : sat) + (glonass ? 200 : 0);
                    s.quality = static_cast<std::uint8_t>(uint32Bits(w, p + 8, 3));
                    s.lossCount = static_cast<std::int32_t>(uint32Bits(w, p + 11, 5));
                    s.phase = int32Bits(w, p + 16, 32) / 256.0;
                }
            } else {
                Rec19& rec = r.rec19[frequency];
                std::memset(&rec, 0, sizeof rec);
                rec.time = time;
                rec.smoothing = static_cast<std::int32_t>(uint32Bits(w, 2, 2));
                for (int i = 0; i < count && i < kRtcm2MaxSats; ++i) {
                    const int p = 24 + 48 * i;
                    Rec19Sat& s = rec.sats[i];
                    s.multipleMessage = static_cast<std::uint8_t>(uint32Bits(w, p, 1));
                    s.pCode = static_cast<std::uint8_t>(uint32Bits(w, p + 1, 1));
                    const int sat = static_cast<int>(uint32Bits(w, p + 3, 5));
                    s.sat = (sat == 0 ? 32 : sat) + (glonass ? 200 : 0);
                    s.quality = static_cast<std::uint8_t>(uint32Bits(w, p + 8, 4));
                    s.multipath = static_cast<std::uint8_t>(uint32Bits(w, p + 12, 4));
                    s.pseudorange = uint32Bits(w, p + 16, 32) * 0.02;
                }
            }
            r.lastZCount = z;
            return MessageCode(type == 18 ? kKindRtcm2Type18 : kKindRtcm2Type19,
                               static_cast<std::uint32_t>(frequency + 1));
        }
        case 41:
        case 42: {
            if (n < 1) return 0;
            const int system = static_cast<int>(uint32Bits(w, 0, 4));
            if (system < 1 || system > 5) return 0;
            const bool iono = uint32Bits(w, 12, 1) != 0;
            const int extra = system == 3 ? 2 : 0;
            const int length = (iono ? 44 : 32) + extra;
            const int offset = system == 4 ? 100 : system == 5 ? 180 : 0;
            Rec41& rec = (type == 41 ? r.rec41 : r.rec42)[system - 1];
            std::memset(&rec, 0, sizeof rec);
            rec.systemId = system;
            rec.health = static_cast<std::int32_t>(Field(word2_, 8, 6));
            int i = 0;
            for (int p = 13; p + length <= bits && i < kRtcm2MaxSats; p += length, ++i) {
                Rec41Sat& s = rec.sats[i];
                s.sat = static_cast<std::int32_t>(uint32Bits(w, p, 6)) + offset;
                s.udre = static_cast<std::int32_t>(uint32Bits(w, p + 6, 4));
                s.iod = static_cast<std::int32_t>(uint32Bits(w, p + 10, 8 + extra));
                s.prc = int32Bits(w, p + 18 + extra, 14) * 0.02;
                s.iono = iono ? int32Bits(w, p + 32 + extra, 12) : 0.0;
            }
            r.lastZCount = z;
            return MessageCode(type == 41 ? kKindRtcm2Type41 : kKindRtcm2Type42,
                               static_cast<std::uint32_t>(system));
        }
        default:
            return 0;
    }
}

}  // namespace corvane

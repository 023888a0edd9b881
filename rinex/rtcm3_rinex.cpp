#include "rinex/rtcm3_rinex.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "rtcm/crc24q.h"

namespace corvane {
namespace {

constexpr std::int64_t kGpsEpochUnix = 315964800;  // 1980-01-06 00:00:00
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::size_t kFrameOverhead = 6;  // 0xD3, two length bytes, three CRC bytes
constexpr std::uint8_t kPreamble = 0xD3;

}  // namespace

RTCM3Rinex::RTCM3Rinex(NtripChannel* channel, std::optional<std::int64_t> startTime)
    : channel_(channel) {
    // Most streams never send 1013, so the clock starts from the time given
    // or the computer's (UTC, so GPS − UTC of its date is added); observations,
    // 1013 and ephemerides move it on.
    const std::int64_t now = platform::Now();
    const std::int64_t t = startTime ? *startTime : now + LeapSecondsAt(now);
    const std::int64_t sinceGpsEpoch = std::max<std::int64_t>(t - kGpsEpochUnix, 0);
    clock.Set(static_cast<std::int32_t>(sinceGpsEpoch / kSecondsPerWeek),
              static_cast<std::int32_t>(sinceGpsEpoch % kSecondsPerWeek));
}

bool RTCM3Rinex::Running() const { return channel_ == nullptr || channel_->Running(); }

int RTCM3Rinex::Input(const std::uint8_t* data, int length) {
    int done = 0;
    while (done < length) {
        if (!Running()) break;
        // Unreachable (a search runs long before the buffer fills), but a
        // full buffer must never stop the loop.
        if (count_ == kInputSize) count_ = 0;
        // Take the bytes up to the needed count in one piece: the search
        // only runs once that many are buffered.
        std::size_t take = needed_ > count_ ? needed_ - count_ : 1;
        take = std::min({take, static_cast<std::size_t>(length - done), kInputSize - count_});
        std::memcpy(input_ + count_, data + done, take);
        count_ += take;
        done += static_cast<int>(take);
        if (count_ < needed_) continue;
        for (int result; (result = DecodeNext()) != 0 && Running();) {
            if (result == 1) {
                WriteEpoch();
            } else if (result == 1019) {
                WriteNavigation(1);
            } else if (result == 1020) {
                WriteNavigation(2);
            }
        }
    }
    return static_cast<int>(count_);
}

void RTCM3Rinex::Finish() {
    if (observations.HandOverPending()) WriteEpoch();
}

bool RTCM3Rinex::FindFrame() {
    std::size_t pos = frameHeld_ ? handedOut_ + kFrameOverhead : 0;
    frameHeld_ = false;
    handedOut_ = 0;
    needed_ = 0;
    if (pos > count_) pos = count_;
    while (count_ - pos >= 3) {
        if (!Running()) return false;
        if (input_[pos] == kPreamble) {
            const std::size_t l = ((input_[pos + 1] & 0x03u) << 8) | input_[pos + 2];
            if (count_ - pos < l + kFrameOverhead) {
                needed_ = l + kFrameOverhead;
                break;
            }
            const std::uint8_t* crc = input_ + pos + 3 + l;
            const std::uint32_t expected =
                (std::uint32_t{crc[0]} << 16) | (std::uint32_t{crc[1]} << 8) | crc[2];
            if (Crc24q(input_ + pos, l + 3) == expected) {
                handedOut_ = l;
                frameHeld_ = true;
                break;
            }
        }
        ++pos;
    }
    if (count_ - pos < 3) needed_ = 3;
    std::memmove(input_, input_ + pos, count_ - pos);
    count_ -= pos;
    return needed_ == 0;
}

int RTCM3Rinex::DecodeNext() {
    for (;;) {
        if (!FindFrame() || !Running()) return 0;
        BitCursor in(input_ + 3, handedOut_);
        const int number = static_cast<int>(in.U(12));
        switch (number) {
            case 1001:
            case 1002:
            case 1003:
            case 1004:
                if (observations.DecodeGps(in, number, clock)) return 1;
                break;
            case 1009:
            case 1010:
            case 1011:
            case 1012:
                if (observations.DecodeGlonass(in, number, clock)) return 1;
                break;
            case 1005:
            case 1006:
                DecodeStation(in, number == 1006);
                return number;
            case 1007:
            case 1008:
            case 1033:
                DecodeDescriptors(number);
                return number;
            case 1013:
                DecodeSystemParameters(in);
                return number;
            case 1019:
                if (DecodeGpsEphemeris(in, gps, lastEphemeris, clock)) return 1019;
                break;
            case 1020:
                if (DecodeGlonassEphemeris(in, glonass, lastEphemeris, clock)) return 1020;
                break;
            case 0:
                break;
            default:
                return number;
        }
    }
}

void RTCM3Rinex::DecodeStation(BitCursor& in, bool withHeight) {
    in.Skip(22);  // station ID, ITRF year, system indicators, reference-station indicator
    station.x = in.S(38);
    in.Skip(2);
    station.y = in.S(38);
    in.Skip(2);
    station.z = in.S(38);
    if (withHeight) station.antennaHeight = in.U(16);
}

void RTCM3Rinex::DecodeDescriptors(int messageNumber) {
    // After the message number and the station ID the texts are byte
    // aligned: a count byte, then that many characters.
    const std::uint8_t* payload = input_ + 3;
    const std::size_t length = handedOut_;
    std::size_t at = 3;
    const auto byteAt = [&](std::size_t i) -> std::uint8_t { return i < length ? payload[i] : 0; };
    const auto text = [&](char(&field)[32]) {
        const std::size_t n = byteAt(at++);
        const std::size_t kept = std::min<std::size_t>(n, sizeof field - 1);
        for (std::size_t i = 0; i < kept; ++i) field[i] = static_cast<char>(byteAt(at + i));
        field[kept] = '\0';
        at += n;
    };
    text(station.antennaDescriptor);
    if (messageNumber == 1007) return;
    ++at;  // setup ID
    text(station.antennaSerial);
    if (messageNumber == 1008) return;
    text(station.receiverType);
    text(station.receiverFirmware);
    text(station.receiverSerial);
}

void RTCM3Rinex::DecodeSystemParameters(BitCursor& in) {
    in.Skip(12);  // station ID
    const auto mjd = static_cast<std::int64_t>(in.U(16));
    const auto secondsOfDay = static_cast<std::int64_t>(in.U(17));
    in.Skip(5);  // number of announced messages
    const auto leap = static_cast<std::int32_t>(in.U(8));
    const std::int64_t days = mjd - 44244;  // since 1980-01-06
    // GPS − UTC from the message holds from now on, whatever the date.
    clock.leapFromMessage = true;
    clock.leapSeconds = leap;
    clock.Set(static_cast<std::int32_t>(days / 7),
              static_cast<std::int32_t>((days % 7) * 86400 + secondsOfDay));
}

void RTCM3Rinex::BuildObsTypes() {
    std::uint64_t mask = signalsSeen;
    const EpochRecord& ready = observations.ready;
    for (int i = 0; i < ready.satelliteCount; ++i) mask |= ready.signalMask[i] & 0xFFFFFFFFu;
    columns.Build(mask);
}

void RTCM3Rinex::WriteEpoch() {
    const EpochRecord& ready = observations.ready;
    if (epochCount < 3 || clock.gpsWeek == 0) {
        ++epochCount;
        for (int i = 0; i < ready.satelliteCount; ++i)
            signalsSeen |= static_cast<std::uint32_t>(ready.signalMask[i]);
        return;
    }
    epochTime = static_cast<std::int64_t>(ready.week) * kSecondsPerWeek +
                static_cast<std::int64_t>(ready.seconds) + kGpsEpochUnix;
    if (columns.Count() == 0) BuildObsTypes();
    const int length = columns.ComposeEpoch(ready, platform::UtcTime(epochTime), text_);
    if (length > 0 && channel_) channel_->WriteRinex(0, text_, length, epochTime, *this);
}

void RTCM3Rinex::WriteNavigation(int kind) {
    if (!channel_) return;
    const int i = lastEphemeris;
    const int length = kind == 1
                           ? ComposeGpsRecord(gps[i], i + 1, text_)
                           : ComposeGlonassRecord(glonass[i], i + 1, clock.leapSeconds, text_);
    channel_->WriteRinex(kind, text_, length, epochTime, *this);
}

int RTCM3Rinex::WriteHeader(int kind, char* buffer) {
    if (kind == 1) {
        // A new file receives every ephemeris again at its next broadcast.
        for (GpsEphemeris& e : gps) e.lastWrittenToc = kNothingWritten;
        return ComposeNavigationHeader(1, clock.leapSeconds, epochTime, buffer);
    }
    if (kind == 2) {
        for (GlonassEphemeris& e : glonass) e.lastWrittenTb = kNothingWritten;
        return ComposeNavigationHeader(2, clock.leapSeconds, epochTime, buffer);
    }
    if (columns.Count() == 0) BuildObsTypes();
    char name[32];
    std::snprintf(name, sizeof name, "%s", buffer);
    return ComposeObservationHeader(name, station, columns.Count(), columns.TypeText(),
                                    clock.leapSeconds, epochTime, buffer);
}

}  // namespace corvane

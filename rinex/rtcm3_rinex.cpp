#include "rinex/rtcm3_rinex.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/ntrip_channel.h"
#include "platform/clock.h"
#include "rinex/legacy_signals.h"
#include "rinex/msm_frame.h"
#include "rtcm/crc24q.h"

namespace corvane {
namespace {

constexpr std::int64_t kGpsEpochUnix = 315964800;  // 1980-01-06 00:00:00
constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::size_t kFrameOverhead = 6;  // 0xD3, two length bytes, three CRC bytes
constexpr std::uint8_t kPreamble = 0xD3;

}  // namespace

RTCM3Rinex::RTCM3Rinex(NtripChannel* channel, std::optional<std::int64_t> startTime,
                       int rinexVersion)
    : channel_(channel), version_(rinexVersion == 3 ? 3 : 2) {
    observations.fillSlots = version_ == 2;
    observations.fillSignals = version_ == 3;
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
            } else if (result == 1042 || result == 1044 || result == 1045 || result == 1046) {
                WriteGnssNavigation();
            }
        }
    }
    return static_cast<int>(count_);
}

void RTCM3Rinex::Finish() {
    if (observations.HandOverPending()) WriteEpoch();
    if (channel_) channel_->FinishRinex(*this);
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
            case 1020: {
                // The slot's frequency channel serves the phases of MSM.
                const auto slot = static_cast<int>(getBitsU(input_ + 3, handedOut_, 12, 6));
                const auto channel = static_cast<int>(getBitsU(input_ + 3, handedOut_, 18, 5));
                if (slot >= 1 && slot <= kGlonassSlots && channel <= 20)
                    observations.glonassChannelFromEphemeris[slot - 1] = channel - 7;
                if (DecodeGlonassEphemeris(in, glonass, lastEphemeris, clock)) return 1020;
                break;
            }
            case 1042:
            case 1044:
            case 1045:
            case 1046:
                if (DecodeGnssEphemeris(in, number, clock, *gnss, &lastGnssKind_, &lastGnssIndex_))
                    return number;
                break;
            case 0:
                break;
            default:
                if (IsMsmNumber(number)) {
                    if (observations.DecodeMsm(input_ + 3, handedOut_, clock)) return 1;
                    break;
                }
                return number;
        }
    }
}

void RTCM3Rinex::DecodeStation(BitCursor& in, bool withHeight) {
    const int id = static_cast<int>(in.U(12));
    in.Skip(10);  // ITRF year, system indicators, reference-station indicator
    const std::int64_t x = in.S(38);
    in.Skip(2);
    const std::int64_t y = in.S(38);
    in.Skip(2);
    const std::int64_t z = in.S(38);
    const std::uint64_t height = withHeight ? in.U(16) : 0;
    stations_.Store(id, x, y, z, withHeight, height);
    // The headers show the station of the observations (any, before the
    // first observation message).
    const int observed = observations.Station();
    if (observed >= 0 && id != observed) return;
    station.x = x;
    station.y = y;
    station.z = z;
    if (withHeight) station.antennaHeight = height;
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
        // A text running past the payload ends with it.
        const std::size_t available = at < length ? length - at : 0;
        const std::size_t kept = std::min<std::size_t>({n, available, sizeof field - 1});
        // Only printable ASCII enters a RINEX line: a line feed would split
        // the header, a NUL cut the text.
        for (std::size_t i = 0; i < kept; ++i) {
            const std::uint8_t c = byteAt(at + i);
            field[i] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
        }
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
    if (version_ == 3) return WriteEpoch3();
    const EpochRecord& ready = observations.ready;
    if (epochCount < 3 || clock.gpsWeek == 0) {
        ++epochCount;
        for (int i = 0; i < ready.satelliteCount; ++i)
            signalsSeen |= static_cast<std::uint32_t>(ready.signalMask[i]);
        return;
    }
    epochTime = static_cast<std::int64_t>(ready.week) * kSecondsPerWeek +
                ready.milliseconds / 1000 + kGpsEpochUnix;
    epochMillisecond_ = ready.milliseconds % 1000;
    if (columns.Count() == 0) BuildObsTypes();
    const platform::CalendarTime calendar = platform::UtcTime(epochTime);
    int length = ComposeStationEvent(ready.station, calendar, text_);
    length += columns.ComposeEpoch(ready, calendar, text_ + length);
    if (length > 0 && channel_) channel_->WriteRinex(0, text_, length, epochTime, *this);
}

void RTCM3Rinex::WriteEpoch3() {
    SignalEpoch& ready = observations.signals->Ready();
    AddLegacySignals(observations.ready, ready);
    if (epochCount < 3 || clock.gpsWeek == 0) {
        ++epochCount;
        observations3_.Count(ready);
        return;
    }
    const EpochRecord& timeTag = observations.ready;
    epochTime = static_cast<std::int64_t>(timeTag.week) * kSecondsPerWeek +
                timeTag.milliseconds / 1000 + kGpsEpochUnix;
    epochMillisecond_ = timeTag.milliseconds % 1000;
    if (!observations3_.Fixed()) observations3_.Fix(ready);
    const int length =
        observations3_.ComposeEpoch(ready, platform::UtcTime(epochTime), epochMillisecond_);
    if (length > 0 && channel_)
        channel_->WriteRinex(0, observations3_.Text(), length, epochTime, *this);
}

void RTCM3Rinex::WriteGnssNavigation() {
    // The 2.11 files hold GPS and GLONASS records only.
    if (!channel_ || version_ != 3) return;
    epochTime = clock.Time();
    epochMillisecond_ = 0;
    GnssEphemeris& eph = (*gnss)[lastGnssKind_][lastGnssIndex_];
    const int n = ComposeGnssRecord(eph, lastGnssKind_, lastGnssIndex_ + 1, text3_);
    channel_->WriteRinex(1, text3_, n, epochTime, *this);
    eph.lastWrittenToc = eph.toc;  // in the files this record may have opened
}

void RTCM3Rinex::GlonassChannels(int (&channels)[24]) const {
    for (int i = 0; i < 24; ++i) {
        int k = observations.glonassChannelFromEphemeris[i];
        if (k == ObservationAssembly::kUnknownChannel) k = observations.glonassChannelFromMsm[i];
        channels[i] = k == ObservationAssembly::kUnknownChannel ? Rinex3Observations::kUnknown : k;
    }
}

int RTCM3Rinex::ComposeStationEvent(int epochStation, const platform::CalendarTime& calendar,
                                    char* out) {
    if (epochStation < 0) return 0;
    const int previous = writtenStation_;
    writtenStation_ = epochStation;
    const bool changed = previous >= 0 && epochStation != previous;
    if (!changed && !positionOwed_) return 0;
    const StationPositions::Position* p = stations_.Find(epochStation);
    if (changed) {
        // From here on the headers describe the new station.
        StationInfo next = station;
        next.x = p ? p->x : 0;
        next.y = p ? p->y : 0;
        next.z = p ? p->z : 0;
        next.antennaHeight = p && p->withHeight ? p->antennaHeight : 0;
        station = next;
    } else if (!p) {
        return 0;  // the new station's position is still unknown
    }
    // A new site occupation: the station's marker name (its ID) and, once
    // announced, its position.
    char name[8];
    std::snprintf(name, sizeof name, "%04d", epochStation % 10000);
    char lines[2][kHeaderLineSize];
    int sizes[2] = {ComposeMarkerNameLine(name, lines[0]), 0};
    if (p) sizes[1] = ComposePositionLine(station, lines[1]);
    positionOwed_ = !p;
    int length = ComposeEventLine(calendar, epochMillisecond_, 3, p ? 2 : 1, out);
    for (int i = 0; i < 2; ++i) {
        std::memcpy(out + length, lines[i], static_cast<std::size_t>(sizes[i]));
        length += sizes[i];
    }
    return length;
}

void RTCM3Rinex::WriteNavigation(int kind) {
    if (!channel_) return;
    const int i = lastEphemeris;
    const int length = kind == 1
                           ? ComposeGpsRecord(gps[i], i + 1, text_)
                           : ComposeGlonassRecord(glonass[i], i + 1, clock.leapSeconds,
                                                  version_ == 3 ? FrameTime::kSecondsOfWeek
                                                                : FrameTime::kSecondsOfDay,
                                                  text_);
    // A navigation record is written when it arrives, dated by the clock: it
    // opens the hour's files when no observation epoch has (a stream of
    // ephemerides only, or ephemerides before the first epoch).
    epochTime = clock.Time();
    epochMillisecond_ = 0;
    if (version_ == 3) {
        const int n = ToRinex3Record(kind == 1 ? 'G' : 'R', text_, length, text3_);
        channel_->WriteRinex(1, text3_, n, epochTime, *this);
    } else {
        channel_->WriteRinex(kind, text_, length, epochTime, *this);
    }
    // Files this record opened start with every ephemeris unwritten, but
    // this one is in them now.
    if (kind == 1) gps[i].lastWrittenToc = gps[i].toc;
    if (kind == 2) glonass[i].lastWrittenTb = glonass[i].tb;
}

int RTCM3Rinex::WriteHeader(int kind, char* buffer, std::int64_t first) {
    if (version_ == 3) {
        if (kind == 0) {
            if (!observations3_.Fixed()) observations3_.Fix(observations.signals->Ready());
            char name[32];
            std::snprintf(name, sizeof name, "%s", buffer);
            int channels[24];
            GlonassChannels(channels);
            return observations3_.ComposeHeader(name, station, clock.leapSeconds, first, channels,
                                                buffer);
        }
        if (kind != 1) return 0;
        for (GpsEphemeris& e : gps) e.lastWrittenToc = kNothingWritten;
        for (GlonassEphemeris& e : glonass) e.lastWrittenTb = kNothingWritten;
        for (auto& table : *gnss)
            for (GnssEphemeris& e : table) e.lastWrittenToc = kNothingWritten;
        return ComposeNavigationHeader3(clock.leapSeconds, first, buffer);
    }
    const HeaderTimes times{first, first == epochTime ? epochMillisecond_ : 0, platform::Now()};
    if (kind == 1) {
        // A new file receives every ephemeris again at its next broadcast.
        for (GpsEphemeris& e : gps) e.lastWrittenToc = kNothingWritten;
        return ComposeNavigationHeader(1, clock.leapSeconds, times, buffer);
    }
    if (kind == 2) {
        for (GlonassEphemeris& e : glonass) e.lastWrittenTb = kNothingWritten;
        return ComposeNavigationHeader(2, clock.leapSeconds, times, buffer);
    }
    if (columns.Count() == 0) BuildObsTypes();
    char name[32];
    std::snprintf(name, sizeof name, "%s", buffer);
    return ComposeObservationHeader(name, station, columns.Count(), columns.TypeText(),
                                    clock.leapSeconds, times, buffer);
}

}  // namespace corvane

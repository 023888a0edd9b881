// The RINEX 2.11 converter of one channel: finds the RTCM 3 frames of the
// stream, assembles the legacy GPS and GLONASS observations into epochs,
// keeps the station description and the ephemerides, and writes observation
// and navigation records through the channel's hourly RINEX files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "net/rinex_header_source.h"
#include "net/stream_decoder.h"
#include "rinex/gnss_ephemeris.h"
#include "rinex/navigation_records.h"
#include "rinex/observation_assembly.h"
#include "rinex/observation_columns.h"
#include "rinex/rinex3_navigation.h"
#include "rinex/rinex3_observations.h"
#include "rinex/rinex_headers.h"
#include "rinex/station_positions.h"

namespace corvane {

class NtripChannel;

class RTCM3Rinex : public StreamDecoder, public RinexHeaderSource {
public:
    // `startTime`: the converter's clock at construction, in seconds since
    // 1970 on the GPS scale (a recording's time). None: the computer's clock
    // taken as GPS time.
    // `rinexVersion`: 2 (RINEX 2.11, GPS, GLONASS and SBAS) or 3 (RINEX
    // 3.04, every constellation of MSM).
    explicit RTCM3Rinex(NtripChannel* channel,
                        std::optional<std::int64_t> startTime = std::nullopt,
                        int rinexVersion = 2);

    // Takes the next block of the stream; writes every epoch and ephemeris
    // it completes. Returns the number of bytes held for the next block.
    int Input(const std::uint8_t* data, int length) override;
    // Writes the epoch still pending: no later message will complete it.
    void Finish() override;

    // True when a CRC-valid frame lies at the start of the input buffer.
    bool FindFrame();
    // Decodes frames until one yields something to write: 0 no complete frame
    // left, 1 an epoch ready, 1019/1020 a new GPS/GLONASS ephemeris, or the
    // number of any other message decoded or skipped.
    int DecodeNext();

    int WriteHeader(int kind, char* buffer, std::int64_t first) override;
    int RinexVersion() const override { return version_; }

    // ---- State, readable for tests and tools. ----
    ConverterClock clock;
    StationInfo station;
    ObservationAssembly observations;
    ObservationColumns columns;
    std::int32_t epochCount = 0;    // ready epochs passed over: the first three, week 0
    std::uint32_t signalsSeen = 0;  // their signals, for the choice of columns
    std::int64_t epochTime = 0;     // the epoch being written, seconds since 1970 (GPS scale)
    int lastEphemeris = 0;          // index of the ephemeris decoded last
    GpsEphemeris gps[kGpsSatellites];
    GlonassEphemeris glonass[kGlonassSlots];
    // Galileo, BeiDou and QZSS, by EphemerisKind and satellite ID - 1.
    using GnssTables = GnssEphemeris[kEphemerisKinds][kEphemerisSatellites];
    std::unique_ptr<GnssTables> gnss{new GnssTables[1]};

private:
    bool Running() const;
    void DecodeStation(BitCursor& in, bool withHeight);
    void DecodeDescriptors(int messageNumber);
    void DecodeSystemParameters(BitCursor& in);
    // Fixes the columns from the signals seen so far and those of `ready`.
    void BuildObsTypes();
    void WriteEpoch();
    // The event record that goes before an epoch of `epochStation` when the
    // observations changed to another station, or when the position of the
    // station they changed to has been announced since; returns its length.
    int ComposeStationEvent(int epochStation, const platform::CalendarTime& calendar, char* out);
    void WriteNavigation(int kind);

    void WriteEpoch3();
    void WriteGnssNavigation();
    int lastGnssKind_ = 0, lastGnssIndex_ = 0;
    // GLONASS frequency channels by slot - 1 for the version 3 header.
    void GlonassChannels(int (&channels)[24]) const;
    int epochMillisecond_ = 0;  // the fraction of epochTime's second
    StationPositions stations_;
    int writtenStation_ = -1;    // station of the epochs written last, -1 before any
    bool positionOwed_ = false;  // an event named the station, its position still unknown

    NtripChannel* channel_;
    int version_;
    Rinex3Observations observations3_;
    static constexpr std::size_t kInputSize = 2048;
    std::uint8_t input_[kInputSize];
    std::size_t count_ = 0;      // bytes in input_
    std::size_t needed_ = 0;     // bytes to wait for before searching again
    bool frameHeld_ = false;     // a valid frame starts the buffer (handed to DecodeNext)
    std::size_t handedOut_ = 0;  // its payload length
    // An epoch record with the event record before it, or a navigation record.
    static constexpr std::size_t kEventSize = 3 * kHeaderLineSize;
    char text_[kEpochRecordTextSize + kEventSize > kNavigationRecordSize
                   ? kEpochRecordTextSize + kEventSize
                   : kNavigationRecordSize];
    char text3_[kNavigationRecord3Size];
};

}  // namespace corvane

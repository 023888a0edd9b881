// Assembly of epochs from the legacy RTCM 3 observation messages: GPS 1001
// to 1004 and GLONASS 1009 to 1012 fill the pending epoch; an epoch is handed
// to `ready` when a message with the synchronous flag 0 ends it or the first
// message of a later epoch arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "rinex/converter_clock.h"
#include "rinex/epoch_record.h"
#include "rinex/lock_time_table.h"
#include "rinex/msm_frame.h"
#include "rinex/signal_epoch.h"
#include "rinex/navigation_records.h"
#include "rtcm/bit_reader.h"

namespace corvane {

class ObservationAssembly {
public:
    // Decode one message whose cursor stands after the message number.
    // Both read and move the converter's clock. Return whether an epoch is
    // ready in `ready`.
    bool DecodeGps(BitCursor& in, int messageNumber, ConverterClock& clock);
    bool DecodeGlonass(BitCursor& in, int messageNumber, ConverterClock& clock);
    // An MSM message of any constellation (payload from the message number).
    // GPS, GLONASS and SBAS values go into the slots of `pending` for
    // satellites no legacy message brought in this epoch.
    bool DecodeMsm(const std::uint8_t* payload, std::size_t length, ConverterClock& clock);

    // Hands `pending` over to `ready` when it holds satellites (the stream
    // has ended); returns whether it did.
    bool HandOverPending();

    // The steps every observation message takes, whatever its family:
    // BeginMessage with the message's station and time, which hands
    // `pending` over when it belongs to another epoch (another time, or
    // another station) and stamps it with the message's; then the
    // satellites into `pending`; then Complete with the message's
    // synchronous flag, which says whether an epoch is ready.
    bool BeginMessage(int station, std::int32_t week, std::int32_t millisecondOfWeek);
    bool Complete(bool synchronous, bool handedOver);

    // Reference station ID of the last observation message, -1 before any.
    int Station() const { return station_; }

    // What the files need of MSM: the 2.11 slots of `pending`, the signal
    // epochs of RINEX 3, or (as made) both.
    bool fillSlots = true;
    bool fillSignals = true;

    EpochRecord pending;
    EpochRecord ready;
    // The same epochs by satellite and signal, from MSM of every
    // constellation (RINEX 3); handed over together with `ready`.
    std::unique_ptr<SignalEpochPair> signals = std::make_unique<SignalEpochPair>();

    // Last lock-time indicators per system (kGps, kGlonass), satellite ID
    // and band (0 L1, 1 L2).
    enum LockSystem { kGps, kGlonass };
    LockTimeTable locks;
    // Lock-time indicators of the last MSM cell, by constellation, satellite
    // ID - 1 and signal ID - 1.
    std::int16_t savedMsmLock[6][64][32] = {};
    // GLONASS frequency channel k by slot - 1, kUnknownChannel when not known:
    // from the latest 1020, and from the last MSM5/MSM7 extended information.
    static constexpr int kUnknownChannel = 99;
    int glonassChannelFromEphemeris[24];
    int glonassChannelFromMsm[24];
    ObservationAssembly();

private:
    struct Band;
    struct Satellite;
    // The satellites of a message into `pending`, then the lock tables.
    void DecodeSatellites(BitCursor& in, int messageNumber, int count);
    void Store(int index, const Satellite& s, bool gps);
    void StoreSignalCell(const MsmFrame& f, const MsmCell& cell, SignalSatellite* satellite,
                         int glonassChannel, bool lost);
    // The row of `pending` an MSM satellite's cells go to: -1 when it has
    // none (no 2.11 number, record full, or a legacy message brought it).
    int SlotRow(const MsmFrame& f, const MsmSatellite& satellite);
    MsmFrame msm_;  // the message being decoded

    int station_ = -1;
};

}  // namespace corvane

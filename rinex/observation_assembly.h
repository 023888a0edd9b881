// Assembly of epochs from the legacy RTCM 3 observation messages: GPS 1001
// to 1004 and GLONASS 1009 to 1012 fill the pending epoch; an epoch is handed
// to `ready` when a message with the synchronous flag 0 ends it or the first
// message of a later epoch arrives.
#pragma once

#include <cstdint>

#include "rinex/converter_clock.h"
#include "rinex/epoch_record.h"
#include "rinex/lock_time_table.h"
#include "rtcm/bit_reader.h"

namespace corvane {

class ObservationAssembly {
public:
    // Decode one message whose cursor stands after the message number.
    // Both read and move the converter's clock. Return whether an epoch is
    // ready in `ready`.
    bool DecodeGps(BitCursor& in, int messageNumber, ConverterClock& clock);
    bool DecodeGlonass(BitCursor& in, int messageNumber, ConverterClock& clock);

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

    EpochRecord pending;
    EpochRecord ready;

    // Last lock-time indicators per system (kGps, kGlonass), satellite ID
    // and band (0 L1, 1 L2).
    enum LockSystem { kGps, kGlonass };
    LockTimeTable locks;

private:
    struct Band;
    struct Satellite;
    // The satellites of a message into `pending`, then the lock tables.
    void DecodeSatellites(BitCursor& in, int messageNumber, int count);
    void Store(int index, const Satellite& s, bool gps);

    int station_ = -1;
};

}  // namespace corvane

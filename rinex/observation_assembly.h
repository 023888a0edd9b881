// Assembly of epochs from the legacy RTCM 3 observation messages: GPS 1001
// to 1004 and GLONASS 1009 to 1012 fill the pending epoch; an epoch is handed
// to `ready` when a message with the synchronous flag 0 ends it or the first
// message of a later epoch arrives.
#pragma once

#include <cstdint>

#include "rinex/epoch_record.h"
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

    // Hands `pending` over to `ready` when it holds satellites (the stream
    // has ended); returns whether it did.
    bool HandOverPending();

    EpochRecord pending;
    EpochRecord ready;

    // Lock-time indicators of the last message of each kind, by the 6-bit
    // satellite ID as received.
    enum LockTable { kGpsL1, kGpsL2, kGlonassL1, kGlonassL2 };
    std::int32_t savedLock[4][64] = {};

private:
    struct Band;
    struct Satellite;
    // Hands `pending` over when its time differs from the clock; returns
    // whether it did. Then stamps `pending` with the clock.
    bool ChangeEpoch(const ConverterClock& clock);
    bool Complete(bool synchronous, bool handedOver);
    // The satellites of a message into `pending`, then the lock tables.
    void DecodeSatellites(BitCursor& in, int messageNumber, int count);
    void Store(int index, const Satellite& s, bool gps);
};

}  // namespace corvane

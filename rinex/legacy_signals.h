// The satellites of legacy GPS and GLONASS messages (1001 to 1004, 1009 to
// 1012) in an epoch's signal form, for RINEX 3 files: their slots under the
// signal codes the messages name.
#pragma once

#include "rinex/epoch_record.h"
#include "rinex/signal_epoch.h"

namespace corvane {

// Adds every satellite of `epoch` whose values came from a legacy message to
// `out`, replacing what MSM brought for it.
void AddLegacySignals(const EpochRecord& epoch, SignalEpoch& out);

}  // namespace corvane

// What a channel takes from the application: the caster slots, the output
// folder, the serial line settings, its time constants and the factory of
// its decoders.
#pragma once

#include <functional>
#include <string>

#include "net/caster_entry.h"
#include "net/net_timeouts.h"

namespace corvane {

class ChannelOutputFactory;

// Row indices into the serial parameter tables (settings "baud", "data",
// "parity", "stop").
struct SerialSettings {
    int baud = 1;
    int data = 0;
    int parity = 0;
    int stop = 0;
};

// The time constants of a channel. The defaults are the values in use;
// tests run them short.
struct ChannelTiming {
    int connectWaits = socket_options::kConnectWaits;  // waits of connectWaitMs
    int connectWaitMs = socket_options::kConnectWaitMs;
    int replyTimeoutMs = socket_options::kReplyReceiveTimeoutMs;
    int dataTimeoutMs = socket_options::kDataReceiveTimeoutMs;
    int dataFailures = 9;  // consecutive failed receives that end a stream
    int pauseSteps = 10;   // pause between attempts: steps of pauseStepMs
    int pauseStepMs = 1000;
    int bitRatePeriodMs = 4000;  // shortest period between bit-rate updates
    int relayWaitMs = 1000;      // relay thread: wait for a client per pass
    int relaySleepMs = 10;       // relay thread: sleep per pass
};

struct MountpointEntry;

// The outputs of a channel that can fail to open, for OutputFailed.
enum class ChannelOutput { Raw, Text, Rinex, Relay, Thread };

struct ChannelContext {
    const CasterEntry* casters = nullptr;  // the kCasterSlots slots
    std::string outputDir;                 // folder of the raw, text and RINEX files
    SerialSettings serial;
    ChannelTiming timing;
    const ChannelOutputFactory* outputs = nullptr;  // none: no decoders, no converter
    // Receive buffer of the caster connection; 0 leaves the system's own,
    // auto-tuned size (a small fixed buffer caps a stream's rate).
    int receiveBufferBytes = 0;
    // Told, once per output and run, when an output cannot be opened: what
    // (a file path or "port N") and the system's reason. Called on the
    // channel's threads; none: failures stay silent.
    std::function<void(const MountpointEntry& entry, ChannelOutput output, const std::string& what,
                       const std::string& reason)>
        outputFailed;
};

}  // namespace corvane

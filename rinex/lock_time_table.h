// The lock-time indicators last received per satellite and signal: a carrier
// whose indicator went down (or is 0) since the satellite's last observation
// has lost lock. Each entry changes only with an observation of its own
// satellite and signal, so a satellite missing from a message (an epoch sent
// in several messages, or a satellite that drops out and returns) is still
// compared with its own last indicator.
#pragma once

#include <cstdint>

namespace corvane {

class LockTimeTable {
public:
    static constexpr int kSystems = 8;
    static constexpr int kSatellites = 64;  // by satellite ID as received
    static constexpr int kSignals = 4;

    // Records `indicator` of (system, id, signal) observed at `timeMs`
    // (milliseconds since the GPS epoch) and returns whether the carrier
    // lost lock: the indicator is 0 or below the last one. A last indicator
    // older than `spanMs` (what the indicator can tell) counts as none.
    bool Slipped(int system, int id, int signal, int indicator, std::int64_t timeMs,
                 std::int64_t spanMs) {
        if (system < 0 || system >= kSystems || id < 0 || id >= kSatellites || signal < 0 ||
            signal >= kSignals)
            return indicator == 0;
        Entry& e = entries_[system][id][signal];
        bool slipped = indicator == 0 || e.restart;
        const std::int64_t gap = timeMs - e.timeMs;
        if (e.known && gap >= 0 && gap <= spanMs && indicator < e.indicator) slipped = true;
        e = Entry{indicator, timeMs, true, false};
        return slipped;
    }

    // The next observation of every satellite and signal counts as a loss
    // of lock (the reference station changed).
    void RestartAll() {
        for (auto& system : entries_)
            for (auto& satellite : system)
                for (Entry& e : satellite) e = Entry{0, 0, false, true};
    }

private:
    struct Entry {
        std::int32_t indicator = 0;
        std::int64_t timeMs = 0;
        bool known = false;
        bool restart = false;
    };
    Entry entries_[kSystems][kSatellites][kSignals];
};

}  // namespace corvane

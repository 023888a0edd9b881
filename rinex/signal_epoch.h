// One epoch of MSM observations kept per satellite and signal, as RINEX 3
// writes them: code (m), phase (cycles), Doppler (Hz) and strength (dB-Hz)
// of every signal, with its loss-of-lock indicator.
#pragma once

#include <cstdint>

namespace corvane {

constexpr int kSignalEpochSatellites = 128;
constexpr int kSatelliteSignals = 12;  // signals kept per satellite

enum SignalObservable : int { kObsCode, kObsPhase, kObsDoppler, kObsStrength, kObservables };

struct SignalCell {
    int signal = 0;    // MSM signal ID, 1 to 32
    std::uint8_t present = 0;  // bit 1 << SignalObservable per value held
    // The observables the message kind carries, present or not: a GLONASS
    // phase still waiting for its frequency channel gets its type all the same.
    std::uint8_t offered = 0;
    std::uint8_t lli = 0;      // RINEX loss-of-lock indicator of the phase
    double value[kObservables] = {};
};

struct SignalSatellite {
    int system = 0;  // MsmSystem
    int id = 0;      // satellite ID within the constellation (mask position)
    int cellCount = 0;
    SignalCell cells[kSatelliteSignals];

    // The cell of `signal`, appended when absent; null when full.
    SignalCell* Cell(int signal) {
        for (int c = 0; c < cellCount; ++c)
            if (cells[c].signal == signal) return &cells[c];
        if (cellCount == kSatelliteSignals) return nullptr;
        SignalCell& cell = cells[cellCount++];
        cell = SignalCell{};
        cell.signal = signal;
        return &cell;
    }
};

struct SignalEpoch {
    int satelliteCount = 0;
    SignalSatellite satellites[kSignalEpochSatellites];

    // The satellite, appended (empty) when absent; null when full.
    SignalSatellite* Satellite(int system, int id) {
        for (int i = 0; i < satelliteCount; ++i)
            if (satellites[i].system == system && satellites[i].id == id) return &satellites[i];
        if (satelliteCount == kSignalEpochSatellites) return nullptr;
        SignalSatellite& s = satellites[satelliteCount++];
        s.system = system;
        s.id = id;
        s.cellCount = 0;
        return &s;
    }
};

// The pending and the ready signal epoch; handing over swaps them, so no
// epoch is copied.
class SignalEpochPair {
public:
    SignalEpoch& Pending() { return epochs_[pending_]; }
    const SignalEpoch& Ready() const { return epochs_[pending_ ^ 1]; }
    // The ready epoch may take more satellites until the next handover.
    SignalEpoch& Ready() { return epochs_[pending_ ^ 1]; }
    void HandOver() {
        pending_ ^= 1;
        epochs_[pending_].satelliteCount = 0;
    }

private:
    SignalEpoch epochs_[2];
    int pending_ = 0;
};

}  // namespace corvane

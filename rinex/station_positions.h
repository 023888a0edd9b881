// The antenna positions of the reference stations a stream has announced
// (1005/1006), by station ID: when the observations change to another
// station, its position is at hand.
#pragma once

#include <cstdint>

namespace corvane {

class StationPositions {
public:
    struct Position {
        std::int64_t x = 0, y = 0, z = 0;  // ECEF, 0.0001 m
        std::uint64_t antennaHeight = 0;   // 0.0001 m
        bool withHeight = false;           // a 1006 gave the height
    };

    // The position of `station`, or nullptr when none was announced.
    const Position* Find(int station) const {
        for (const Entry& e : entries_)
            if (e.used && e.station == station) return &e.position;
        return nullptr;
    }

    // Keeps a station's position; the height stays when `withHeight` is
    // false (1005). Beyond kStations stations the oldest is forgotten.
    void Store(int station, std::int64_t x, std::int64_t y, std::int64_t z, bool withHeight,
               std::uint64_t height) {
        Entry* slot = nullptr;
        for (Entry& e : entries_)
            if (e.used && e.station == station) slot = &e;
        if (!slot) {
            slot = &entries_[next_];
            next_ = (next_ + 1) % kStations;
            *slot = Entry{};
        }
        slot->used = true;
        slot->station = station;
        slot->position.x = x;
        slot->position.y = y;
        slot->position.z = z;
        if (withHeight) {
            slot->position.antennaHeight = height;
            slot->position.withHeight = true;
        }
    }

private:
    static constexpr int kStations = 16;
    struct Entry {
        bool used = false;
        int station = 0;
        Position position;
    };
    Entry entries_[kStations];
    int next_ = 0;
};

}  // namespace corvane

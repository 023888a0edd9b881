// What writes the headers of the RINEX files a channel opens: the channel
// opens the observation, GPS and GLONASS navigation files together and starts
// each with the header its converter formats.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// Size of the buffer WriteHeader formats into.
constexpr std::size_t kRinexHeaderBufferSize = 4096;

class RinexHeaderSource {
public:
    virtual ~RinexHeaderSource() = default;
    // Formats the header of file kind 0 (observation), 1 (GPS navigation)
    // or 2 (GLONASS navigation) into `buffer` and returns its length. For
    // kind 0 the buffer holds the mountpoint name on entry. `first`: the
    // time of the file's first text (seconds since 1970, GPS scale).
    virtual int WriteHeader(int kind, char* buffer, std::int64_t first) = 0;
    // 2: observation ".o", GPS ".n" and GLONASS ".g" files; 3: one mixed
    // observation file "_MO.rnx" (kind 0) and one mixed navigation file
    // "_MN.rnx" (kind 1).
    virtual int RinexVersion() const { return 2; }
};

}  // namespace corvane

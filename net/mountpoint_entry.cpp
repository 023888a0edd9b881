#include "net/mountpoint_entry.h"

namespace corvane {

const char* OutputLetters(std::uint8_t outputs) {
    static const char* const letters[8] = {"", "B", "D", "BD", "R", "BR", "DR", "BDR"};
    return letters[outputs & 7];
}

std::array<std::uint8_t, 4> MountpointSettings::ToBytes() const {
    return {static_cast<std::uint8_t>(tcpPort & 0xFF), static_cast<std::uint8_t>(tcpPort >> 8),
            static_cast<std::uint8_t>(comPort), outputs};
}

MountpointSettings MountpointSettings::FromBytes(const std::uint8_t bytes[4]) {
    MountpointSettings s;
    s.tcpPort = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    s.comPort = static_cast<std::int8_t>(bytes[2]);
    s.outputs = bytes[3];
    return s;
}

}  // namespace corvane

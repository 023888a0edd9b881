// Serial ports: which ones are present, opening one for writing, its line
// settings, writing, discarding and closing. Ports are numbered 1 to 31 (the
// number shown as "COM%d"); each system maps a number to its device.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::platform {

using SerialHandle = std::intptr_t;
inline constexpr SerialHandle kInvalidSerial = -1;

inline constexpr int kMaxSerialPortNumber = 31;

// Parity and stop-bit codes, numbered as the Windows line settings number them.
enum class SerialParity { None = 0, Odd = 1, Even = 2 };
enum class SerialStopBits { One = 0, Two = 2 };

struct SerialLine {
    int baud = 9600;  // bits per second
    int dataBits = 8;
    SerialParity parity = SerialParity::None;
    SerialStopBits stopBits = SerialStopBits::One;
    bool operator==(const SerialLine&) const = default;
};

// The ports present: bit (n AND 31) is set for every port number n that has
// a device (an override counts as present).
std::uint32_t SerialPortMask();
// The device of port `number`, or "" when there is none.
std::string SerialDevicePath(int number);
// Maps a port number to a device path ahead of what the system lists; an
// empty path removes the mapping. For tests and the command-line front end.
void SetSerialDeviceOverride(int number, const std::string& path);
void ClearSerialDeviceOverrides();

// Opens an existing port for writing only, not shared with other programs,
// with an output queue of `outputQueueBytes` where the system has one.
// kInvalidSerial when the port is missing or busy.
SerialHandle OpenSerialPort(int number, int outputQueueBytes);
// Discards the pending output and input.
void PurgeSerial(SerialHandle h);
// The line settings of the port; false when they cannot be read.
bool ReadSerialLine(SerialHandle h, SerialLine* line);
// Sets baud rate, data bits, parity and stop bits and leaves the port
// passing bytes unchanged; false when the settings are refused.
bool WriteSerialLine(SerialHandle h, const SerialLine& line);
// Writes the whole block, waiting while the port drains. False when the
// write fails or the port takes no byte for `stallMs` milliseconds.
bool WriteSerial(SerialHandle h, const void* data, int length, int stallMs);
void CloseSerial(SerialHandle h);

}  // namespace corvane::platform

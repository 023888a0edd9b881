// The parts of the POSIX serial ports that can be tested without a device:
// the translation between line settings and termios, and the discovery of
// the serial devices in the kernel's tty class folder.
#pragma once

#include <termios.h>

#include <string>
#include <vector>

#include "platform/serial.h"

namespace corvane::platform {

// Sets the four line settings in `t` and makes the line pass bytes unchanged
// (no input or output processing, no echo, receiver off the controlling
// terminal). False when the baud rate or data bits have no termios value.
bool EncodeSerialLine(const SerialLine& line, termios* t);
// The four line settings held in `t` (baud 0 when the speed is not one of
// the standard rates).
SerialLine DecodeSerialLine(const termios& t);

// The serial devices listed in `ttyClassFolder` (/sys/class/tty) in port
// number order: USB serial adapters (ttyUSB), USB modems (ttyACM), then
// on-board UARTs (ttyS) that have hardware behind them, each group by its
// device number; as paths below /dev.
std::vector<std::string> DiscoverSerialDevices(const std::string& ttyClassFolder);

}  // namespace corvane::platform

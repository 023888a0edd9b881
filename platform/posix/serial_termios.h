// Translation between the system-neutral serial line settings and termios,
// kept apart so that it can be tested without a device.
#pragma once

#include <termios.h>

#include "platform/serial.h"

namespace corvane::platform {

// Sets the four line settings in `t` and makes the line pass bytes unchanged
// (no input or output processing, no echo, receiver off the controlling
// terminal). False when the baud rate or data bits have no termios value.
bool EncodeSerialLine(const SerialLine& line, termios* t);
// The four line settings held in `t` (baud 0 when the speed is not one of
// the standard rates).
SerialLine DecodeSerialLine(const termios& t);

}  // namespace corvane::platform

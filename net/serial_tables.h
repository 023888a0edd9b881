// The four serial parameter tables that the options offer and the settings
// index ("baud", "data", "parity", "stop"), the label of a port number, and
// the discovery of the ports present.
#pragma once

#include <cstdint>
#include <string>

#include "net/channel_context.h"
#include "platform/serial.h"

namespace corvane {

struct SerialBaudRow {
    const wchar_t* label;
    int baud;
};
struct SerialDataBitsRow {
    const wchar_t* label;
    int dataBits;
};
struct SerialParityRow {
    const wchar_t* label;
    platform::SerialParity parity;
};
struct SerialStopBitsRow {
    const wchar_t* label;
    platform::SerialStopBits stopBits;
};

inline constexpr SerialBaudRow kSerialBaudTable[] = {
    {L"4800", 4800}, {L"9600", 9600}, {L"19200", 19200}, {L"38400", 38400}, {L"115200", 115200}};
inline constexpr SerialDataBitsRow kSerialDataBitsTable[] = {
    {L"8", 8}, {L"7", 7}, {L"6", 6}, {L"5", 5}};
// The table's order (none, even, odd) differs from the codes' order.
inline constexpr SerialParityRow kSerialParityTable[] = {{L"None", platform::SerialParity::None},
                                                         {L"Even", platform::SerialParity::Even},
                                                         {L"Odd", platform::SerialParity::Odd}};
inline constexpr SerialStopBitsRow kSerialStopBitsTable[] = {{L"1", platform::SerialStopBits::One},
                                                             {L"2", platform::SerialStopBits::Two}};

// Default row indices of the settings.
inline constexpr SerialSettings kDefaultSerialSettings{};

// The line settings that the row indices select. An index outside its table
// (only an edited settings store has one) takes the table's default row.
platform::SerialLine SerialLineFromSettings(const SerialSettings& settings);

// "COM%d" for a port number.
std::string SerialPortLabel(int number);

// The serial ports present: bit (n AND 31) set for every port number n.
std::uint32_t EnumerateSerialPorts();

}  // namespace corvane

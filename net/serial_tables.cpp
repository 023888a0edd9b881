#include "net/serial_tables.h"

#include <cstdio>
#include <iterator>

namespace corvane {
namespace {

template <typename Table>
const auto& Row(const Table& table, int index, int defaultIndex) {
    const int rows = static_cast<int>(std::size(table));
    return table[index >= 0 && index < rows ? index : defaultIndex];
}

}  // namespace

platform::SerialLine SerialLineFromSettings(const SerialSettings& s) {
    const SerialSettings d = kDefaultSerialSettings;
    platform::SerialLine line;
    line.baud = Row(kSerialBaudTable, s.baud, d.baud).baud;
    line.dataBits = Row(kSerialDataBitsTable, s.data, d.data).dataBits;
    line.parity = Row(kSerialParityTable, s.parity, d.parity).parity;
    line.stopBits = Row(kSerialStopBitsTable, s.stop, d.stop).stopBits;
    return line;
}

std::string SerialPortLabel(int number) {
    char label[16];
    std::snprintf(label, sizeof label, "COM%d", number);
    return label;
}

std::uint32_t EnumerateSerialPorts() { return platform::SerialPortMask(); }

}  // namespace corvane

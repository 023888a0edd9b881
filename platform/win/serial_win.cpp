// Serial ports on Windows: port n is the device COMn; the ports present are
// the values of the registry key that lists them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/serial.h"

namespace corvane::platform {
namespace {

std::mutex overridesMutex;
std::map<int, std::string>& Overrides() {
    static std::map<int, std::string> overrides;
    return overrides;
}

HANDLE H(SerialHandle h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

std::uint32_t SerialPortMask() {
    std::uint32_t mask = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            char name[256];
            DWORD nameLength = sizeof name;
            char data[64] = {};
            DWORD dataLength = sizeof data - 1;
            DWORD type = 0;
            if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                              reinterpret_cast<BYTE*>(data), &dataLength) != ERROR_SUCCESS)
                break;
            // The data is a text such as "COM3": the number from its fourth character.
            if (dataLength >= 4) mask |= std::uint32_t{1} << (std::atoi(data + 3) & 31);
        }
        RegCloseKey(key);
    }
    std::lock_guard lock(overridesMutex);
    for (const auto& [number, path] : Overrides()) mask |= std::uint32_t{1} << (number & 31);
    return mask;
}

std::string SerialDevicePath(int number) {
    {
        std::lock_guard lock(overridesMutex);
        auto it = Overrides().find(number);
        if (it != Overrides().end()) return it->second;
    }
    if (number < 1 || number > kMaxSerialPortNumber) return {};
    char path[32];
    std::snprintf(path, sizeof path, "\\\\.\\COM%d", number);
    return path;
}

void SetSerialDeviceOverride(int number, const std::string& path) {
    std::lock_guard lock(overridesMutex);
    if (path.empty()) {
        Overrides().erase(number);
    } else {
        Overrides()[number] = path;
    }
}

void ClearSerialDeviceOverrides() {
    std::lock_guard lock(overridesMutex);
    Overrides().clear();
}

SerialHandle OpenSerialPort(int number, int outputQueueBytes) {
    const std::string path = SerialDevicePath(number);
    if (path.empty()) return kInvalidSerial;
    // Opened for reading too: only written to, but Wine refuses the line
    // settings of a port opened for writing alone.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return kInvalidSerial;
    SetupComm(h, 0, static_cast<DWORD>(outputQueueBytes));
    PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    return reinterpret_cast<SerialHandle>(h);
}

void PurgeSerial(SerialHandle h) {
    PurgeComm(H(h), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

bool ReadSerialLine(SerialHandle h, SerialLine* line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(H(h), &dcb)) return false;
    line->baud = static_cast<int>(dcb.BaudRate);
    line->dataBits = dcb.ByteSize;
    line->parity = static_cast<SerialParity>(dcb.Parity);
    line->stopBits = static_cast<SerialStopBits>(dcb.StopBits);
    return true;
}

bool WriteSerialLine(SerialHandle h, const SerialLine& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(H(h), &dcb)) return false;
    // Every other line setting stays as the device had it.
    dcb.BaudRate = static_cast<DWORD>(line.baud);
    dcb.ByteSize = static_cast<BYTE>(line.dataBits);
    dcb.Parity = static_cast<BYTE>(line.parity);
    dcb.StopBits = static_cast<BYTE>(line.stopBits);
    return SetCommState(H(h), &dcb) != 0;
}

bool WriteSerial(SerialHandle h, const void* data, int length, int stallMs) {
    // The write may take the time the line needs for the block plus the
    // stall allowance, and no longer: a stuck device must not hold the
    // channel (and Stop, which waits for it). Ten bits a byte, rounded up.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    const DWORD baud = GetCommState(H(h), &dcb) && dcb.BaudRate > 0 ? dcb.BaudRate : 9600;
    COMMTIMEOUTS t{};
    t.WriteTotalTimeoutMultiplier = (10000 + baud - 1) / baud;
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(stallMs);
    if (!SetCommTimeouts(H(h), &t)) return false;
    // A write fails when the call fails or, where the system counts the
    // bytes, when it ran out of time before the whole block went (Wine
    // reports no byte count for a pseudo-terminal behind a COM port).
    DWORD written = 0;
    if (!WriteFile(H(h), data, static_cast<DWORD>(length), &written, nullptr)) return false;
    return written == 0 || written == static_cast<DWORD>(length);
}

void CloseSerial(SerialHandle h) {
    if (h != kInvalidSerial) CloseHandle(H(h));
}

}  // namespace corvane::platform

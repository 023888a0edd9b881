#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/posix/serial_posix.h"
#include "platform/serial.h"

namespace corvane::platform {
namespace {

struct BaudCode {
    int baud;
    speed_t code;
};
constexpr BaudCode kBauds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},
                               {9600, B9600},     {19200, B19200},   {38400, B38400},
                               {57600, B57600},   {115200, B115200}, {230400, B230400},
                               {460800, B460800}, {921600, B921600}};

std::mutex overridesMutex;
std::map<int, std::string>& Overrides() {
    static std::map<int, std::string> overrides;
    return overrides;
}

std::string ReadSmallFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char buf[64];
    const ssize_t n = read(fd, buf, sizeof buf - 1);
    close(fd);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string{};
}

// A ttyS device is listed only when a UART was found behind it: the kernel
// creates ttyS0 to ttyS3 placeholders whose port type is 0 (unknown).
bool HasSerialHardware(const std::string& classFolder, const std::string& name) {
    const std::string base = classFolder + "/" + name;
    struct stat st {};
    if (stat((base + "/device").c_str(), &st) != 0) return false;
    const std::string type = ReadSmallFile(base + "/type");
    return !type.empty() && std::atoi(type.c_str()) != 0;
}

int Fd(SerialHandle h) { return static_cast<int>(h); }

constexpr char kTtyClassFolder[] = "/sys/class/tty";

}  // namespace

std::vector<std::string> DiscoverSerialDevices(const std::string& ttyClassFolder) {
    static const char* const kGroups[] = {"ttyUSB", "ttyACM", "ttyS"};
    std::vector<std::pair<int, std::string>> found[3];
    if (DIR* dir = opendir(ttyClassFolder.c_str())) {
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            for (int g = 0; g < 3; ++g) {
                const std::size_t prefix = std::strlen(kGroups[g]);
                if (name.size() <= prefix || name.compare(0, prefix, kGroups[g]) != 0) continue;
                const std::string digits = name.substr(prefix);
                if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
                if (g == 2 && !HasSerialHardware(ttyClassFolder, name)) continue;
                found[g].emplace_back(std::atoi(digits.c_str()), name);
            }
        }
        closedir(dir);
    }
    std::vector<std::string> devices;
    for (auto& group : found) {
        std::sort(group.begin(), group.end());
        for (auto& [number, name] : group) devices.push_back("/dev/" + name);
    }
    return devices;
}

bool EncodeSerialLine(const SerialLine& line, termios* t) {
    const BaudCode* baud = std::find_if(std::begin(kBauds), std::end(kBauds),
                                        [&](const BaudCode& b) { return b.baud == line.baud; });
    if (baud == std::end(kBauds)) return false;
    tcflag_t size;
    switch (line.dataBits) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return false;
    }
    cfmakeraw(t);
    t->c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    t->c_cflag |= size | CLOCAL | CREAD;
    if (line.parity == SerialParity::Even) t->c_cflag |= PARENB;
    if (line.parity == SerialParity::Odd) t->c_cflag |= PARENB | PARODD;
    if (line.stopBits == SerialStopBits::Two) t->c_cflag |= CSTOPB;
    cfsetispeed(t, baud->code);
    cfsetospeed(t, baud->code);
    return true;
}

SerialLine DecodeSerialLine(const termios& t) {
    SerialLine line;
    const speed_t speed = cfgetospeed(&t);
    line.baud = 0;
    for (const BaudCode& b : kBauds)
        if (b.code == speed) line.baud = b.baud;
    switch (t.c_cflag & CSIZE) {
        case CS5:
            line.dataBits = 5;
            break;
        case CS6:
            line.dataBits = 6;
            break;
        case CS7:
            line.dataBits = 7;
            break;
        default:
            line.dataBits = 8;
            break;
    }
    line.parity = !(t.c_cflag & PARENB)  ? SerialParity::None
                  : (t.c_cflag & PARODD) ? SerialParity::Odd
                                         : SerialParity::Even;
    line.stopBits = (t.c_cflag & CSTOPB) ? SerialStopBits::Two : SerialStopBits::One;
    return line;
}

std::uint32_t SerialPortMask() {
    std::uint32_t mask = 0;
    const std::vector<std::string> devices = DiscoverSerialDevices(kTtyClassFolder);
    for (std::size_t i = 0; i < devices.size() && i < kMaxSerialPortNumber; ++i)
        mask |= 1u << ((i + 1) & 31);
    std::lock_guard lock(overridesMutex);
    for (const auto& [number, path] : Overrides()) mask |= 1u << (number & 31);
    return mask;
}

std::string SerialDevicePath(int number) {
    if (number < 1 || number > kMaxSerialPortNumber) return {};
    {
        std::lock_guard lock(overridesMutex);
        auto it = Overrides().find(number);
        if (it != Overrides().end()) return it->second;
    }
    const std::vector<std::string> devices = DiscoverSerialDevices(kTtyClassFolder);
    const std::size_t index = static_cast<std::size_t>(number - 1);
    return index < devices.size() ? devices[index] : std::string{};
}

void SetSerialDeviceOverride(int number, const std::string& path) {
    std::lock_guard lock(overridesMutex);
    if (path.empty())
        Overrides().erase(number);
    else
        Overrides()[number] = path;
}

void ClearSerialDeviceOverrides() {
    std::lock_guard lock(overridesMutex);
    Overrides().clear();
}

SerialHandle OpenSerialPort(int number, int /*outputQueueBytes: the tty driver sizes its own*/) {
    const std::string path = SerialDevicePath(number);
    if (path.empty()) return kInvalidSerial;
    // Non-blocking so that the open does not wait for modem lines; writes
    // wait through poll instead.
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kInvalidSerial;
    // Not shared: refuse a port another program holds, and keep others out.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return kInvalidSerial;
    }
    ioctl(fd, TIOCEXCL);
    return SerialHandle{fd};
}

void PurgeSerial(SerialHandle h) {
    if (h != kInvalidSerial) tcflush(Fd(h), TCIOFLUSH);
}

bool ReadSerialLine(SerialHandle h, SerialLine* line) {
    termios t{};
    if (h == kInvalidSerial || tcgetattr(Fd(h), &t) != 0) return false;
    *line = DecodeSerialLine(t);
    return true;
}

bool WriteSerialLine(SerialHandle h, const SerialLine& line) {
    termios t{};
    if (h == kInvalidSerial || tcgetattr(Fd(h), &t) != 0) return false;
    if (!EncodeSerialLine(line, &t)) return false;
    return tcsetattr(Fd(h), TCSANOW, &t) == 0;
}

bool WriteSerial(SerialHandle h, const void* data, int length, int stallMs) {
    if (h == kInvalidSerial) return false;
    const char* p = static_cast<const char*>(data);
    std::size_t left = length > 0 ? static_cast<std::size_t>(length) : 0;
    while (left > 0) {
        const ssize_t n = write(Fd(h), p, left);
        if (n > 0) {
            p += n;
            left -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        pollfd w{Fd(h), POLLOUT, 0};
        int r;
        do {
            r = poll(&w, 1, stallMs);
        } while (r < 0 && errno == EINTR);
        if (r <= 0 || (w.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
    }
    return true;
}

void CloseSerial(SerialHandle h) {
    if (h != kInvalidSerial) close(Fd(h));
}

}  // namespace corvane::platform

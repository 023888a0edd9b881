#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <string>

#include "platform/file.h"

namespace corvane::platform {

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t length,
                         unsigned mode) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
    const std::string temp = path + ".tmp";
    // Never blocks on a FIFO left at the temporary name, never writes a device.
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, mode);
    if (fd < 0) return false;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    fchmod(fd, mode);
    const char* p = static_cast<const char*>(data);
    std::size_t left = length;
    bool ok = true;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace corvane::platform

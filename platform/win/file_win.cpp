#include <windows.h>

#include <cstdio>
#include <string>

#include <filesystem>
#include <system_error>

#include "platform/file.h"

namespace corvane::platform {

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t length,
                         unsigned /*mode: Windows files carry no permission bits here*/) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(path), ec) && !IsRegularFile(path))
        return false;  // a device or pipe, never written over
    const std::string temp = path + ".tmp";
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const char* p = static_cast<const char*>(data);
    std::size_t left = length;
    bool ok = true;
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
            ok = false;
            break;
        }
        p += written;
        left -= written;
    }
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    if (!ok || !MoveFileExA(temp.c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace corvane::platform

#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/paths.h"

namespace corvane::platform {
namespace {

std::FILE* F(void* h) { return static_cast<std::FILE*>(h); }

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos || slash == 0) return {};
    return path.substr(0, slash);
}

}  // namespace

OutputFile::~OutputFile() { Close(); }

OutputFile::OutputFile(OutputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      openError_(other.openError_),
      buffer_(std::move(other.buffer_)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        openError_ = other.openError_;
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

bool OutputFile::Open(const std::string& path, FileMode mode) {
    Close();
    if (path.empty() || path.size() > MaxPathLength()) {
        openError_ = ENAMETOOLONG;
        return false;
    }
    const char* m = mode == FileMode::WriteText ? "w" : "wb";
    handle_ = std::fopen(path.c_str(), m);
    openError_ = handle_ ? 0 : errno;
    if (!handle_) {
        const std::string folder = ParentFolder(path);
        if (!folder.empty() && CreateDirectories(folder)) {
            handle_ = std::fopen(path.c_str(), m);
            openError_ = handle_ ? 0 : errno;
        }
    }
    return handle_ != nullptr;
}

std::string OutputFile::OpenErrorText() const { return std::strerror(openError_); }

void OutputFile::Close() {
    if (handle_) std::fclose(F(handle_));
    handle_ = nullptr;
    buffer_.reset();  // only after the runtime is done with it
}

void OutputFile::UseBuffer(std::size_t size) {
    if (!handle_ || size == 0) return;
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    if (std::setvbuf(F(handle_), buffer.get(), _IOFBF, size) == 0) buffer_ = std::move(buffer);
}

bool OutputFile::Write(const void* data, std::size_t length) {
    if (!handle_) return false;
    return std::fwrite(data, 1, length, F(handle_)) == length;
}

void OutputFile::Flush() {
    if (handle_) std::fflush(F(handle_));
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    if (!IsRegularFile(path)) return false;  // a FIFO would block the open
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out->clear();
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace corvane::platform

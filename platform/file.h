// A buffered output file in text or binary mode. Text mode writes the
// system's line ends (LF on Linux, CR LF on Windows).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace corvane::platform {

enum class FileMode { WriteText, WriteBinary };

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;

    // Creates or empties the file. Creates the folder (and its parents) when
    // missing. A path longer than the system's limit is refused. Closes the
    // file that was open first.
    bool Open(const std::string& path, FileMode mode);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // The system's reason why the last Open failed.
    std::string OpenErrorText() const;
    // Appends through the runtime's buffer. False when the write failed.
    bool Write(const void* data, std::size_t length);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    void Flush();
    // Gives the open file a buffer of `size` bytes instead of the runtime's
    // own. Call after Open and before the first write; Close drops it.
    void UseBuffer(std::size_t size);

private:
    void* handle_ = nullptr;  // the runtime's FILE
    int openError_ = 0;       // errno of the last failed Open
    std::unique_ptr<char[]> buffer_;
};

// True when `path` names a regular file (not a folder, FIFO or device).
bool IsRegularFile(const std::string& path);

// Reads a whole file; false when it cannot be read or is no regular file.
bool ReadWholeFile(const std::string& path, std::string* out);

// Writes `data` to `path` through a temporary file in the same folder and an
// atomic rename, so that a crash never leaves a truncated file. `mode` is the
// permission of a newly created file (ignored where the system has none).
// False, at once, when `path` exists and is no regular file.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t length,
                         unsigned mode = 0644);

}  // namespace corvane::platform

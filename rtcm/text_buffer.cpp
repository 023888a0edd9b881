#include "rtcm/text_buffer.h"

#include <algorithm>
#include <cstring>

namespace corvane {

void TextBuffer::Flush() {
    if (size_ > 0) file_.Write(data_, size_);
    size_ = 0;
}

TextBuffer& TextBuffer::LongText(std::string_view text) {
    if (text.size() > kCapacity) {
        Flush();
        file_.Write(text.data(), text.size());
        return *this;
    }
    std::memcpy(Room(text.size()), text.data(), text.size());
    size_ += text.size();
    return *this;
}

TextBuffer& TextBuffer::LongBlanks(int count) {
    while (count > 0) {
        const auto n = std::min<std::size_t>(static_cast<std::size_t>(count), kCapacity);
        std::memset(Room(n), ' ', n);
        size_ += n;
        count -= static_cast<int>(n);
    }
    return *this;
}

TextBuffer& TextBuffer::LongInt(std::int64_t value, int width) {
    // Digits from the right, from the magnitude in unsigned form (the lowest
    // value has no positive counterpart), then the sign and the blanks.
    char* const out = Room(static_cast<std::size_t>(std::max(width, 20)));
    auto magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    int length = value < 0 ? 2 : 1;
    for (std::uint64_t limit = 10; magnitude >= limit && length < 20; limit *= 10) ++length;
    char* const end = out + std::max(width, length);
    char* at = end;
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--at = '-';
    while (at > out) *--at = ' ';
    size_ += static_cast<std::size_t>(end - out);
    return *this;
}

TextBuffer& TextBuffer::ZeroPadded(std::int64_t value, int width) {
    char* at = Room(std::max(static_cast<std::size_t>(std::max(width, 0)), std::size_t{20}));
    const std::size_t start = size_;
    Int(value, 0);
    // The zeros go between the sign and the digits.
    const std::size_t length = size_ - start;
    if (width > 0 && length < static_cast<std::size_t>(width)) {
        const std::size_t zeros = static_cast<std::size_t>(width) - length;
        const std::size_t sign = at[0] == '-' ? 1 : 0;
        std::memmove(at + sign + zeros, at + sign, length - sign);
        std::memset(at + sign, '0', zeros);
        size_ += zeros;
    }
    return *this;
}

}  // namespace corvane

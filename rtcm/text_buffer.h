// One message of the decoded-text log, put together in memory with printf's
// conversions (each method names the one it stands for) and written to the
// file with one call. Text beyond the buffer's room is written out early, so
// any text fits; a message never needs that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/file.h"
#include "rtcm/text_number_format.h"

namespace corvane {

class TextBuffer {
public:
    explicit TextBuffer(platform::OutputFile& file) : file_(file) {}
    ~TextBuffer() { Flush(); }
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // "%s".
    TextBuffer& Text(std::string_view text) {
        if (text.size() > kCapacity - size_) return LongText(text);
        std::memcpy(data_ + size_, text.data(), text.size());
        size_ += text.size();
        return *this;
    }
    // "%.{max}s": at most `max` characters, fewer at a NUL.
    TextBuffer& TextUpTo(const char* text, int max) {
        std::size_t n = 0;  // a few characters: no call to memchr
        while (static_cast<int>(n) < max && text[n] != '\0') ++n;
        return Text(std::string_view(text, n));
    }
    TextBuffer& Blanks(int count) {
        if (count > kShortBlanks) return LongBlanks(count);
        // The indents of continuation rows: one fixed-size fill, no call.
        const auto fill = static_cast<std::size_t>(kShortBlanks);
        std::memset(Room(fill), ' ', fill);
        if (count > 0) size_ += static_cast<std::size_t>(count);
        return *this;
    }
    // "%{width}d" and "%0{width}d".
    TextBuffer& Int(std::int64_t value, int width = 0) {
        if (value >= 0 && value < 10000 && width <= kShortColumn)
            return ShortInt(static_cast<unsigned>(value), width);
        return LongInt(value, width);
    }
    TextBuffer& ZeroPadded(std::int64_t value, int width);
    // "%{width}.{precision}f" and "%{width}.{precision}e".
    TextBuffer& Fixed(double value, int width, int precision) {
        char* const at = Room(static_cast<std::size_t>(MaxFixedLength(width, precision)));
        size_ += static_cast<std::size_t>(FormatFixed(at, value, width, precision) - at);
        return *this;
    }
    TextBuffer& Scientific(double value, int width, int precision) {
        char* const at = Room(static_cast<std::size_t>(MaxScientificLength(width, precision)));
        size_ += static_cast<std::size_t>(FormatScientific(at, value, width, precision) - at);
        return *this;
    }

    // Writes what has been put together (the destructor does too).
    void Flush();

private:
    static constexpr std::size_t kCapacity = 16384;
    static constexpr int kShortColumn = 16;  // widest column of the quick integers
    static constexpr int kShortBlanks = 64;  // widest run of blanks filled at once
    static constexpr char kTwoColumns[] =
        " 0 1 2 3 4 5 6 7 8 910111213141516171819202122232425262728293031323334353637383940414243"
        "4445464748495051525354555657585960616263646566676869707172737475767778798081828384858687"
        "888990919293949596979899";

    // The end of the text, after writing out what is there when fewer than
    // `length` characters are left.
    char* Room(std::size_t length) {
        if (kCapacity - size_ < length) Flush();
        return data_ + size_;
    }
    TextBuffer& LongText(std::string_view text);
    // Most fields are small counts and numbers in narrow columns: blanks
    // over the whole column at once, then up to four digits from the right.
    TextBuffer& ShortInt(unsigned value, int width) {
        char* const out = Room(static_cast<std::size_t>(kShortColumn));
        std::memset(out, ' ', static_cast<std::size_t>(kShortColumn));
        const int length =
            1 + (value >= 10 ? 1 : 0) + (value >= 100 ? 1 : 0) + (value >= 1000 ? 1 : 0);
        char* const end = out + (width > length ? width : length);
        if (value < 100 && end - out >= 2) {
            // "%2d" of 0 to 99 from a table: one digit comes with its blank.
            std::memcpy(end - 2, kTwoColumns + 2 * value, 2);
        } else {
            char* at = end;
            do {
                *--at = static_cast<char>('0' + value % 10);
                value /= 10;
            } while (value != 0);
        }
        size_ += static_cast<std::size_t>(end - out);
        return *this;
    }
    TextBuffer& LongInt(std::int64_t value, int width);
    TextBuffer& LongBlanks(int count);

    platform::OutputFile& file_;
    std::size_t size_ = 0;
    char data_[kCapacity];
};

}  // namespace corvane

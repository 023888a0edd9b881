#include "net/reply_classifier.h"

#include "net/mountpoint_entry.h"
#include "net/text_compare.h"

namespace corvane {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The status code of an HTTP status line: the decimal number from the tenth
// character on ("HTTP/1.1 200 OK"), 0 when none parses.
int HttpStatus(std::string_view line) {
    if (line.size() < 10) return 0;
    std::size_t i = 9;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
    int value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && value < 100000; ++i)
        value = value * 10 + (line[i] - '0');
    return negative ? -value : value;
}

// True for "Transfer-Encoding" with "chunked" as the last coding of its
// value, in any case, with any blanks around the colon and the codings.
bool AnnouncesChunked(std::string_view line) {
    constexpr std::string_view kName = "TRANSFER-ENCODING";
    if (!StartsWithNoCase(line, kName)) return false;
    std::size_t i = kName.size();
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size() || line[i] != ':') return false;
    std::string_view value = line.substr(i + 1);
    const std::size_t comma = value.rfind(',');
    if (comma != std::string_view::npos) value.remove_prefix(comma + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    return value.size() == 7 && StartsWithNoCase(value, "chunked");
}

enum class HeaderEnd { EmptyLine, StreamByte, None };

// Where the text of the header ends: after its first empty line, or at the
// first control byte (the stream has begun: an empty line among the
// stream's bytes must not end the header), or nowhere in `received`.
HeaderEnd FindHeaderEnd(std::string_view received, std::size_t* length) {
    for (std::size_t i = 0; i < received.size(); ++i) {
        const auto c = static_cast<unsigned char>(received[i]);
        if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F) {
            *length = i;
            return HeaderEnd::StreamByte;
        }
        if (c != '\n') continue;
        if (i + 1 < received.size() && received[i + 1] == '\n') {
            *length = i + 2;
            return HeaderEnd::EmptyLine;
        }
        if (i + 2 < received.size() && received[i + 1] == '\r' && received[i + 2] == '\n') {
            *length = i + 3;
            return HeaderEnd::EmptyLine;
        }
    }
    *length = received.size();
    return HeaderEnd::None;
}

}  // namespace

std::size_t ReplyHeaderLength(std::string_view received) {
    std::size_t length = 0;
    const HeaderEnd end = FindHeaderEnd(received, &length);
    if (end == HeaderEnd::EmptyLine) return length;
    if (StartsWithNoCase(received, "ICY 200 OK")) {
        const std::size_t lf = received.find('\n');
        if (lf != std::string_view::npos) return lf + 1;
        const std::size_t cr = received.find('\r');
        if (cr != std::string_view::npos) return cr + 1;
    }
    if (end == HeaderEnd::StreamByte) {
        // The stream began without an empty line: it starts with the line
        // that holds the first byte no header line can hold (binary data
        // may begin with bytes a header line could hold, such as 0xD3).
        const std::size_t lastLineEnd = received.substr(0, length).rfind('\n');
        return lastLineEnd != std::string_view::npos ? lastLineEnd + 1 : length;
    }
    return received.size();
}

bool ReplyHeaderIncomplete(std::string_view received) {
    std::size_t length = 0;
    return StartsWithNoCase(received, "HTTP/") &&
           FindHeaderEnd(received, &length) == HeaderEnd::None;
}

int ClassifyReply(std::string_view header, bool* chunked) {
    *chunked = false;
    int result = kStatusUnrecognised;
    bool afterServer = false;  // status lines after a "Server:" line do not count
    std::size_t pos = 0;
    while (pos < header.size()) {
        while (pos < header.size() && IsLineEnd(header[pos])) ++pos;
        std::size_t end = pos;
        while (end < header.size() && !IsLineEnd(header[end])) ++end;
        const std::string_view line = header.substr(pos, end - pos);
        pos = end;
        if (line.empty()) continue;
        if (AnnouncesChunked(line)) {
            *chunked = true;
        } else if (afterServer) {
            continue;
        } else if (StartsWithNoCase(line, "HTTP/")) {
            switch (HttpStatus(line)) {
                case 200:
                    result = kStatusStreaming;
                    break;
                case 401:
                    return kStatusUnauthorized;
                case 404:
                    return kStatusNotFound;
                case 501:
                    return kStatusNotImplemented;
                default:
                    break;
            }
        } else if (StartsWithNoCase(line, "ICY 200 OK")) {
            result = kStatusStreaming;
        } else if (StartsWithNoCase(line, "SOURCETABLE 200 OK")) {
            return kStatusNotFound;
        } else if (StartsWithNoCase(line, "SERVER:")) {
            afterServer = true;
        }
    }
    return result;
}

}  // namespace corvane

#include "net/source_table.h"

#include <cstring>
#include <string_view>

#include "net/connection_helpers.h"
#include "net/text_compare.h"
#include "platform/text_encoding.h"

namespace corvane {
namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr std::size_t kMinCompleteLine = 14;  // shortest line taken without its line end
constexpr int kStrSeparatorsNeeded = 11;      // STR fields up to the longitude, closed

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Field `index` of a ';'-separated record; empty when the record is shorter.
std::string_view Field(std::string_view line, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t sep = line.find(';', start);
        if (sep == std::string_view::npos) return {};
        start = sep + 1;
    }
    const std::size_t end = line.find(';', start);
    return line.substr(start, end == std::string_view::npos ? line.size() - start : end - start);
}

int CountSeparators(std::string_view line) {
    int n = 0;
    for (char c : line) n += c == ';';
    return n;
}

}  // namespace

void AddSourceTableRecord(std::string_view line, MountpointMap& map) {
    const std::string_view format = Field(line, 3);
    if (!StartsWithNoCase(format, "RTCM")) return;

    auto entry = std::make_unique<MountpointEntry>();
    platform::CopyToFixed(entry->name, sizeof entry->name, Field(line, 1));
    entry->formatVersion = static_cast<float>(ParseLeadingNumber(format.substr(4)));
    entry->latitude = static_cast<float>(ParseLeadingNumber(Field(line, 9)));
    entry->longitude = static_cast<float>(ParseLeadingNumber(Field(line, 10)));
    std::string key(entry->name);
    map[key] = std::move(entry);  // a repeated name replaces the older entry
}

bool FetchSourceTable(const CasterEntry& caster, MountpointMap& map, const NetTimeouts& timeouts) {
    using namespace platform;
    ClearMountpoints(map);
    if (!caster.Present()) return false;

    SocketHandle s = ConnectTimeout(caster.address, timeouts.connectWaits, timeouts.connectWaitMs);
    if (s == kInvalidSocket) return false;
    SetReceiveTimeout(s, timeouts.sourceTableReceiveMs);

    char buffer[kBufferSize] = {};
    if (!SendWhole(s, kSourceTableRequest) || ReceiveSome(s, buffer, 20) <= 0 ||
        !StartsWithNoCase(std::string_view(buffer, 20), "SOURCETABLE 200 OK")) {
        CloseSocket(s);
        return false;
    }

    std::size_t held = 0;
    for (;;) {
        const std::size_t room = kBufferSize - 1 - held;
        if (room == 0) break;  // a line fills the whole buffer: give up
        const int n = ReceiveSome(s, buffer + held, static_cast<int>(room));
        if (n <= 0) break;
        const std::size_t total = held + static_cast<std::size_t>(n);
        buffer[total] = '\0';
        held = 0;

        const std::string_view data(buffer, total);
        std::size_t pos = 0;
        while (pos < total) {
            while (pos < total && IsLineEnd(data[pos])) ++pos;
            if (pos == total) break;
            std::size_t end = pos;
            while (end < total && !IsLineEnd(data[end])) ++end;
            const std::string_view line = data.substr(pos, end - pos);

            // Only the data's last line, with no line end after it yet, can
            // be incomplete: it is kept for the next receive.
            if (end == total && (line.size() < kMinCompleteLine ||
                                 (StartsWithNoCase(line, "STR;") &&
                                  CountSeparators(line) < kStrSeparatorsNeeded))) {
                std::memmove(buffer, buffer + pos, line.size());
                held = line.size();
                break;
            }
            if (StartsWithNoCase(line, "ENDSOURCETABLE")) {
                CloseSocket(s);
                return true;
            }
            if (StartsWithNoCase(line, "STR;")) AddSourceTableRecord(line, map);
            pos = end;
        }
    }
    CloseSocket(s);
    return true;
}

}  // namespace corvane

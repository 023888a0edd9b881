#include "net/source_table.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
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
constexpr std::size_t kStatusLineLimit = 256;  // longest status line read

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

namespace {

// A receive bounded by the fetch's limits: the receive time-out since the
// last data, the total time and the caller's wish to go on.
class TableReceiver {
public:
    TableReceiver(platform::SocketHandle s, const NetTimeouts& timeouts)
        : s_(s),
          timeouts_(timeouts),
          end_(Clock::now() + std::chrono::milliseconds(timeouts.sourceTableTotalMs)) {}

    enum class Outcome { Data, Ended, Cancelled };

    // Receives up to `room` bytes into `out`; Ended when the caster closed,
    // went silent for the receive time-out, or a limit was reached.
    Outcome Receive(char* out, std::size_t room, std::size_t* got) {
        using namespace platform;
        *got = 0;
        if (received_ >= timeouts_.sourceTableMaxBytes) return Outcome::Ended;
        room = std::min(room, timeouts_.sourceTableMaxBytes - received_);
        const Clock::time_point idleEnd =
            Clock::now() + std::chrono::milliseconds(timeouts_.sourceTableReceiveMs);
        for (;;) {
            if (timeouts_.keepWaiting && !timeouts_.keepWaiting()) return Outcome::Cancelled;
            const Clock::time_point now = Clock::now();
            const Clock::time_point until = std::min(idleEnd, end_);
            if (now >= until) return Outcome::Ended;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
            const int slice = static_cast<int>(std::min<std::int64_t>(left, kSliceMs));
            const WaitResult w = WaitReadable(s_, slice);
            if (w == WaitResult::TimedOut) continue;
            if (w == WaitResult::Failed) return Outcome::Ended;
            const int n = ReceiveSome(s_, out, static_cast<int>(room));
            if (n <= 0) return Outcome::Ended;
            *got = static_cast<std::size_t>(n);
            received_ += *got;
            return Outcome::Data;
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::int64_t kSliceMs = 100;
    platform::SocketHandle s_;
    const NetTimeouts& timeouts_;
    Clock::time_point end_;
    std::size_t received_ = 0;
};

}  // namespace

bool FetchSourceTable(const CasterEntry& caster, MountpointMap& map, const NetTimeouts& timeouts,
                      bool* complete) {
    using namespace platform;
    using Outcome = TableReceiver::Outcome;
    ClearMountpoints(map);
    if (complete) *complete = false;
    if (!caster.Present()) return false;

    const auto keepWaiting = [&] { return !timeouts.keepWaiting || timeouts.keepWaiting(); };
    SocketHandle s =
        ConnectTimeout(caster.address, timeouts.connectWaits, timeouts.connectWaitMs, keepWaiting);
    if (s == kInvalidSocket) return false;
    TableReceiver receiver(s, timeouts);

    // The status line, up to its line end, however it is split; what follows
    // it in the same receive is the start of the table.
    char buffer[kBufferSize] = {};
    std::size_t total = 0;
    std::size_t lineEnd = std::string_view::npos;
    Outcome outcome = Outcome::Data;
    if (!SendWhole(s, kSourceTableRequest)) outcome = Outcome::Ended;
    while (outcome == Outcome::Data && lineEnd == std::string_view::npos &&
           total < kStatusLineLimit) {
        std::size_t got = 0;
        outcome = receiver.Receive(buffer + total, kStatusLineLimit - total, &got);
        total += got;
        lineEnd = std::string_view(buffer, total).find('\n');
    }
    if (outcome == Outcome::Cancelled ||
        !StartsWithNoCase(std::string_view(buffer, total), "SOURCETABLE 200 OK")) {
        CloseSocket(s);
        return false;
    }
    std::size_t held = 0;
    if (lineEnd != std::string_view::npos) {
        held = total - (lineEnd + 1);
        std::memmove(buffer, buffer + lineEnd + 1, held);
    }

    bool received = false;  // `held` bytes have not been scanned yet
    bool ended = false;
    while (!ended) {
        if (received || held > 0) {
            // Scans the held bytes; keeps an unfinished last line for later.
            const std::size_t length = held;
            buffer[length] = '\0';
            held = 0;
            const std::string_view data(buffer, length);
            std::size_t pos = 0;
            while (pos < length) {
                while (pos < length && IsLineEnd(data[pos])) ++pos;
                if (pos == length) break;
                std::size_t end = pos;
                while (end < length && !IsLineEnd(data[end])) ++end;
                const std::string_view line = data.substr(pos, end - pos);

                // Only the data's last line, with no line end after it yet,
                // can be incomplete: it is kept for the next receive.
                if (end == length && (line.size() < kMinCompleteLine ||
                                      (StartsWithNoCase(line, "STR;") &&
                                       CountSeparators(line) < kStrSeparatorsNeeded))) {
                    std::memmove(buffer, buffer + pos, line.size());
                    held = line.size();
                    break;
                }
                if (StartsWithNoCase(line, "ENDSOURCETABLE")) {
                    CloseSocket(s);
                    if (complete) *complete = true;
                    return true;
                }
                if (StartsWithNoCase(line, "STR;")) AddSourceTableRecord(line, map);
                pos = end;
            }
        }
        const std::size_t room = kBufferSize - 1 - held;
        if (room == 0) break;  // a line fills the whole buffer: give up
        std::size_t got = 0;
        outcome = receiver.Receive(buffer + held, room, &got);
        if (outcome == Outcome::Cancelled) {
            CloseSocket(s);
            ClearMountpoints(map);
            return false;
        }
        ended = outcome != Outcome::Data;
        held += got;
        received = got > 0;
    }
    // Cut short: the records that arrived are listed.
    CloseSocket(s);
    return true;
}

}  // namespace corvane

// The caster's reply to a mountpoint request: where its header ends and what
// it says.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

// The length of the reply header at the start of the first received bytes.
// The header ends after its first empty line (CR LF CR LF or LF LF), looked
// for only in the text before the first control byte. Without an empty line,
// a first line "ICY 200 OK" is the header on its own, with its line end, and
// the stream follows it at once; a control byte (other than CR, LF, TAB)
// means the stream has begun at the start of its line (after the first
// line); otherwise all bytes are header.
std::size_t ReplyHeaderLength(std::string_view received);

// True while an HTTP reply header has arrived only in part: it has no empty
// line yet and no stream byte has followed. The rest is worth waiting for,
// since a line such as "Transfer-Encoding: chunked" may still come.
bool ReplyHeaderIncomplete(std::string_view received);

// The channel status that the header's lines give: 2 for an accepted stream,
// -5 unknown mountpoint, -6 not authorised, -7 not implemented, -8 not
// recognised; status lines after a "Server:" line are not read. Sets
// *chunked when any header line announces chunked transfer ("chunked" as
// the last coding of Transfer-Encoding), clears it otherwise.
int ClassifyReply(std::string_view header, bool* chunked);

}  // namespace corvane

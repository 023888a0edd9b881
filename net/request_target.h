// The mountpoint as it stands in the request line. The name is the caster's
// text (from its source table): a blank or a control byte in it must not cut
// the request line short or start another header line.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// `name` with every byte that cannot stand in a request line (control bytes,
// blank, DEL, bytes from 0x80 on) written as "%XX" (upper-case hex). Any
// other name, as every caster's names are, stays as it is.
std::string RequestTarget(std::string_view name);

}  // namespace corvane

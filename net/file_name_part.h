// The part of an output file's name that comes from a mountpoint name. The
// name is the caster's text: it must never reach outside the output folder
// or name a device, on either system.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// `name` with every byte that cannot stand in a file name (/ \ : * ? " < > |,
// control bytes and DEL) replaced by '_'; a name of dots only becomes "_"
// and a Windows device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with
// or without an extension, any case) gets a leading '_'. Any other name
// stays as it is.
std::string FileNamePart(std::string_view name);

}  // namespace corvane

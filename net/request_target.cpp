#include "net/request_target.h"

namespace corvane {

std::string RequestTarget(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string target;
    target.reserve(name.size());
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b > 0x20 && b < 0x7F) {
            target += c;
        } else {
            target += '%';
            target += kHex[b >> 4];
            target += kHex[b & 0xF];
        }
    }
    return target;
}

}  // namespace corvane

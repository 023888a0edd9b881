#include <cstring>

#include "platform/text_encoding.h"

namespace corvane::platform {

void CopyToFixed(char* dest, std::size_t size, std::string_view text) {
    if (size == 0) return;
    std::memset(dest, 0, size);
    std::string_view cut = CutAtCharBoundary(text, size - 1);
    std::memcpy(dest, cut.data(), cut.size());
}

}  // namespace corvane::platform

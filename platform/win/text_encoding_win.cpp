// Narrow text on Windows is the ANSI code page (949 on Korean systems).
#include <windows.h>

#include "platform/text_encoding.h"

namespace corvane::platform {

std::string WideToNarrow(std::u16string_view wide) {
    if (wide.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
    const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::u16string NarrowToWide(std::string_view narrow) {
    if (narrow.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

std::string_view CutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    if (GetACP() == CP_UTF8) {
        std::size_t end = maxBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        return text.substr(0, end);
    }
    // Walk the characters from the start: a lead byte takes its trail byte.
    std::size_t i = 0;
    while (i < maxBytes) {
        const std::size_t len = IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return text.substr(0, i);
}

}  // namespace corvane::platform

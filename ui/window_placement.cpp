#include "ui/window_placement.h"

namespace corvane {
namespace {

// One direction: a window larger than the screen is cut to it at 0, one
// running off the far edge is moved back.
void Clamp(std::int32_t& pos, std::int32_t& size, std::int32_t screen) {
    if (size > screen) {
        size = screen;
        pos = 0;
    } else if (pos + size > screen) {
        pos = screen - size;
    }
}

}  // namespace

WindowPlacement PlaceWindow(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                            std::int32_t windowW, std::int32_t windowH, std::int32_t screenW,
                            std::int32_t screenH) {
    WindowPlacement p{x, y, w, h, false};
    if (p.w == 0) {
        p.w = windowW;
        p.h = windowH;
        p.x = (screenW - p.w) / 2;
        p.y = (screenH - p.h) / 2;
    }
    if (p.w >= screenW && p.h >= screenH) {
        p.maximised = true;
        return p;
    }
    Clamp(p.x, p.w, screenW);
    Clamp(p.y, p.h, screenH);
    return p;
}

}  // namespace corvane

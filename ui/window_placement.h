// Where the main window opens, from the stored rectangle ("x", "y", "w",
// "h") and the screen's full-screen area: centred at its own size on a
// first run, maximised when the stored size covers the screen, otherwise
// moved (and cut) so that it lies on the screen.
#pragma once

#include <cstdint>

namespace corvane {

struct WindowPlacement {
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    bool maximised = false;
};

// `x`..`h` as stored (w 0: first run), `windowW`/`windowH` the window's own
// size, `screenW`/`screenH` the full-screen area. The result keeps every
// stored value that is not changed.
WindowPlacement PlaceWindow(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                            std::int32_t windowW, std::int32_t windowH, std::int32_t screenW,
                            std::int32_t screenH);

}  // namespace corvane

#pragma once

namespace UIE {

// (x, y, width, height); device pixels when handed to painters.
struct UiRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

} // namespace UIE

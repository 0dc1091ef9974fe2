#pragma once
#include "ui/framework/window/UiWindow.h"

namespace SetupUi {

// HTCAPTION over the banner band (logical y < 260) except the caption-button block
// (x >= 476, y < 52), or -1; x and y are client device pixels.
LRESULT DragRegionHitTest(int x, int y, int dpi, bool enabled);

// The uninstaller's window: its title and size, and the banner band that drags it.
class CWindow : public UIE::CUiWindow {
public:
    CWindow();
    LRESULT HitTestNonClient(int x, int y) override;

    bool dragRegionEnabled = true;
};

} // namespace SetupUi

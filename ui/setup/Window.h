#pragma once
#include "ui/framework/window/UiWindow.h"

namespace SetupUi {

// HTCAPTION over the banner's band except the caption-button block (Layout.h), or -1;
// x and y are client device pixels.
LRESULT DragRegionHitTest(int x, int y, int dpi, bool enabled);

// The uninstaller's window: its title and size, and the banner band that drags it.
class CWindow : public UIE::CUiWindow {
public:
    CWindow();
    LRESULT HitTestNonClient(int x, int y) override;

    bool dragRegionEnabled = true;
};

} // namespace SetupUi

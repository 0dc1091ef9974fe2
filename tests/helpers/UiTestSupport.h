#pragma once
// Helpers shared by the tests of the window and its controls.
#include "ui/framework/base/UiRect.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/window/UiControl.h"

#include <windows.h>

namespace zmxtest {

// Puts the process-wide theme back as it was, for the tests that change it.
class ThemeScope {
public:
    ThemeScope() : saved(UIE::UiTheme) {}
    ~ThemeScope() { UIE::UiTheme = saved; }
    ThemeScope(const ThemeScope&) = delete;
    ThemeScope& operator=(const ThemeScope&) = delete;

private:
    UIE::UiThemeColors saved;
};

// Gives control the logical rectangle (x, y, width, height) and returns it.
template <typename Control>
Control* Place(Control* control, int x, int y, int width, int height)
{
    control->SetBounds(UIE::UiRect{x, y, width, height});
    return control;
}

// The same, and makes it a child of parent.
template <typename Control>
Control* Place(UIE::CUiControl* parent, Control* control, int x, int y, int width, int height)
{
    return UIE::PlaceChild(parent, control, UIE::UiRect{x, y, width, height});
}

// Client or screen coordinates packed as mouse messages carry them (signed 16-bit words).
inline LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// WM_NCHITTEST's answer for a client point of a window.
inline LRESULT NcHitAt(HWND window, int clientX, int clientY)
{
    POINT point{clientX, clientY};
    ClientToScreen(window, &point);
    return SendMessageW(window, WM_NCHITTEST, 0, PointParam(point.x, point.y));
}

} // namespace zmxtest

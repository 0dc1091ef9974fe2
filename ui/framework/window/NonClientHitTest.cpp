#include "ui/framework/window/NonClientHitTest.h"

#include "ui/framework/base/Dpi.h"

#include <algorithm>

namespace UIE {

int ResizeBorderWidth(int dpi)
{
    return std::max(4, DpiScaleAt(4, dpi));
}

LRESULT ResizeBorderHitTest(int x, int y, int width, int height, int dpi, bool maximized)
{
    if (maximized)
        return HTCLIENT;
    const int border = ResizeBorderWidth(dpi);
    const bool left = x < border;
    const bool right = x >= width - border;
    const bool top = y < border;
    const bool bottom = y >= height - border;
    if (top && left)
        return HTTOPLEFT;
    if (top && right)
        return HTTOPRIGHT;
    if (bottom && left)
        return HTBOTTOMLEFT;
    if (bottom && right)
        return HTBOTTOMRIGHT;
    if (left)
        return HTLEFT;
    if (right)
        return HTRIGHT;
    if (top)
        return HTTOP;
    if (bottom)
        return HTBOTTOM;
    return HTCLIENT;
}

} // namespace UIE

#include "ui/framework/controls/FocusRing.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindow.h"

#include <algorithm>

namespace UIE {

bool ShowsFocusRing(const CUiControl& control)
{
    return control.window && control.window->focusedControl == &control && control.window->focusCuesShown;
}

void DrawRoundRectOutline(CUiPaintContext& context, const UiRect& rect, uint32_t argb, float radius, int penWidth)
{
    const float pen = static_cast<float>(std::max(1, penWidth));
    const float half = pen * 0.5f;
    if (rect.width <= pen || rect.height <= pen)
        return;
    TransientGraphics graphics(context);
    // The stroke straddles its path, which runs half a pen inside rect; with the context's
    // half-pixel offset, pixel n covers [n - 0.5, n + 0.5), hence the further half pixel.
    const float inset = half - 0.5f;
    const Gdiplus::RectF path(rect.x + inset, rect.y + inset, rect.width - 2 * inset - 1, rect.height - 2 * inset - 1);
    Gdiplus::GraphicsPath outline(Gdiplus::FillModeAlternate);
    AddRoundRectPath(outline, path, std::max(0.0f, radius - half));
    Gdiplus::Pen stroke(Gdiplus::Color(argb), pen);
    graphics.get()->DrawPath(&stroke, &outline);
}

void DrawFocusRing(CUiPaintContext& context, const UiRect& rect, float radius)
{
    const int outer = std::max(1, DpiScale(2));
    const int inner = std::max(1, DpiScale(1));
    const bool system = HighContrastOn();
    DrawRoundRectOutline(context, rect, system ? SystemColourArgb(COLOR_WINDOWTEXT) : 0xFF1A1A1A, radius, outer);
    const UiRect inside{rect.x + outer, rect.y + outer, rect.width - 2 * outer, rect.height - 2 * outer};
    DrawRoundRectOutline(context, inside, system ? SystemColourArgb(COLOR_WINDOW) : 0xFFFFFFFF,
                         std::max(0.0f, radius - outer), inner);
}

} // namespace UIE

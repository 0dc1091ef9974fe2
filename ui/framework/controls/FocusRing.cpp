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
    return control.window && control.window->ShowsFocusRing(control);
}

void DrawFocusRing(CUiPaintContext& context, const UiRect& rect, float radius, uint32_t systemInk)
{
    const int outer = std::max(1, DpiScale(2));
    const int inner = std::max(1, DpiScale(1));
    if (HighContrastOn()) {
        // The scheme gives the outline and the text one colour: a ring on the outline would
        // only thicken it, so it keeps a gap (the outline's width again) inside it.
        const int inset = 2 * std::max(1, DpiScale(1));
        const UiRect ring{rect.x + inset, rect.y + inset, rect.width - 2 * inset, rect.height - 2 * inset};
        DrawRoundRectOutline(context, ring, systemInk, std::max(0.0f, radius - inset), outer);
        return;
    }
    DrawRoundRectOutline(context, rect, 0xFF1A1A1A, radius, outer);
    const UiRect inside{rect.x + outer, rect.y + outer, rect.width - 2 * outer, rect.height - 2 * outer};
    DrawRoundRectOutline(context, inside, 0xFFFFFFFF, std::max(0.0f, radius - outer), inner);
}

} // namespace UIE

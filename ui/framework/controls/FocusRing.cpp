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
    // No ring in a window without the keyboard focus: an inactive window shows none.
    return control.window && control.window->focusedControl == &control && control.window->focusCuesShown
        && control.window->HasKeyboardFocus();
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

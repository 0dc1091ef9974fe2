#include "ui/framework/drawing/HighContrast.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"

namespace UIE {

bool HighContrastOn()
{
    return UiTheme.highContrast;
}

bool RefreshHighContrast()
{
    HIGHCONTRASTW setting = {};
    setting.cbSize = sizeof(setting);
    const bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0)
        && (setting.dwFlags & HCF_HIGHCONTRASTON);
    const bool changed = on != UiTheme.highContrast;
    UiTheme.highContrast = on;
    return changed;
}

uint32_t SystemColourArgb(int index)
{
    const COLORREF colour = GetSysColor(index);
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(colour)) << 16)
        | (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

uint32_t PaintSystemButtonFace(CUiPaintContext& context, const UiRect& rect, float radius, bool hot, bool enabled)
{
    const bool highlighted = hot && enabled;
    FillRoundRect(context, rect, SystemColourArgb(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE), radius);
    DrawRoundRectOutline(context, rect, SystemColourArgb(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNTEXT), radius,
                         DpiScale(1));
    if (!enabled)
        return SystemColourArgb(COLOR_GRAYTEXT);
    return SystemColourArgb(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
}

} // namespace UIE

#include "ui/controls/Label.h"

#include "ui/controls/HighContrast.h"
#include "ui/controls/Primitives.h"
#include "ui/controls/Text.h"
#include "ui/controls/Theme.h"
#include "ui/window/Dpi.h"

#include <oleacc.h>

namespace UIE {

CUiLabel::CUiLabel() : textColor(ArgbToColorRef(UiTheme.primaryText)) {}

void CUiLabel::Paint(CUiPaintContext& context)
{
    if (text.empty())
        return;
    const COLORREF colour = HighContrastOn() ? GetSysColor(COLOR_WINDOWTEXT) : textColor;
    DrawTextGdi(context, text.c_str(), fontSize, colour, UiRect{0, 0, DpiScale(width), DpiScale(height)},
                static_cast<UINT>(alignment), isBold);
}

DWORD CUiLabel::AccessibleRole()
{
    return text.empty() ? 0 : ROLE_SYSTEM_STATICTEXT;
}

std::wstring CUiLabel::AccessibleName()
{
    return text;
}

} // namespace UIE

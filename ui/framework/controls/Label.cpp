#include "ui/framework/controls/Label.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/window/UiWindow.h"

#include <oleacc.h>

namespace UIE {

CUiLabel::CUiLabel() : textColor(ArgbToColorRef(UiTheme.primaryText)) {}

void CUiLabel::Paint(CUiPaintContext& context)
{
    if (text.empty())
        return;
    const COLORREF colour = HighContrastOn() ? GetSysColor(COLOR_WINDOWTEXT) : textColor;
    DrawTextGdi(context, text.c_str(), fontSize, colour, UiRect{0, 0, DpiScale(width), DpiScale(height)},
                TextAlignmentFormat(alignment), isBold);
}

DWORD CUiLabel::AccessibleRole()
{
    return text.empty() ? 0 : ROLE_SYSTEM_STATICTEXT;
}

std::wstring CUiLabel::AccessibleName()
{
    return text;
}

void CUiLabel::SetText(std::wstring newText)
{
    if (newText == text)
        return;
    text = std::move(newText);
    if (window)
        window->Invalidate(nullptr);
    NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
}

} // namespace UIE

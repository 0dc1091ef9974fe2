#include "ui/controls/Label.h"

#include "ui/controls/Primitives.h"
#include "ui/controls/Text.h"
#include "ui/controls/Theme.h"
#include "ui/window/Dpi.h"

namespace UIE {

CUiLabel::CUiLabel() : textColor(ArgbToColorRef(UiTheme.primaryText)) {}

void CUiLabel::Paint(CUiPaintContext& context)
{
    if (text.empty())
        return;
    DrawTextGdi(context, text.c_str(), fontSize, textColor, UiRect{0, 0, DpiScale(width), DpiScale(height)},
                static_cast<UINT>(alignment), isBold);
}

} // namespace UIE

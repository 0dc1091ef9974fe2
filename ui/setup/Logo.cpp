#include "ui/setup/Logo.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"

namespace SetupUi {

void CLogo::Paint(UIE::CUiPaintContext& context)
{
    if (!UIE::HighContrastOn()) {
        CUiImage::Paint(context);
        return;
    }
    const UIE::UiRect area{0, 0, UIE::DpiScale(width), UIE::DpiScale(height)};
    const COLORREF ink = UIE::ArgbToColorRef(UIE::SystemColourArgb(COLOR_WINDOWTEXT));
    UIE::DrawTextGdi(context, accessibleName.c_str(), 14, ink, area, DT_LEFT, true);
}

} // namespace SetupUi

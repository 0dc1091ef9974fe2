#include "ui/setup/Logo.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"

namespace SetupUi {

namespace {

// How far the name may reach, logical pixels from the logo's left edge: short of the chrome
// buttons. The picture's 140 are too narrow for the name as readable text.
constexpr int kNameWidth = 440;

} // namespace

void CLogo::Paint(UIE::CUiPaintContext& context)
{
    if (!UIE::HighContrastOn()) {
        CUiImage::Paint(context);
        return;
    }
    const UIE::UiRect area{0, 0, UIE::DpiScale(kNameWidth), UIE::DpiScale(height)};
    const COLORREF ink = UIE::ArgbToColorRef(UIE::SystemColourArgb(COLOR_WINDOWTEXT));
    UIE::DrawTextGdi(context, accessibleName.c_str(), 14, ink, area, DT_LEFT, true);
}

int CLogo::GetClipMargin()
{
    // Outside high contrast the picture's layers are kept under the plain margin.
    return UIE::HighContrastOn() ? UIE::DpiScale(kNameWidth) : CUiImage::GetClipMargin();
}

} // namespace SetupUi

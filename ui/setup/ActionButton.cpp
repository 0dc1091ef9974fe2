#include "ui/setup/ActionButton.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/controls/FocusRing.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"
#include "ui/setup/Look.h"

namespace SetupUi {

CActionButton::CActionButton(std::wstring caption, std::function<void()> clickHandler)
    : CPushButton(std::move(clickHandler), 0), text(std::move(caption))
{
}

void CActionButton::Paint(UIE::CUiPaintContext& context)
{
    const UIE::UiRect area{0, 0, UIE::DpiScale(width), UIE::DpiScale(height)};
    const float radius = static_cast<float>(UIE::DpiScale(6));
    uint32_t caption = 0xFFFFFFFF;
    if (UIE::HighContrastOn()) {
        caption = UIE::PaintSystemButtonFace(context, area, radius, isHovered || isPressed, enabled);
        UIE::DrawTextGdi(context, text.c_str(), 14, UIE::ArgbToColorRef(caption), area, DT_CENTER, false);
    } else {
        UIE::FillRoundRect(context, area, enabled ? kAccentColour : 0xFFD8D8D8, radius);
        if (enabled && isPressed)
            UIE::FillRoundRect(context, area, 0x14000000, radius);
        else if (enabled && isHovered)
            UIE::FillRoundRect(context, area, 0x10FFFFFF, radius);
        UIE::DrawTextGdi(context, text.c_str(), 14, RGB(0xFF, 0xFF, 0xFF), area, DT_CENTER, false);
    }
    if (UIE::ShowsFocusRing(*this))
        UIE::DrawFocusRing(context, area, radius, caption);
}

bool CActionButton::WantsHandCursor()
{
    return enabled;
}

void CActionButton::OnMouseDown(int, int)
{
    Press();
    Invalidate();
}

void CActionButton::OnMouseUp(int px, int py)
{
    const bool clicked = Release(px, py, width, height);
    Invalidate();
    if (clicked && enabled)
        Click();
}

std::wstring CActionButton::AccessibleName()
{
    return text;
}

bool CActionButton::DoDefaultAction()
{
    return enabled && CPushButton::DoDefaultAction();
}

} // namespace SetupUi

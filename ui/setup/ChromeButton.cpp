#include "ui/setup/ChromeButton.h"

#include "ui/framework/drawing/FocusRing.h"
#include "ui/framework/drawing/Glyph.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/base/Dpi.h"

#include <oleacc.h>

namespace SetupUi {

CChromeButton::CChromeButton(uint8_t glyphKind, std::function<void()> clickHandler)
    : kind(glyphKind), onClick(std::move(clickHandler))
{
}

void CChromeButton::Paint(UIE::CUiPaintContext& context)
{
    const UIE::UiRect area{0, 0, UIE::DpiScale(width), UIE::DpiScale(height)};
    const float radius = static_cast<float>(UIE::DpiScale(4));
    uint32_t glyphColour = 0xFF5A5A68;
    // Over the light banner a glyph in the system text colour could vanish: it gets a face.
    if (UIE::HighContrastOn())
        glyphColour = UIE::PaintSystemButtonFace(context, area, radius, isHovered, true);
    else if (isHovered)
        UIE::FillRoundRect(context, area, 0x14000000, radius);
    UIE::DrawGlyph(context, kind == 0 ? UIE::Close : UIE::Minimize, area, glyphColour, UIE::DpiScale(1));
    if (UIE::ShowsFocusRing(*this))
        UIE::DrawFocusRing(context, area, radius);
}

bool CChromeButton::WantsHandCursor()
{
    return true;
}

void CChromeButton::OnMouseEnter()
{
    isHovered = true;
    Invalidate();
}

void CChromeButton::OnMouseLeave()
{
    isHovered = false;
    Invalidate();
}

void CChromeButton::OnMouseUp(int px, int py)
{
    if (onClick && px >= 0 && px < width && py >= 0 && py < height)
        onClick();
}

DWORD CChromeButton::AccessibleRole()
{
    return ROLE_SYSTEM_PUSHBUTTON;
}

std::wstring CChromeButton::AccessibleName()
{
    return kind == 0 ? L"关闭" : L"最小化";
}

std::wstring CChromeButton::AccessibleDefaultAction()
{
    return L"按下";
}

bool CChromeButton::DoDefaultAction()
{
    if (!IsShown())
        return false;
    if (onClick)
        onClick();
    return true;
}

int CChromeButton::TabOrder()
{
    return 1;
}

} // namespace SetupUi

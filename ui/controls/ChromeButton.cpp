#include "ui/controls/ChromeButton.h"

#include "ui/controls/Glyph.h"
#include "ui/controls/Primitives.h"
#include "ui/window/Dpi.h"

namespace SetupUi {

CChromeButton::CChromeButton(uint8_t glyphKind, std::function<void()> clickHandler)
    : kind(glyphKind), onClick(std::move(clickHandler))
{
}

void CChromeButton::Paint(UIE::CUiPaintContext& context)
{
    const UIE::UiRect area{0, 0, UIE::DpiScale(width), UIE::DpiScale(height)};
    if (isHovered)
        UIE::FillRoundRect(context, area, 0x14000000, static_cast<float>(UIE::DpiScale(4)));
    UIE::DrawGlyph(context, kind == 0 ? UIE::Close : UIE::Minimize, area, 0xFF5A5A68, UIE::DpiScale(1));
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

} // namespace SetupUi

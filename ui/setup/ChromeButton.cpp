#include "ui/setup/ChromeButton.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/controls/FocusRing.h"
#include "ui/framework/drawing/Glyph.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"

namespace SetupUi {

CChromeButton::CChromeButton(ChromeGlyph glyphKind, std::function<void()> clickHandler)
    : CPushButton(std::move(clickHandler), 1), kind(glyphKind)
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
    const UIE::GlyphShape glyph = kind == ChromeGlyph::Close ? UIE::Close : UIE::Minimize;
    UIE::DrawGlyph(context, glyph, area, glyphColour, UIE::DpiScale(1));
    if (UIE::ShowsFocusRing(*this))
        UIE::DrawFocusRing(context, area, radius, glyphColour);
}

bool CChromeButton::WantsHandCursor()
{
    return true;
}

void CChromeButton::OnMouseUp(int px, int py)
{
    if (Release(px, py, width, height, false))
        Click();
}

std::wstring CChromeButton::AccessibleName()
{
    return kind == ChromeGlyph::Close ? L"关闭" : L"最小化";
}

} // namespace SetupUi

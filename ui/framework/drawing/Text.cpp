#include "ui/framework/drawing/Text.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/Theme.h"

#include <algorithm>
#include <map>
#include <memory>

namespace UIE {

namespace {

std::map<uint32_t, std::unique_ptr<Gdiplus::Font>>& GdiplusFontCache()
{
    static std::map<uint32_t, std::unique_ptr<Gdiplus::Font>> cache;
    return cache;
}

} // namespace

UINT TextAlignmentFormat(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Center:
        return DT_CENTER;
    case TextAlignment::Right:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

HFONT GetFont(CUiPaintContext& context, int fontSize, bool bold)
{
    const uint32_t key = FontKey(fontSize, bold);
    auto found = context.fontCache.find(key);
    if (found != context.fontCache.end())
        return found->second.get();
    const int height = -std::max(1, DpiScale(fontSize));
    HFONT font = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, uiFontFace.c_str());
    context.fontCache.emplace(key, Base::UniqueFont(font));
    return font;
}

void DrawTextGdi(CUiPaintContext& context, const wchar_t* text, int fontSize, COLORREF textColor,
                 const UiRect& rect, UINT format, bool bold)
{
    if (!text)
        return;
    RECT area{context.originX + rect.x, context.originY + rect.y, context.originX + rect.x + rect.width,
              context.originY + rect.y + rect.height};
    HGDIOBJ previous = SelectObject(context.hdc, GetFont(context, fontSize, bold));
    SetTextColor(context.hdc, textColor);
    DrawTextW(context.hdc, text, -1, &area, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(context.hdc, previous);
}

void DrawTextGdiplus(Gdiplus::Graphics* graphics, const wchar_t* text, uint32_t argb,
                     const Gdiplus::RectF& layoutRect, Gdiplus::StringAlignment alignment)
{
    if (!text || !graphics)
        return;
    const uint32_t key = FontKey(13, false);
    auto& cache = GdiplusFontCache();
    auto found = cache.find(key);
    if (found == cache.end()) {
        if (!defaultFontFamily)
            return;
        const auto size = static_cast<Gdiplus::REAL>(std::max(1, DpiScale(13)));
        found = cache.emplace(key, std::make_unique<Gdiplus::Font>(defaultFontFamily.get(), size, Gdiplus::FontStyleRegular,
                                                                   Gdiplus::UnitPixel)).first;
    }
    Gdiplus::StringFormat format(0, 0);
    format.SetAlignment(alignment);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    const Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    graphics->DrawString(text, -1, found->second.get(), layoutRect, &format, &brush);
}

void ReleaseGdiplusFontCache()
{
    GdiplusFontCache().clear();
}

size_t GdiplusFontCacheSize()
{
    return GdiplusFontCache().size();
}

} // namespace UIE

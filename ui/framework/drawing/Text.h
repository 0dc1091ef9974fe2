#pragma once
#include "ui/framework/drawing/PaintContext.h"

#include <cstdint>

namespace UIE {

// Cache key of a font: logical size and weight.
inline uint32_t FontKey(int fontSize, bool bold)
{
    return static_cast<uint32_t>(fontSize) * 2u + (bold ? 1u : 0u);
}

// Horizontal placement of a line of text.
enum class TextAlignment : int {
    Left = 0,
    Center = 1,
    Right = 2,
};

// The DrawTextW flag for an alignment.
UINT TextAlignmentFormat(TextAlignment alignment);

// The context's font for a logical size and weight, created once.
HFONT GetFont(CUiPaintContext& context, int fontSize, bool bold);
// One vertically centred line with an end ellipsis; format is DT_LEFT, DT_CENTER or DT_RIGHT.
void DrawTextGdi(CUiPaintContext& context, const wchar_t* text, int fontSize, COLORREF textColor,
                 const UiRect& rect, UINT format, bool bold);
// GDI+ text in the default family at 13 logical pixels.
void DrawTextGdiplus(Gdiplus::Graphics* graphics, const wchar_t* text, uint32_t argb,
                     const Gdiplus::RectF& layoutRect, Gdiplus::StringAlignment alignment);
// Deletes the GDI+ fonts; called before GDI+ shuts down.
void ReleaseGdiplusFontCache();
// Number of GDI+ fonts currently cached.
size_t GdiplusFontCacheSize();

} // namespace UIE

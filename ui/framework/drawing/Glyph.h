#pragma once
#include "ui/framework/drawing/PaintContext.h"

#include <cstdint>

namespace UIE {

// Line glyphs on a 24 × 24 design grid.
enum GlyphShape : int {
    Minimize = 0,
    Maximize = 1,
    Restore = 2,
    Close = 3,
    ChevronLeft = 4,
    ChevronRight = 5,
    ChevronUp = 6,
    ChevronDown = 7,
    Check = 8,
    Circle = 9,
    CircleDot = 10,
};

// Strokes a glyph into the centred square of rect (device pixels) with round caps.
void DrawGlyph(CUiPaintContext& context, int shape, const UiRect& rect, uint32_t argb, int penWidth);

} // namespace UIE

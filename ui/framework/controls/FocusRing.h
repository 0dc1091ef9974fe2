#pragma once
#include "ui/framework/drawing/PaintContext.h"

#include <cstdint>

namespace UIE {

class CUiControl;

// Whether the control has the keyboard focus and the window shows keyboard cues.
bool ShowsFocusRing(const CUiControl& control);
// The focus ring along the inside edge of rect (device pixels): a dark band with a light
// line inside it, so it shows on light and dark faces alike. In high contrast it is a band
// of systemInk (the caption's colour) inside the face's outline, a gap of the face between.
void DrawFocusRing(CUiPaintContext& context, const UiRect& rect, float radius, uint32_t systemInk);

} // namespace UIE

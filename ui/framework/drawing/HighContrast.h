#pragma once
#include "ui/framework/drawing/PaintContext.h"

#include <cstdint>
#include <string>

namespace UIE {

// Whether the painters use the system colours (high contrast on, as last read).
bool HighContrastOn();
// Reads SPI_GETHIGHCONTRAST into the theme; true when the setting changed.
bool RefreshHighContrast();
// A system colour (GetSysColor index) as opaque ARGB.
uint32_t SystemColourArgb(int index);

// A button face in system colours: the face (highlight while hot) with an outline in the
// button text colour; returns the colour for the caption or glyph.
uint32_t PaintSystemButtonFace(CUiPaintContext& context, const UiRect& rect, float radius, bool hot, bool enabled);

} // namespace UIE

#pragma once
#include <windows.h>

#include <cstdint>

namespace UIE {

class CUiControl;
class CUiPaintContext;
class CUiWindow;

// The colour a paint fills the invalid rectangle with: the theme's, or in high contrast
// the system's window colour.
uint32_t WindowBackgroundArgb();
// WM_PAINT: draws the stale part of the invalid rectangle into the back buffer and copies
// the whole invalid rectangle to the screen.
void RunPaintPipeline(CUiWindow& window);
// The drawing half of a paint: (re)creates the back buffer for the client size, fills
// paintRect with the background and paints every root subtree that meets it, clipped to
// paintRect, which is then no longer stale; false when no back buffer could be made.
bool PaintIntoBackBuffer(CUiWindow& window, HDC reference, int clientWidth, int clientHeight,
                         const RECT& paintRect);
// Paints a control, its children and its overlay, clipped to its rectangle.
void PaintControlTree(CUiControl* control, CUiPaintContext& context);

} // namespace UIE

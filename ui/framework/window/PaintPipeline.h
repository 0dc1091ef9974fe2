#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace UIE {

class CBackBuffer;
class CUiControl;
class CUiPaintContext;

// The colour a paint fills the invalid rectangle with: the theme's, or in high contrast
// the system's window colour.
uint32_t WindowBackgroundArgb();
// WM_PAINT of window: draws the stale part of the invalid rectangle into the back buffer and
// copies the whole invalid rectangle to the screen. roots are the window's root controls.
void RunPaintPipeline(HWND window, CBackBuffer& buffer, CUiPaintContext& context,
                      const std::vector<CUiControl*>& roots);
// The drawing half of a paint: (re)creates the back buffer for the client size, fills
// paintRect with the background and paints every root subtree that meets it, clipped to
// paintRect, which is then no longer stale; false when no back buffer could be made.
bool PaintIntoBackBuffer(CBackBuffer& buffer, CUiPaintContext& context, const std::vector<CUiControl*>& roots,
                         HDC reference, int clientWidth, int clientHeight, const RECT& paintRect);
// Paints a control, its children and its overlay, clipped to its rectangle.
void PaintControlTree(CUiControl* control, CUiPaintContext& context);

} // namespace UIE

#pragma once
#include <windows.h>

namespace UIE {

class CUiWindow;

// WM_PAINT: draws the invalid rectangle into the back buffer and copies it to the screen.
void RunPaintPipeline(CUiWindow& window);
// The drawing half of a paint: (re)creates the back buffer for the client size, fills
// paintRect with the background and paints every root subtree that meets it.
void PaintIntoBackBuffer(CUiWindow& window, HDC reference, int clientWidth, int clientHeight,
                         const RECT& paintRect);

} // namespace UIE

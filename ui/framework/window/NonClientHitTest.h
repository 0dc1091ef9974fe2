#pragma once
#include <windows.h>

namespace UIE {

// Width of the invisible resize border at a DPI: 4 logical pixels, never below 4 device pixels.
int ResizeBorderWidth(int dpi);
// Resize code for a client point of a (width × height) window, or HTCLIENT; a maximised
// window has no border.
LRESULT ResizeBorderHitTest(int x, int y, int width, int height, int dpi, bool maximized);

} // namespace UIE

#pragma once
#include "ui/framework/base/Gdiplus.h"
#include "ui/framework/window/UiControl.h"

#include <cstdint>

namespace UIE {

enum ImageFit : int32_t {
    Contain = 0, // the whole image is visible
    Cover = 1,   // the image covers the whole control
};

class CUiImageLayer;

// Draws a borrowed bitmap centred in the control over a rounded background.
class CUiImage : public CUiControl {
public:
    CUiImage();
    void Paint(CUiPaintContext& context) override;
    // A graphic when it has an accessible name; decoration otherwise.
    DWORD AccessibleRole() override;
    std::wstring AccessibleName() override;
    // Draws ahead of time what Paint will copy or blend at dpi with its top-left corner
    // at (originX, originY) of a target like target; only for the image cache's bitmaps.
    // Reads no process-wide DPI, so it may run beside the window thread.
    void PrepareLayer(HDC target, int originX, int originY, int dpi);

    Gdiplus::Bitmap* image = nullptr; // borrowed from the image cache
    int32_t fit = Contain;
    int32_t cornerRadius = 0;         // logical pixels; negative means 8
    uint32_t background = 0xFFE8E8E8; // ARGB
    bool onWindowBackground = false;  // fills with the window's own background colour instead
    std::wstring accessibleName;      // empty: decoration, not exposed
    // Decoration left out in high contrast, where a bright picture would defeat the user's
    // colours; the window's background shows instead.
    bool hiddenInHighContrast = false;

private:
    const CUiImageLayer* FindOrMakeLayer(HDC target, int originX, int originY, int dpi, uint32_t fill);
};

// Destination of an (imageWidth × imageHeight) image in a (width × height) box.
Gdiplus::RectF PlaceImage(float width, float height, float imageWidth, float imageHeight, int32_t fit);

} // namespace UIE

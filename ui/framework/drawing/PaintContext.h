#pragma once
#include "ui/framework/base/Gdiplus.h"
#include "ui/framework/base/UiRect.h"
#include "base/UniqueHandle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace UIE {

// One saved clip state of the paint context.
struct ClipState {
    int originX = 0;
    int originY = 0;
    RECT clip{};
    int savedDc = 0;                // from SaveDC
    bool hadGraphics = false;       // a GDI+ graphics object existed when saved
    Gdiplus::GraphicsState graphicsState = 0;
};

// Drawing state of one window: the back-buffer DC, a GDI+ graphics object made on
// demand, the origin and clip of the control being painted, and the GDI caches.
class CUiPaintContext {
public:
    CUiPaintContext() = default;
    CUiPaintContext(const CUiPaintContext&) = delete;
    CUiPaintContext& operator=(const CUiPaintContext&) = delete;
    ~CUiPaintContext() = default;

    // Enters a child rectangle (device pixels relative to the current origin).
    void PushClip(const UiRect& rect, int margin);
    // Leaves the last entered rectangle; nothing when none is entered.
    void PopClip();
    // Starts a paint into dc covering (0, 0, width, height).
    void Reset(HDC dc, int width, int height);

    HDC hdc = nullptr;
    std::unique_ptr<Gdiplus::Graphics> graphics; // keeps the last failing status itself
    int originX = 0;
    int originY = 0;
    RECT clip{};
    RECT paintRect{};
    bool hasPaintRect = false;
    std::vector<ClipState> clipStack;
    std::map<COLORREF, Base::UniqueBrush> brushCache;
    std::map<uint32_t, Base::UniqueFont> fontCache;
};

} // namespace UIE

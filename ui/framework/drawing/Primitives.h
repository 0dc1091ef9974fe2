#pragma once
#include "ui/framework/drawing/PaintContext.h"

#include <cstdint>

namespace UIE {

// ARGB 0xAARRGGBB to a GDI colour 0x00BBGGRR; alpha is dropped.
COLORREF ArgbToColorRef(uint32_t argb);

// The context's GDI+ graphics, made on demand at the current origin and clip.
Gdiplus::Graphics* GetGraphics(CUiPaintContext& context);
// Gives graphics, whatever it draws on, the settings, origin and clip GetGraphics gives.
void SetUpGraphics(Gdiplus::Graphics& graphics, const CUiPaintContext& context);
// Deletes the context's graphics object, if any.
void ReleaseGraphics(CUiPaintContext& context);

// Rounded rectangle; the corner diameter is clamped to the shorter side, and a radius of
// zero or less gives the plain rectangle.
void AddRoundRectPath(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float radius);
void FillRoundRect(CUiPaintContext& context, const UiRect& rect, uint32_t argb, float radius);
void FillRoundRectGradient(CUiPaintContext& context, const UiRect& rect, uint32_t argb1, uint32_t argb2,
                           Gdiplus::LinearGradientMode mode, float radius);
// Outline of a rounded rectangle whose outer edge is rect; penWidth in device pixels.
void DrawRoundRectOutline(CUiPaintContext& context, const UiRect& rect, uint32_t argb, float radius, int penWidth);
// Plain GDI fill through the context's brush cache.
void FillRectGdi(CUiPaintContext& context, const UiRect& rect, COLORREF colour);

// Gives a primitive a graphics object and removes it again if the context had none.
class TransientGraphics {
public:
    explicit TransientGraphics(CUiPaintContext& context);
    ~TransientGraphics();
    TransientGraphics(const TransientGraphics&) = delete;
    TransientGraphics& operator=(const TransientGraphics&) = delete;
    Gdiplus::Graphics* get() const { return graphics; }

private:
    CUiPaintContext& context;
    bool hadGraphics;
    Gdiplus::Graphics* graphics;
};

} // namespace UIE

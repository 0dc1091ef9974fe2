#include "ui/framework/images/UiImage.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/ImageLayerDrawing.h"
#include "ui/framework/window/PaintPipeline.h"

#include <oleacc.h>

#include <algorithm>

namespace UIE {

namespace {

bool IsDibSection(HDC dc)
{
    DIBSECTION section;
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    return bitmap && GetObjectW(bitmap, sizeof(section), &section) == static_cast<int>(sizeof(section));
}

// The part of the layer this paint can show: the control's clip within limit, and of
// that only the invalid rectangle, so a small repaint over a large image stays small.
bool VisiblePart(const CUiPaintContext& context, const RECT& limit, RECT& area)
{
    area = context.clip;
    if (context.hasPaintRect && !IntersectRect(&area, &area, &context.paintRect))
        return false;
    return IntersectRect(&area, &area, &limit) != FALSE;
}

void DrawLayer(CUiPaintContext& context, const CUiImageLayer& layer)
{
    RECT area;
    if (layer.kind == CUiImageLayer::Opaque) {
        if (VisiblePart(context, layer.key.ControlRect(), area))
            BitBlt(context.hdc, area.left, area.top, area.right - area.left, area.bottom - area.top, layer.dc.get(),
                   area.left, area.top, SRCCOPY);
        return;
    }
    if (!VisiblePart(context, RECT{0, 0, layer.width, layer.height}, area))
        return;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(context.hdc, area.left, area.top, width, height, layer.dc.get(), area.left, area.top, width, height,
                  blend);
}

} // namespace

CUiImage::CUiImage()
{
    mouseTransparent = true;
}

Gdiplus::RectF PlaceImage(float width, float height, float imageWidth, float imageHeight, int32_t fit)
{
    const float sx = width / imageWidth;
    const float sy = height / imageHeight;
    const float scale = fit == Cover ? std::max(sx, sy) : std::min(sx, sy);
    const float dw = scale * imageWidth;
    const float dh = scale * imageHeight;
    return Gdiplus::RectF((width - dw) * 0.5f, (height - dh) * 0.5f, dw, dh);
}

const CUiImageLayer* CUiImage::FindOrMakeLayer(HDC target, int originX, int originY, int dpi, uint32_t fill)
{
    // The cache's own bitmaps live until Clear, so what is drawn from them can be kept
    // as long; a repaint then copies pixels instead of converting and resampling them.
    CUiImageCache& cache = CUiImageCache::Instance();
    if (!image || image->GetWidth() < 1 || image->GetHeight() < 1 || !cache.Owns(image))
        return nullptr;
    ImageLayerKey key;
    key.source = image;
    key.width = DpiScaleAt(width, dpi);
    key.height = DpiScaleAt(height, dpi);
    key.fit = fit == Cover ? Cover : Contain;
    key.radius = DpiScaleAt(cornerRadius < 0 ? 8 : cornerRadius, dpi);
    key.background = fill;
    key.originX = originX;
    key.originY = originY;
    key.margin = GetClipMargin();
    key.dibTarget = IsDibSection(target);
    if (const CUiImageLayer* layer = cache.FindLayer(key))
        return layer;
    const Gdiplus::RectF destination =
        PlaceImage(static_cast<float>(key.width), static_cast<float>(key.height),
                   static_cast<float>(image->GetWidth()), static_cast<float>(image->GetHeight()), fit);
    return MakeImageLayer(key, target, destination);
}

void CUiImage::PrepareLayer(HDC target, int originX, int originY, int dpi)
{
    // The theme's colour without asking about high contrast, which the window thread may
    // be reading meanwhile; with high contrast on, the first paint draws its own layer.
    FindOrMakeLayer(target, originX, originY, dpi, onWindowBackground ? UiTheme.windowBackground : background);
}

void CUiImage::Paint(CUiPaintContext& context)
{
    // The paint pipeline has filled the area with the system's window colour already.
    if (hiddenInHighContrast && HighContrastOn())
        return;
    const int w = DpiScale(width);
    const int h = DpiScale(height);
    const float radius = static_cast<float>(DpiScale(cornerRadius < 0 ? 8 : cornerRadius));
    const uint32_t fill = onWindowBackground ? WindowBackgroundArgb() : background;
    const CUiImageLayer* layer = FindOrMakeLayer(context.hdc, context.originX, context.originY, GetDpiInfo().dpi, fill);
    if (layer && layer->kind == CUiImageLayer::Opaque) {
        DrawLayer(context, *layer);
        ReleaseGraphics(context);
        return;
    }
    // A fully transparent fill leaves every pixel as it was, and would cost a GDI+ pass
    // over the whole control.
    if ((fill >> 24) != 0)
        FillRoundRect(context, UiRect{0, 0, w, h}, fill, radius);
    if (!image)
        return;
    const auto imageWidth = static_cast<float>(image->GetWidth());
    const auto imageHeight = static_cast<float>(image->GetHeight());
    if (imageWidth < 1 || imageHeight < 1)
        return;
    if (layer) {
        DrawLayer(context, *layer);
    } else {
        const Gdiplus::RectF destination =
            PlaceImage(static_cast<float>(w), static_cast<float>(h), imageWidth, imageHeight, fit);
        DrawClippedImage(*GetGraphics(context), image, w, h, radius, destination);
    }
    ReleaseGraphics(context);
}

DWORD CUiImage::AccessibleRole()
{
    return accessibleName.empty() ? 0 : ROLE_SYSTEM_GRAPHIC;
}

std::wstring CUiImage::AccessibleName()
{
    return accessibleName;
}

} // namespace UIE

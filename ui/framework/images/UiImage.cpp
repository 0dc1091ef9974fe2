#include "ui/framework/images/UiImage.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/window/PaintPipeline.h"

#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace UIE {

namespace {

// The one GDI+ drawing of the image: clipped to the rounded corners, or to the
// destination when there are none. Painting and the cached layers both go through it,
// so a layer holds exactly what a direct paint would put on the target.
void DrawClippedImage(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, int width, int height, float radius,
                      const Gdiplus::RectF& destination)
{
    const Gdiplus::GraphicsContainer container = graphics.BeginContainer();
    if (radius > 0) {
        Gdiplus::GraphicsPath path;
        AddRoundRectPath(path, Gdiplus::RectF(0, 0, static_cast<float>(width), static_cast<float>(height)), radius);
        graphics.SetClip(&path, Gdiplus::CombineModeReplace);
    } else {
        graphics.SetClip(destination, Gdiplus::CombineModeReplace);
    }
    graphics.DrawImage(image, destination, 0, 0, static_cast<float>(image->GetWidth()),
                       static_cast<float>(image->GetHeight()), Gdiplus::UnitPixel);
    graphics.EndContainer(container);
}

bool IsDibSection(HDC dc)
{
    DIBSECTION section;
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    return bitmap && GetObjectW(bitmap, sizeof(section), &section) == static_cast<int>(sizeof(section));
}

COLORREF RgbToColorRef(uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void FillLayer(const CUiImageLayer& layer, uint32_t rgb)
{
    HBRUSH brush = CreateSolidBrush(RgbToColorRef(rgb));
    const RECT all{0, 0, layer.width, layer.height};
    FillRect(layer.dc, &all, brush);
    DeleteObject(brush);
}

RECT ControlRect(const ImageLayerKey& key)
{
    return RECT{key.originX, key.originY, key.originX + key.width, key.originY + key.height};
}

// Whether the background fill, drawn over a layer filled with untouched, covered every
// pixel of the control's rectangle and none around it within the clip margin: only then
// is what the control paints there the same over any backdrop.
bool FillCoversExactly(const CUiImageLayer& layer, uint32_t fill, uint32_t untouched)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = layer.width;
    info.bmiHeader.biHeight = -layer.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(layer.width) * layer.height);
    GdiFlush();
    SelectObject(layer.dc, layer.previousBitmap);
    const int read = GetDIBits(layer.dc, layer.bitmap, 0, layer.height, pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(layer.dc, layer.bitmap);
    if (read != layer.height)
        return false;
    const ImageLayerKey& key = layer.key;
    const RECT inside = ControlRect(key);
    const int right = std::min(layer.width, key.originX + key.width + key.margin);
    const int bottom = std::min(layer.height, key.originY + key.height + key.margin);
    for (int y = std::max(0, key.originY - key.margin); y < bottom; ++y)
        for (int x = std::max(0, key.originX - key.margin); x < right; ++x) {
            const POINT point{x, y};
            const uint32_t want = PtInRect(&inside, point) ? fill : untouched;
            if ((pixels[static_cast<size_t>(y) * layer.width + x] & 0xFFFFFF) != want)
                return false;
        }
    return true;
}

// Rows [top, top + rows) of a layer, drawn apart from the others: with its own DC, bitmap
// and, but for the first band, its own copy of the source, because GDI+ lets one thread at
// a time use a bitmap.
struct LayerBand {
    const ImageLayerKey* key = nullptr;
    const Gdiplus::RectF* destination = nullptr;
    Gdiplus::Bitmap* source = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> ownSource;
    int width = 0;
    int top = 0;
    int rows = 0;
    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    HGDIOBJ previousBitmap = nullptr;
};

// The one drawing of a layer's image, into the layer itself or into one band of it: the
// graphics object is set up exactly as a paint at the key's origin sets it up, moved up by
// the band's top, so GDI+ computes every pixel from the same numbers.
void DrawLayerImage(HDC dc, const ImageLayerKey& key, Gdiplus::Bitmap* source, const Gdiplus::RectF& destination,
                    int width, int top, int rows)
{
    CUiPaintContext context;
    context.Reset(dc, width, rows);
    context.originX = key.originX;
    context.originY = key.originY - top;
    context.clip = RECT{std::max(0, key.originX - key.margin), std::max(0, key.originY - key.margin) - top, width,
                        rows};
    DrawClippedImage(*GetGraphics(context), source, key.width, key.height, static_cast<float>(key.radius),
                     destination);
    ReleaseGraphics(context);
    context.hdc = nullptr;
    GdiFlush();
}

DWORD WINAPI DrawBandThread(void* parameter)
{
    auto* band = static_cast<LayerBand*>(parameter);
    DrawLayerImage(band->dc.get(), *band->key, band->source, *band->destination, band->width, band->top, band->rows);
    return 0;
}

// Whether the picture is shrunk to a half, a quarter... in both directions. Only then is
// every sample position a short binary fraction that comes out the same whichever row
// GDI+ starts counting from; at other scales a band's rows can differ in the last bit
// from those of one whole drawing, and so in a pixel.
bool ShrinksByPowerOfTwo(Gdiplus::Bitmap& source, const Gdiplus::RectF& destination)
{
    for (int shift = 1; shift < 16; ++shift) {
        const auto factor = static_cast<float>(1 << shift);
        if (destination.Width * factor == static_cast<float>(source.GetWidth()) &&
            destination.Height * factor == static_cast<float>(source.GetHeight()))
            return true;
    }
    return false;
}

// Resampling a large picture is the slowest drawing there is, and GDI+ does it on one
// core; horizontal bands drawn side by side share it among the processors.
int BandCount(const ImageLayerKey& key, const Gdiplus::RectF& destination)
{
    if (static_cast<long>(key.width) * key.height < 100000 || !ShrinksByPowerOfTwo(*key.source, destination))
        return 1;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 1 ? 2 : 1;
}

// Draws the layer's image band by band, each but the first on a thread of its own; a band
// whose thread cannot start is drawn here. Each band starts from the layer's pixels and
// goes back into it.
bool DrawLayerImageInBands(CUiImageLayer& layer, HDC target, const Gdiplus::RectF& destination, int count)
{
    std::vector<LayerBand> bands(static_cast<size_t>(count));
    const int rowsEach = (layer.height + count - 1) / count;
    for (int i = 0; i < count; ++i) {
        LayerBand& band = bands[static_cast<size_t>(i)];
        band.key = &layer.key;
        band.destination = &destination;
        band.width = layer.width;
        band.top = i * rowsEach;
        band.rows = std::min(rowsEach, layer.height - band.top);
        if (i == 0) {
            band.source = layer.key.source;
        } else {
            band.ownSource.reset(layer.key.source->Clone(0, 0, static_cast<INT>(layer.key.source->GetWidth()),
                                                         static_cast<INT>(layer.key.source->GetHeight()),
                                                         layer.key.source->GetPixelFormat()));
            band.source = band.ownSource.get();
        }
        band.dc.reset(CreateCompatibleDC(target));
        band.bitmap.reset(CreateCompatibleBitmap(target, band.width, band.rows));
        if (!band.source || !band.dc || !band.bitmap)
            return false;
        band.previousBitmap = SelectObject(band.dc.get(), band.bitmap.get());
        BitBlt(band.dc.get(), 0, 0, band.width, band.rows, layer.dc, 0, band.top, SRCCOPY);
    }
    GdiFlush();
    std::vector<UniqueKernelHandle> threads;
    for (size_t i = 1; i < bands.size(); ++i) {
        UniqueKernelHandle thread(CreateThread(nullptr, 0, &DrawBandThread, &bands[i], 0, nullptr));
        if (thread)
            threads.push_back(std::move(thread));
        else
            DrawBandThread(&bands[i]);
    }
    DrawBandThread(&bands[0]);
    for (const UniqueKernelHandle& thread : threads)
        WaitForSingleObject(thread.get(), INFINITE);
    for (LayerBand& band : bands) {
        BitBlt(layer.dc, 0, band.top, band.width, band.rows, band.dc.get(), 0, 0, SRCCOPY);
        SelectObject(band.dc.get(), band.previousBitmap);
    }
    GdiFlush();
    return true;
}

// Draws the control once into a new layer, which shares the back buffer's coordinates.
// An opaque background with square corners around a contained image is baked in when its
// fill is seen to cover the control exactly; otherwise the layer holds the image alone.
CUiImageLayer* MakeLayer(const ImageLayerKey& key, HDC target, const Gdiplus::RectF& destination)
{
    const int right = key.originX + key.width + key.margin;
    const int bottom = key.originY + key.height + key.margin;
    if (right <= 0 || bottom <= 0)
        return nullptr;
    auto layer = std::make_unique<CUiImageLayer>(key, target, right, bottom);
    if (!layer->dc)
        return nullptr;
    CUiPaintContext layerContext;
    layerContext.Reset(layer->dc, right, bottom);
    layerContext.originX = key.originX;
    layerContext.originY = key.originY;
    layerContext.clip = RECT{std::max(0, key.originX - key.margin), std::max(0, key.originY - key.margin), right,
                             bottom};

    layer->kind = CUiImageLayer::Blended;
    if ((key.background >> 24) == 0xFF && key.radius == 0 && key.fit == Contain) {
        const uint32_t fill = key.background & 0xFFFFFF;
        const uint32_t untouched = ~key.background & 0xFFFFFF;
        FillLayer(*layer, untouched);
        FillRoundRect(layerContext, UiRect{0, 0, key.width, key.height}, key.background, 0.0f);
        if (FillCoversExactly(*layer, fill, untouched))
            layer->kind = CUiImageLayer::Opaque;
    }
    ReleaseGraphics(layerContext);
    layerContext.hdc = nullptr;
    if (layer->kind == CUiImageLayer::Blended)
        FillLayer(*layer, 0);
    GdiFlush();
    const int bands = BandCount(key, destination);
    if (bands == 1 || !DrawLayerImageInBands(*layer, target, destination, bands))
        DrawLayerImage(layer->dc, key, key.source, destination, right, 0, bottom);
    return CUiImageCache::Instance().AddLayer(std::move(layer));
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
        if (VisiblePart(context, ControlRect(layer.key), area))
            BitBlt(context.hdc, area.left, area.top, area.right - area.left, area.bottom - area.top, layer.dc,
                   area.left, area.top, SRCCOPY);
        return;
    }
    if (!VisiblePart(context, RECT{0, 0, layer.width, layer.height}, area))
        return;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(context.hdc, area.left, area.top, width, height, layer.dc, area.left, area.top, width, height,
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
    return MakeLayer(key, target, destination);
}

void CUiImage::PrepareLayer(HDC target, int originX, int originY, int dpi)
{
    // The theme's colour without asking about high contrast, which the window thread may
    // be reading meanwhile; with high contrast on, the first paint draws its own layer.
    FindOrMakeLayer(target, originX, originY, dpi, onWindowBackground ? UiTheme.windowBackground : background);
}

void CUiImage::Paint(CUiPaintContext& context)
{
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

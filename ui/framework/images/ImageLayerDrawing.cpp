#include "ui/framework/images/ImageLayerDrawing.h"

#include "base/UniqueHandle.h"
#include "ui/framework/drawing/PaintContext.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/images/UiImage.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace UIE {

namespace {

COLORREF RgbToColorRef(uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void FillLayer(const CUiImageLayer& layer, uint32_t rgb)
{
    const Base::UniqueBrush brush(CreateSolidBrush(RgbToColorRef(rgb)));
    const RECT all{0, 0, layer.width, layer.height};
    FillRect(layer.dc.get(), &all, brush.get());
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
    SelectObject(layer.dc.get(), layer.previousBitmap);
    const int read =
        GetDIBits(layer.dc.get(), layer.bitmap.get(), 0, layer.height, pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(layer.dc.get(), layer.bitmap.get());
    if (read != layer.height)
        return false;
    const ImageLayerKey& key = layer.key;
    const RECT inside = key.ControlRect();
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
    // Declared before the DC, so it is freed after it: a bitmap still selected into a DC
    // cannot be deleted, and a DC goes with its bitmap selected.
    Base::UniqueBitmap bitmap;
    Base::UniqueMemoryDc dc;
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
        SelectObject(band.dc.get(), band.bitmap.get());
        BitBlt(band.dc.get(), 0, 0, band.width, band.rows, layer.dc.get(), 0, band.top, SRCCOPY);
    }
    GdiFlush();
    std::vector<Base::UniqueKernelHandle> threads;
    for (size_t i = 1; i < bands.size(); ++i) {
        Base::UniqueKernelHandle thread(CreateThread(nullptr, 0, &DrawBandThread, &bands[i], 0, nullptr));
        if (thread)
            threads.push_back(std::move(thread));
        else
            DrawBandThread(&bands[i]);
    }
    DrawBandThread(&bands[0]);
    for (const Base::UniqueKernelHandle& thread : threads)
        WaitForSingleObject(thread.get(), INFINITE);
    for (const LayerBand& band : bands)
        BitBlt(layer.dc.get(), 0, band.top, band.width, band.rows, band.dc.get(), 0, 0, SRCCOPY);
    GdiFlush();
    return true;
}

// A blended layer's image, drawn by GDI+ into a bitmap over the layer's own pixels:
// cleared to transparent black, every pixel GDI+ touches gets premultiplied colour and
// the alpha GDI+ computed for it, and the rest stays zero.
void DrawBlendedLayerImage(CUiImageLayer& layer, const Gdiplus::RectF& destination)
{
    const ImageLayerKey& key = layer.key;
    GdiFlush();
    std::fill(layer.bits, layer.bits + static_cast<size_t>(layer.width) * layer.height, 0u);
    {
        Gdiplus::Bitmap pixels(layer.width, layer.height, layer.width * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(layer.bits));
        Gdiplus::Graphics graphics(&pixels);
        CUiPaintContext context;
        context.Reset(nullptr, layer.width, layer.height);
        context.originX = key.originX;
        context.originY = key.originY;
        context.clip = RECT{std::max(0, key.originX - key.margin), std::max(0, key.originY - key.margin),
                            layer.width, layer.height};
        SetUpGraphics(graphics, context);
        DrawClippedImage(graphics, key.source, key.width, key.height, static_cast<float>(key.radius), destination);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
}

} // namespace

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

CUiImageLayer* MakeImageLayer(const ImageLayerKey& key, HDC target, const Gdiplus::RectF& destination)
{
    const int right = key.originX + key.width + key.margin;
    const int bottom = key.originY + key.height + key.margin;
    if (right <= 0 || bottom <= 0)
        return nullptr;
    if ((key.background >> 24) == 0xFF && key.radius == 0 && key.fit == Contain) {
        auto layer = std::make_unique<CUiImageLayer>(key, target, right, bottom, CUiImageLayer::Opaque);
        if (!layer->dc)
            return nullptr;
        CUiPaintContext layerContext;
        layerContext.Reset(layer->dc.get(), right, bottom);
        layerContext.originX = key.originX;
        layerContext.originY = key.originY;
        layerContext.clip = RECT{std::max(0, key.originX - key.margin), std::max(0, key.originY - key.margin),
                                 right, bottom};
        const uint32_t fill = key.background & 0xFFFFFF;
        const uint32_t untouched = ~key.background & 0xFFFFFF;
        FillLayer(*layer, untouched);
        FillRoundRect(layerContext, UiRect{0, 0, key.width, key.height}, key.background, 0.0f);
        ReleaseGraphics(layerContext);
        layerContext.hdc = nullptr;
        if (FillCoversExactly(*layer, fill, untouched)) {
            GdiFlush();
            const int bands = BandCount(key, destination);
            if (bands == 1 || !DrawLayerImageInBands(*layer, target, destination, bands))
                DrawLayerImage(layer->dc.get(), key, key.source, destination, right, 0, bottom);
            return CUiImageCache::Instance().AddLayer(std::move(layer));
        }
    }
    auto layer = std::make_unique<CUiImageLayer>(key, target, right, bottom, CUiImageLayer::Blended);
    if (!layer->dc || !layer->bits)
        return nullptr;
    DrawBlendedLayerImage(*layer, destination);
    return CUiImageCache::Instance().AddLayer(std::move(layer));
}

} // namespace UIE

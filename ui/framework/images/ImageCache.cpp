#include "ui/framework/images/ImageCache.h"

#include "ui/framework/images/ResourceData.h"

#include "base/UniqueHandle.h"
#include "ui/framework/base/Dpi.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace UIE {

namespace {

// Keys are built without the printf family, which would add its whole formatting engine
// to the exe for these two keys; the digits are those of %u and %d.
std::wstring Decimal(long long value)
{
    wchar_t digits[24];
    wchar_t* end = digits + 24;
    wchar_t* first = end;
    unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value) : value;
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--first = L'-';
    return std::wstring(first, end);
}

std::wstring ResourceKey(unsigned id)
{
    return L"res://" + Decimal(id);
}

std::wstring SizeSuffix(int width, int height)
{
    return L"|" + Decimal(width) + L"x" + Decimal(height);
}

// The decoder reads the stream lazily for as long as the bitmap lives, so the
// stream owns a private copy of the resource bytes.
std::unique_ptr<Gdiplus::Bitmap> DecodeResource(HMODULE module, unsigned id)
{
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!FindRcData(module, id, bytes, size))
        return nullptr;
    Base::UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block)
        return nullptr;
    if (void* target = GlobalLock(block.get())) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(block.get());
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &stream)) || !stream)
        return nullptr;
    // The stream frees the block when its last reference goes.
    block.release();
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream));
    stream->Release();
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

} // namespace

bool ImageLayerKey::operator==(const ImageLayerKey& other) const
{
    return source == other.source && width == other.width && height == other.height && fit == other.fit &&
           radius == other.radius && background == other.background && originX == other.originX && originY == other.originY &&
           margin == other.margin && dibTarget == other.dibTarget;
}

CUiImageLayer::CUiImageLayer(const ImageLayerKey& layerKey, HDC target, int layerWidth, int layerHeight,
                             Kind layerKind)
    : key(layerKey), kind(layerKind), width(layerWidth), height(layerHeight)
{
    if (kind == Opaque) {
        // Compatible with the target, so that GDI+ takes the same road drawing into the
        // layer as it would drawing into the target itself.
        bitmap.reset(CreateCompatibleBitmap(target, width, height));
    } else {
        // What GDI+ leaves in the alpha byte of a device bitmap is not documented, and
        // AlphaBlend reads that byte: a bitmap of known format has a known alpha.
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        bitmap.reset(CreateDIBSection(target, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        bits = static_cast<uint32_t*>(pixels);
    }
    if (!bitmap)
        return;
    dc.reset(CreateCompatibleDC(target));
    if (!dc)
        return;
    previousBitmap = SelectObject(dc.get(), bitmap.get());
}

CUiImageLayer::~CUiImageLayer()
{
    // A bitmap still selected into a DC cannot be deleted.
    if (dc)
        SelectObject(dc.get(), previousBitmap);
}

CUiImageCache& CUiImageCache::Instance()
{
    static CUiImageCache cache;
    return cache;
}

CUiImageCache::~CUiImageCache()
{
    Clear();
}

Gdiplus::Bitmap* CUiImageCache::Find(const std::wstring& key) const
{
    auto found = bitmaps.find(key);
    return found == bitmaps.end() ? nullptr : found->second.get();
}

Gdiplus::Bitmap* CUiImageCache::Keep(const std::wstring& key, std::unique_ptr<Gdiplus::Bitmap> bitmap)
{
    Gdiplus::Bitmap* kept = bitmap.get();
    if (kept)
        bitmaps[key] = std::move(bitmap);
    return kept;
}

Gdiplus::Bitmap* CUiImageCache::LoadResourceImage(HMODULE module, unsigned id)
{
    const std::wstring key = ResourceKey(id);
    if (Gdiplus::Bitmap* cached = Find(key))
        return cached;
    return Keep(key, DecodeResource(module, id));
}

std::unique_ptr<Gdiplus::Bitmap> MakeScaledCopy(Gdiplus::Bitmap* source, int width, int height)
{
    std::unique_ptr<Gdiplus::Bitmap> copy(new Gdiplus::Bitmap(width, height, PixelFormat32bppPARGB));
    Gdiplus::Graphics graphics(copy.get());
    graphics.Clear(Gdiplus::Color(0x00000000));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.DrawImage(source, 0, 0, width, height);
    return copy;
}

Gdiplus::Bitmap* CUiImageCache::LoadScaledResourceImage(unsigned id, int width, int height)
{
    const int w = std::max(1, DpiScale(width));
    const int h = std::max(1, DpiScale(height));
    const std::wstring key = ResourceKey(id) + SizeSuffix(w, h);
    if (Gdiplus::Bitmap* cached = Find(key))
        return cached;
    Gdiplus::Bitmap* source = LoadResourceImage(nullptr, id);
    if (!source)
        return nullptr;
    return Keep(key, MakeScaledCopy(source, w, h));
}

Gdiplus::Bitmap* CUiImageCache::LoadScaledFileImage(const std::wstring& path)
{
    // A path written like a resource key would be served a resource's bitmap.
    if (path.compare(0, 6, L"res://") == 0)
        return nullptr;
    const int w = std::max(1, DpiScale(30));
    const int h = std::max(1, DpiScale(30));
    const std::wstring key = path + SizeSuffix(w, h);
    if (Gdiplus::Bitmap* cached = Find(key))
        return cached;
    Gdiplus::Bitmap* source = Find(path);
    if (!source) {
        std::unique_ptr<Gdiplus::Bitmap> decoded(new Gdiplus::Bitmap(path.c_str()));
        if (decoded->GetLastStatus() != Gdiplus::Ok)
            return nullptr;
        source = Keep(path, std::move(decoded));
    }
    return Keep(key, MakeScaledCopy(source, w, h));
}

bool CUiImageCache::Owns(const Gdiplus::Bitmap* bitmap) const
{
    if (!bitmap)
        return false;
    for (const auto& entry : bitmaps)
        if (entry.second.get() == bitmap)
            return true;
    return false;
}

CUiImageLayer* CUiImageCache::FindLayer(const ImageLayerKey& key) const
{
    for (const auto& layer : layers)
        if (layer->key == key)
            return layer.get();
    return nullptr;
}

CUiImageLayer* CUiImageCache::AddLayer(std::unique_ptr<CUiImageLayer> layer)
{
    // A bitmap the cache does not own may be deleted and its address reused.
    if (!layer || !Owns(layer->key.source))
        return nullptr;
    layers.push_back(std::move(layer));
    return layers.back().get();
}

void CUiImageCache::Clear()
{
    // Layers first: their keys point at the bitmaps.
    layers.clear();
    bitmaps.clear();
}

} // namespace UIE

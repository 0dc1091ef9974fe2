#include "ui/framework/images/SvgIcon.h"

#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/images/ResourceData.h"

#include <nanosvg.h>
#include <nanosvgrast.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace UIE {

void NsvgImageDeleter::operator()(NSVGimage* image) const
{
    nsvgDelete(image);
}

std::wstring FormatRasterKey(const std::wstring& sourceKey, int width, int height, int32_t colour)
{
    wchar_t size[64];
    swprintf(size, 64, L"|%dx%d|%d", width, height, static_cast<int>(colour));
    return sourceKey + size;
}

CUiSvgIcon::~CUiSvgIcon() = default;

bool CUiSvgIcon::LoadFromResource(HMODULE module, int id)
{
    const void* data = nullptr;
    DWORD size = 0;
    if (!FindRcData(module, static_cast<unsigned>(id), data, size))
        return false;
    const char* bytes = static_cast<const char*>(data);
    wchar_t key[32];
    swprintf(key, 32, L"res://%d", id);
    sourceKey = key;
    // The resource is not zero-terminated; Parse adds the terminator to its own copy.
    return Parse(std::string(bytes, size));
}

bool CUiSvgIcon::Parse(const std::string& text)
{
    image.reset();
    if (text.empty())
        return false;
    // nsvgParse writes into its input while tokenising.
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    image.reset(nsvgParse(copy.data(), "px", 96.0f));
    return image != nullptr;
}

namespace {

// NanoSVG delivers straight RGBA; GDI+ wants premultiplied BGRA.
void ToPremultipliedBgra(unsigned char* pixels, size_t count, int32_t colour)
{
    const bool tint = colour >= 0;
    const unsigned tintRed = (static_cast<uint32_t>(colour) >> 16) & 0xFF;
    const unsigned tintGreen = (static_cast<uint32_t>(colour) >> 8) & 0xFF;
    const unsigned tintBlue = static_cast<uint32_t>(colour) & 0xFF;
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        const unsigned a = pixels[3];
        const unsigned red = tint ? tintRed : pixels[0];
        const unsigned green = tint ? tintGreen : pixels[1];
        const unsigned blue = tint ? tintBlue : pixels[2];
        pixels[0] = static_cast<unsigned char>(blue * a / 255);
        pixels[1] = static_cast<unsigned char>(green * a / 255);
        pixels[2] = static_cast<unsigned char>(red * a / 255);
    }
}

std::unique_ptr<Gdiplus::Bitmap> ToBitmap(const unsigned char* pixels, int width, int height)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(width, height, PixelFormat32bppPARGB));
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data{};
    // A failed lock leaves its status on the bitmap; the (empty) raster is still used.
    if (bitmap->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
        const size_t rowBytes = static_cast<size_t>(width) * 4;
        auto* target = static_cast<unsigned char*>(data.Scan0);
        for (int y = 0; y < height; ++y)
            std::memcpy(target + static_cast<ptrdiff_t>(y) * data.Stride, pixels + y * rowBytes, rowBytes);
        bitmap->UnlockBits(&data);
    }
    return bitmap;
}

} // namespace

Gdiplus::Bitmap* CUiSvgIcon::Rasterize(int width, int height, int32_t colour)
{
    const std::wstring key = FormatRasterKey(sourceKey, width, height, colour);
    auto found = rasters.find(key);
    if (found != rasters.end()) {
        found->second.lastUse = GetTickCount();
        return found->second.bitmap.get();
    }
    if (!image || image->width <= 0 || image->height <= 0 || width < 1 || height < 1)
        return nullptr;
    // NanoSVG indexes the buffer with int.
    if (width > INT_MAX / 4 / height)
        return nullptr;

    float scale = width / image->width;
    if (height / image->height < scale)
        scale = height / image->height;

    const size_t count = static_cast<size_t>(width) * height;
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[count * 4]());
    if (!pixels)
        return nullptr;
    NSVGrasterizer* rasterizer = nsvgCreateRasterizer();
    if (!rasterizer)
        return nullptr;
    nsvgRasterize(rasterizer, image.get(), 0.0f, 0.0f, scale, pixels.get(), width, height, width * 4);
    nsvgDeleteRasterizer(rasterizer);
    ToPremultipliedBgra(pixels.get(), count, colour);

    std::unique_ptr<Gdiplus::Bitmap> bitmap = ToBitmap(pixels.get(), width, height);
    if (rasters.size() >= MaxRasters)
        EvictLeastRecentlyUsed();
    RasterEntry& entry = rasters[key];
    entry.bitmap = std::move(bitmap);
    entry.lastUse = GetTickCount();
    return entry.bitmap.get();
}

void CUiSvgIcon::EvictLeastRecentlyUsed()
{
    auto oldest = rasters.begin();
    // Strictly older only, so equal times leave the first key in order as the victim.
    for (auto it = rasters.begin(); it != rasters.end(); ++it) {
        if (it->second.lastUse < oldest->second.lastUse)
            oldest = it;
    }
    if (oldest != rasters.end())
        rasters.erase(oldest);
}

void CUiSvgIcon::Draw(CUiPaintContext& context, int x, int y, int width, int height, int32_t colour)
{
    if (!image || width < 1 || height < 1)
        return;
    Gdiplus::Bitmap* bitmap = Rasterize(width, height, colour);
    if (!bitmap)
        return;
    TransientGraphics graphics(context);
    graphics.get()->DrawImage(bitmap, Gdiplus::Rect(x, y, width, height));
}

} // namespace UIE

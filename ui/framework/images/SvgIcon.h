#pragma once
#include "ui/framework/base/Gdiplus.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct NSVGimage;

namespace UIE {

class CUiPaintContext;

struct NsvgImageDeleter {
    void operator()(NSVGimage* image) const;
};

// One cached raster of an icon.
struct RasterEntry {
    std::unique_ptr<Gdiplus::Bitmap> bitmap; // 32bpp premultiplied ARGB
    uint64_t lastUse = 0;                    // GetTickCount at insertion or at the last hit
};

// One parsed SVG image and its rasters at the sizes and colours asked for so far.
class CUiSvgIcon {
public:
    // At most this many rasters are kept; the least recently used one goes first.
    static constexpr size_t MaxRasters = 32;

    CUiSvgIcon() = default;
    ~CUiSvgIcon();
    CUiSvgIcon(const CUiSvgIcon&) = delete;
    CUiSvgIcon& operator=(const CUiSvgIcon&) = delete;

    // Parses the RCDATA resource id of module; false when missing, empty or not parsed.
    bool LoadFromResource(HMODULE module, int id);
    // Parses UTF-8 SVG text, replacing any earlier image; true when NanoSVG made an image.
    bool Parse(const std::string& text);
    // A raster of width × height device pixels owned by the icon; colour >= 0 tints it
    // 0x00RRGGBB, a negative colour keeps the icon's own colours. Null when none can be made.
    Gdiplus::Bitmap* Rasterize(int width, int height, int32_t colour);
    // Draws the raster at (x, y) in the context's current coordinates.
    void Draw(CUiPaintContext& context, int x, int y, int width, int height, int32_t colour);

    // True once a parse has produced an image, even an empty one.
    bool HasImage() const { return image != nullptr; }
    // "res://<id>" once a resource was found, empty before.
    const std::wstring& SourceKey() const { return sourceKey; }
    // The rasters by raster key.
    const std::map<std::wstring, RasterEntry>& Rasters() const { return rasters; }

private:
    void EvictLeastRecentlyUsed();

    std::unique_ptr<NSVGimage, NsvgImageDeleter> image;
    std::wstring sourceKey;
    std::map<std::wstring, RasterEntry> rasters;
};

// The cache key of one raster: "<source key>|<width>x<height>|<colour>".
std::wstring FormatRasterKey(const std::wstring& sourceKey, int width, int height, int32_t colour);

} // namespace UIE

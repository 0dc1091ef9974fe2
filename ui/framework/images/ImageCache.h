#pragma once
#include "base/UniqueHandle.h"
#include "ui/framework/base/Gdiplus.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace UIE {

// Everything the pixels of an image control's drawing depend on: the bitmap, the
// control's device size, fit, corner radius and background, where it sits in the back
// buffer, its clip margin, and whether the target is a DIB section (GDI+ draws into
// those another way).
struct ImageLayerKey {
    Gdiplus::Bitmap* source = nullptr;
    int width = 0;
    int height = 0;
    int32_t fit = 0;
    int radius = 0;
    uint32_t background = 0;
    int originX = 0;
    int originY = 0;
    int margin = 0;
    bool dibTarget = false;
    bool operator==(const ImageLayerKey& other) const;
    // The control's own rectangle in the back buffer.
    RECT ControlRect() const { return RECT{originX, originY, originX + width, originY + height}; }
};

// An image control's drawing made once and kept; its pixel (x, y) belongs at (x, y) of
// the back buffer. A blended layer holds the image drawn onto transparent black: the
// premultiplied pixels GDI+ would blend onto the target, in a 32-bit DIB section whose
// alpha GDI+ writes as a bitmap's, not as a device's. An opaque layer holds the control's
// background and image as they come out over any backdrop, to be copied.
class CUiImageLayer {
public:
    enum Kind { Blended, Opaque };

    // An uninitialised layer of kind, width × height: an opaque one compatible with
    // target, a blended one a top-down 32-bit DIB section; dc is null on failure.
    CUiImageLayer(const ImageLayerKey& key, HDC target, int width, int height, Kind kind);
    ~CUiImageLayer();
    CUiImageLayer(const CUiImageLayer&) = delete;
    CUiImageLayer& operator=(const CUiImageLayer&) = delete;

    ImageLayerKey key;
    Kind kind = Blended;
    int width;
    int height;
    Base::UniqueBitmap bitmap;
    Base::UniqueMemoryDc dc;
    HGDIOBJ previousBitmap = nullptr;
    uint32_t* bits = nullptr; // a blended layer's premultiplied ARGB pixels, rows top down
};

// Process-wide store of decoded bitmaps; it owns every bitmap it returns, and callers
// borrow them until Clear.
class CUiImageCache {
public:
    static CUiImageCache& Instance();
    ~CUiImageCache();

    // The RCDATA resource id of module, decoded once.
    Gdiplus::Bitmap* LoadResourceImage(HMODULE module, unsigned id);
    // A resource of the executable stretched to (width × height) logical pixels.
    Gdiplus::Bitmap* LoadScaledResourceImage(unsigned id, int width, int height);
    // An image file stretched to 30 × 30 logical pixels.
    Gdiplus::Bitmap* LoadScaledFileImage(const std::wstring& path);
    // Deletes every bitmap and layer; must run before GDI+ shuts down.
    void Clear();
    size_t Size() const { return bitmaps.size(); }
    bool Contains(const std::wstring& key) const { return bitmaps.count(key) != 0; }

    // True for a bitmap this cache returned and still holds.
    bool Owns(const Gdiplus::Bitmap* bitmap) const;
    // The layer stored under key, or null.
    CUiImageLayer* FindLayer(const ImageLayerKey& key) const;
    // Stores a layer of one of this cache's bitmaps; returns it, or null (and deletes
    // it) when its source is not one of them.
    CUiImageLayer* AddLayer(std::unique_ptr<CUiImageLayer> layer);
    size_t LayerCount() const { return layers.size(); }

private:
    CUiImageCache() = default;
    Gdiplus::Bitmap* Find(const std::wstring& key) const;
    // Stores bitmap under key unless it is null; returns it.
    Gdiplus::Bitmap* Keep(const std::wstring& key, std::unique_ptr<Gdiplus::Bitmap> bitmap);

    std::map<std::wstring, std::unique_ptr<Gdiplus::Bitmap>> bitmaps;
    std::vector<std::unique_ptr<CUiImageLayer>> layers;
};

// Copy of source stretched to exactly (width × height) device pixels, premultiplied ARGB.
std::unique_ptr<Gdiplus::Bitmap> MakeScaledCopy(Gdiplus::Bitmap* source, int width, int height);

} // namespace UIE

#pragma once
#include "ui/framework/base/Gdiplus.h"

#include <map>
#include <string>

namespace UIE {

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
    // Deletes every bitmap; must run before GDI+ shuts down.
    void Clear();
    size_t Size() const { return bitmaps.size(); }
    bool Contains(const std::wstring& key) const { return bitmaps.count(key) != 0; }

private:
    CUiImageCache() = default;
    Gdiplus::Bitmap* Find(const std::wstring& key) const;

    std::map<std::wstring, Gdiplus::Bitmap*> bitmaps;
};

// Copy of source stretched to exactly (width × height) device pixels, premultiplied ARGB.
Gdiplus::Bitmap* MakeScaledCopy(Gdiplus::Bitmap* source, int width, int height);

} // namespace UIE

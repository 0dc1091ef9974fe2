#pragma once
#include "ui/framework/base/Gdiplus.h"

#include <cstdint>
#include <vector>

namespace icontest {

// The pixels of a bitmap as 0xAARRGGBB values, read back in its premultiplied format.
struct PixelGrid {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // True when every pixel of the rectangle [x0, x1) × [y0, y1) equals value.
    bool All(int x0, int y0, int x1, int y1, uint32_t value) const;
};

PixelGrid ReadPixels(Gdiplus::Bitmap& bitmap);

// Returns once GetTickCount has moved on, so later uses get a strictly newer time.
void WaitForNextTick();

// Counts calls of FindResourceW made anywhere in this program while it lives, by
// redirecting the program's import slot for it.
class ResourceLookupCounter {
public:
    ResourceLookupCounter();
    ~ResourceLookupCounter();
    ResourceLookupCounter(const ResourceLookupCounter&) = delete;
    ResourceLookupCounter& operator=(const ResourceLookupCounter&) = delete;

    int Count() const;
};

} // namespace icontest

#pragma once
#include "base/UniqueHandle.h"

namespace UIE {

// The off-screen bitmap a window paints into: a memory DC with a compatible bitmap
// selected into it. Release and the destructor put the DC's first bitmap back before
// freeing, and a failure half-way through Ensure leaves nothing behind.
// The buffer is kept between paints as the window's last frame; the stale rectangle bounds
// the part that no longer shows the controls' current state and must be drawn again
// before it is copied to the screen. A new buffer is stale as a whole.
class CBackBuffer {
public:
    CBackBuffer() = default;
    ~CBackBuffer();
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // Keeps the buffer when it has this size, else makes one compatible with reference;
    // false, with the buffer empty, when GDI refuses.
    bool Ensure(HDC reference, int width, int height);
    // Frees the DC and bitmap; the size becomes 0 × 0.
    void Release();

    // Adds area (null: the whole buffer) to the stale rectangle.
    void MarkStale(const RECT* area);
    // area has been drawn: the stale mark goes when area covers it, else it stays whole,
    // since the mark is one bounding rectangle.
    void MarkDrawn(const RECT& area);
    // The stale part of area; false when none of it is stale.
    bool StalePart(const RECT& area, RECT& part) const;
    const RECT& Stale() const { return stale; }

    HDC Dc() const { return dc.get(); }
    HBITMAP Bitmap() const { return bitmap.get(); }
    int Width() const { return width; }
    int Height() const { return height; }

private:
    Base::UniqueMemoryDc dc;
    Base::UniqueBitmap bitmap;
    HGDIOBJ previousBitmap = nullptr; // the DC's own bitmap while ours is selected
    int width = 0;
    int height = 0;
    RECT stale{};
};

} // namespace UIE

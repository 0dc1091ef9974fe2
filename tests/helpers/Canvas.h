#pragma once
#include "base/UniqueHandle.h"

#include <cstdint>

namespace zmxtest {

// A 32-bit top-down DIB section selected into a memory DC; pixels are read straight
// from its bits as 0x00RRGGBB after pending GDI work is flushed.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(0xFF, 0xFF, 0xFF));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc.get(); }
    int Width() const { return width; }
    int Height() const { return height; }
    void Fill(COLORREF colour);
    // 0x00RRGGBB; a pixel off the canvas fails the test and reads 0.
    uint32_t At(int x, int y) const;
    // Copies (0, 0, width, height) of another DC into this canvas.
    void CopyFrom(HDC source);

private:
    int width;
    int height;
    Base::UniqueMemoryDc dc;
    Base::UniqueBitmap bitmap;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
};

} // namespace zmxtest

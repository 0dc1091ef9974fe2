#include "helpers/Canvas.h"

#include <gtest/gtest.h>

namespace zmxtest {

Canvas::Canvas(int w, int h, COLORREF fill) : width(w), height(h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    dc.reset(CreateCompatibleDC(nullptr));
    bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    bits = static_cast<uint32_t*>(pixels);
    previous = SelectObject(dc.get(), bitmap.get());
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(dc.get(), previous);
}

void Canvas::Fill(COLORREF colour)
{
    GdiFlush();
    const uint32_t rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; bits && i < width * height; ++i)
        bits[i] = rgb;
}

uint32_t Canvas::At(int x, int y) const
{
    GdiFlush();
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is off the canvas";
        return 0;
    }
    return bits[y * width + x] & 0xFFFFFF;
}

void Canvas::CopyFrom(HDC source)
{
    BitBlt(dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
}

} // namespace zmxtest

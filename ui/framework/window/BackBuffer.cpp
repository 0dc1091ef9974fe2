#include "ui/framework/window/BackBuffer.h"

namespace UIE {

CBackBuffer::~CBackBuffer()
{
    Release();
}

bool CBackBuffer::Ensure(HDC reference, int newWidth, int newHeight)
{
    if (dc && width == newWidth && height == newHeight)
        return true;
    Release();
    UniqueMemoryDc newDc(CreateCompatibleDC(reference));
    UniqueBitmap newBitmap(CreateCompatibleBitmap(reference, newWidth, newHeight));
    if (!newDc || !newBitmap)
        return false;
    const HGDIOBJ previous = SelectObject(newDc.get(), newBitmap.get());
    if (!previous || previous == HGDI_ERROR)
        return false;
    dc = std::move(newDc);
    bitmap = std::move(newBitmap);
    previousBitmap = previous;
    width = newWidth;
    height = newHeight;
    return true;
}

void CBackBuffer::Release()
{
    // A bitmap still selected into a DC cannot be deleted.
    if (dc)
        SelectObject(dc.get(), previousBitmap);
    bitmap.reset();
    dc.reset();
    previousBitmap = nullptr;
    width = 0;
    height = 0;
}

} // namespace UIE

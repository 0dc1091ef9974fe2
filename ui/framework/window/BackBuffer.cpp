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
    Base::UniqueMemoryDc newDc(CreateCompatibleDC(reference));
    Base::UniqueBitmap newBitmap(CreateCompatibleBitmap(reference, newWidth, newHeight));
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
    stale = RECT{0, 0, width, height};
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
    stale = RECT{};
}

void CBackBuffer::MarkStale(const RECT* area)
{
    // Kept within the buffer, so that a paint of the whole client can always clear it.
    const RECT whole{0, 0, width, height};
    RECT inside{};
    if (!area)
        inside = whole;
    else if (!IntersectRect(&inside, area, &whole))
        return;
    UnionRect(&stale, &stale, &inside);
}

void CBackBuffer::MarkDrawn(const RECT& area)
{
    RECT covered{};
    UnionRect(&covered, &area, &stale);
    if (EqualRect(&covered, &area))
        stale = RECT{};
}

bool CBackBuffer::StalePart(const RECT& area, RECT& part) const
{
    return IntersectRect(&part, &area, &stale) != FALSE;
}

} // namespace UIE

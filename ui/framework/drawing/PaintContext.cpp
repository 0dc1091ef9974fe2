#include "ui/framework/drawing/PaintContext.h"

#include <algorithm>

namespace UIE {

void CUiPaintContext::Reset(HDC dc, int width, int height)
{
    hdc = dc;
    originX = 0;
    originY = 0;
    clip = RECT{0, 0, width, height};
    clipStack.clear();
    hasPaintRect = false;
}

void CUiPaintContext::PushClip(const UiRect& rect, int margin)
{
    ClipState state;
    state.originX = originX;
    state.originY = originY;
    state.clip = clip;
    state.savedDc = SaveDC(hdc);
    state.hadGraphics = graphics != nullptr;
    if (graphics)
        state.graphicsState = graphics->Save();
    clipStack.push_back(state);

    const int ax = originX + rect.x;
    const int ay = originY + rect.y;
    const RECT bounds{ax - margin, ay - margin, ax + rect.width + margin, ay + rect.height + margin};
    IntersectClipRect(hdc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    clip.left = std::max(clip.left, bounds.left);
    clip.top = std::max(clip.top, bounds.top);
    clip.right = std::min(clip.right, bounds.right);
    clip.bottom = std::min(clip.bottom, bounds.bottom);

    if (graphics) {
        graphics->IntersectClip(Gdiplus::Rect(rect.x - margin, rect.y - margin, rect.width + 2 * margin,
                                              rect.height + 2 * margin));
        graphics->TranslateTransform(static_cast<Gdiplus::REAL>(rect.x), static_cast<Gdiplus::REAL>(rect.y),
                                     Gdiplus::MatrixOrderPrepend);
    }
    originX = ax;
    originY = ay;
}

void CUiPaintContext::PopClip()
{
    if (clipStack.empty())
        return;
    const ClipState state = clipStack.back();
    clipStack.pop_back();
    if (state.hadGraphics && graphics)
        graphics->Restore(state.graphicsState);
    RestoreDC(hdc, state.savedDc);
    originX = state.originX;
    originY = state.originY;
    clip = state.clip;
}

} // namespace UIE

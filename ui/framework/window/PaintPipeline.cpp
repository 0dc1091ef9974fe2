#include "ui/framework/window/PaintPipeline.h"

#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/window/BackBuffer.h"
#include "ui/framework/window/UiControl.h"

namespace UIE {

namespace {

bool Intersects(const UiRect& rect, const RECT& area)
{
    const RECT bounds{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    RECT overlap;
    return IntersectRect(&overlap, &bounds, &area) != FALSE;
}

} // namespace

void PaintControlTree(CUiControl* control, CUiPaintContext& context)
{
    if (!control->visible)
        return;
    context.PushClip(control->GetDeviceRect(), control->GetClipMargin());
    RECT visible;
    const bool skip = context.hasPaintRect && !IntersectRect(&visible, &context.clip, &context.paintRect);
    if (!skip) {
        control->Paint(context);
        for (CUiControl* child : control->children)
            PaintControlTree(child, context);
        control->PaintOverlay(context);
    }
    context.PopClip();
}

bool PaintIntoBackBuffer(CBackBuffer& buffer, CUiPaintContext& context, const std::vector<CUiControl*>& roots,
                         HDC reference, int clientWidth, int clientHeight, const RECT& paintRect)
{
    if (!buffer.Ensure(reference, clientWidth, clientHeight))
        return false;
    const HDC target = buffer.Dc();
    context.Reset(target, clientWidth, clientHeight);
    SetBkMode(target, TRANSPARENT);
    context.paintRect = paintRect;
    context.hasPaintRect = true;
    // Whatever a control draws beyond the paint rectangle would land, unerased, on the
    // kept frame that later paints copy to the screen.
    const int savedDc = SaveDC(target);
    IntersectClipRect(target, paintRect.left, paintRect.top, paintRect.right, paintRect.bottom);
    IntersectRect(&context.clip, &context.clip, &paintRect);

    const UiRect fill{paintRect.left, paintRect.top, paintRect.right - paintRect.left,
                      paintRect.bottom - paintRect.top};
    FillRectGdi(context, fill, ArgbToColorRef(WindowBackgroundArgb()));
    for (CUiControl* control : roots)
        if (Intersects(control->GetDeviceRect(), paintRect))
            PaintControlTree(control, context);

    ReleaseGraphics(context);
    context.clipStack.clear();
    RestoreDC(target, savedDc);
    context.hdc = nullptr;
    buffer.MarkDrawn(paintRect);
    return true;
}

uint32_t WindowBackgroundArgb()
{
    return HighContrastOn() ? SystemColourArgb(COLOR_WINDOW) : UiTheme.windowBackground;
}

void RunPaintPipeline(HWND window, CBackBuffer& buffer, CUiPaintContext& context,
                      const std::vector<CUiControl*>& roots)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (dc && width > 0 && height > 0 && buffer.Ensure(dc, width, height)) {
        // Only what changed is drawn again; the rest of the update rectangle (uncovered,
        // restored, repainted by the system) is the kept frame as it is.
        const RECT& area = paint.rcPaint;
        RECT redraw{};
        if (buffer.StalePart(area, redraw))
            PaintIntoBackBuffer(buffer, context, roots, dc, width, height, redraw); // a mark reaching beyond area stays
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer.Dc(), area.left,
               area.top, SRCCOPY);
    }
    EndPaint(window, &paint);
}

} // namespace UIE

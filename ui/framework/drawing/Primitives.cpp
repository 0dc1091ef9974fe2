#include "ui/framework/drawing/Primitives.h"

#include <algorithm>

namespace UIE {

COLORREF ArgbToColorRef(uint32_t argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void SetUpGraphics(Gdiplus::Graphics& graphics, const CUiPaintContext& context)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.TranslateTransform(static_cast<Gdiplus::REAL>(context.originX),
                                static_cast<Gdiplus::REAL>(context.originY), Gdiplus::MatrixOrderPrepend);
    const RECT& clip = context.clip;
    graphics.SetClip(Gdiplus::Rect(clip.left - context.originX, clip.top - context.originY,
                                   clip.right - clip.left, clip.bottom - clip.top));
}

Gdiplus::Graphics* GetGraphics(CUiPaintContext& context)
{
    if (context.graphics)
        return context.graphics.get();
    auto graphics = std::make_unique<Gdiplus::Graphics>(context.hdc);
    SetUpGraphics(*graphics, context);
    context.graphics = std::move(graphics);
    return context.graphics.get();
}

void ReleaseGraphics(CUiPaintContext& context)
{
    context.graphics.reset();
}

TransientGraphics::TransientGraphics(CUiPaintContext& owner)
    : context(owner), hadGraphics(owner.graphics != nullptr), graphics(GetGraphics(owner))
{
}

TransientGraphics::~TransientGraphics()
{
    if (!hadGraphics)
        ReleaseGraphics(context);
}

void AddRoundRectPath(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float radius)
{
    float d = 2.0f * radius;
    d = std::min(d, rect.Width);
    d = std::min(d, rect.Height);
    // GDI+ refuses an arc of zero width (InvalidParameter) and leaves the path empty, so
    // square corners are the rectangle itself.
    if (d <= 0.0f) {
        path.AddRectangle(rect);
        return;
    }
    const float right = rect.X + rect.Width - d;
    const float bottom = rect.Y + rect.Height - d;
    path.AddArc(rect.X, rect.Y, d, d, 180.0f, 90.0f);
    path.AddArc(right, rect.Y, d, d, 270.0f, 90.0f);
    path.AddArc(right, bottom, d, d, 0.0f, 90.0f);
    path.AddArc(rect.X, bottom, d, d, 90.0f, 90.0f);
    path.CloseFigure();
}

namespace {

Gdiplus::RectF ToRectF(const UiRect& rect)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.x), static_cast<Gdiplus::REAL>(rect.y),
                          static_cast<Gdiplus::REAL>(rect.width), static_cast<Gdiplus::REAL>(rect.height));
}

void FillPath(Gdiplus::Graphics* graphics, const Gdiplus::RectF& rect, float radius, const Gdiplus::Brush& brush)
{
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    AddRoundRectPath(path, rect, radius);
    graphics->FillPath(&brush, &path);
}

} // namespace

void FillRoundRect(CUiPaintContext& context, const UiRect& rect, uint32_t argb, float radius)
{
    TransientGraphics graphics(context);
    const Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    FillPath(graphics.get(), ToRectF(rect), radius, brush);
}

void FillRoundRectGradient(CUiPaintContext& context, const UiRect& rect, uint32_t argb1, uint32_t argb2,
                           Gdiplus::LinearGradientMode mode, float radius)
{
    TransientGraphics graphics(context);
    const Gdiplus::RectF area = ToRectF(rect);
    Gdiplus::LinearGradientBrush brush(area, Gdiplus::Color(argb1), Gdiplus::Color(argb2), mode);
    brush.SetWrapMode(Gdiplus::WrapModeTile);
    FillPath(graphics.get(), area, radius, brush);
}

void FillRectGdi(CUiPaintContext& context, const UiRect& rect, COLORREF colour)
{
    auto found = context.brushCache.find(colour);
    if (found == context.brushCache.end())
        found = context.brushCache.emplace(colour, Base::UniqueBrush(CreateSolidBrush(colour))).first;
    const RECT area{context.originX + rect.x, context.originY + rect.y, context.originX + rect.x + rect.width,
                    context.originY + rect.y + rect.height};
    FillRect(context.hdc, &area, found->second.get());
}

void DrawRoundRectOutline(CUiPaintContext& context, const UiRect& rect, uint32_t argb, float radius, int penWidth)
{
    const float pen = static_cast<float>(std::max(1, penWidth));
    const float half = pen * 0.5f;
    if (rect.width <= pen || rect.height <= pen)
        return;
    TransientGraphics graphics(context);
    // The stroke straddles its path, which runs half a pen inside rect; with the context's
    // half-pixel offset, pixel n covers [n - 0.5, n + 0.5), hence the further half pixel.
    const float inset = half - 0.5f;
    const Gdiplus::RectF path(rect.x + inset, rect.y + inset, rect.width - 2 * inset - 1, rect.height - 2 * inset - 1);
    Gdiplus::GraphicsPath outline(Gdiplus::FillModeAlternate);
    AddRoundRectPath(outline, path, std::max(0.0f, radius - half));
    Gdiplus::Pen stroke(Gdiplus::Color(argb), pen);
    graphics.get()->DrawPath(&stroke, &outline);
}

} // namespace UIE

#include "ui/framework/drawing/Glyph.h"

#include "ui/framework/drawing/Primitives.h"

#include <algorithm>

namespace UIE {

namespace {

struct GridMapper {
    float x0;
    float y0;
    float k;
    Gdiplus::PointF At(float u, float v) const { return Gdiplus::PointF(x0 + k * u, y0 + k * v); }
};

void Polyline(Gdiplus::Graphics* graphics, const Gdiplus::Pen& pen, const GridMapper& grid,
              std::initializer_list<std::pair<float, float>> points)
{
    Gdiplus::PointF mapped[8];
    int count = 0;
    for (const auto& point : points)
        mapped[count++] = grid.At(point.first, point.second);
    graphics->DrawLines(&pen, mapped, count);
}

void Outline(Gdiplus::Graphics* graphics, const Gdiplus::Pen& pen, const GridMapper& grid, float u, float v,
             float size)
{
    graphics->DrawRectangle(&pen, grid.x0 + grid.k * u, grid.y0 + grid.k * v, grid.k * size, grid.k * size);
}

void Ellipse(Gdiplus::Graphics* graphics, const Gdiplus::Pen& pen, const GridMapper& grid)
{
    graphics->DrawEllipse(&pen, grid.x0 + grid.k, grid.y0 + grid.k, grid.k * 22, grid.k * 22);
}

} // namespace

void DrawGlyph(CUiPaintContext& context, int shape, const UiRect& rect, uint32_t argb, int penWidth)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    TransientGraphics graphics(context);
    Gdiplus::Pen pen(Gdiplus::Color(argb), static_cast<Gdiplus::REAL>(std::max(1, penWidth)));
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    pen.SetLineJoin(Gdiplus::LineJoinRound);

    const int side = std::min(rect.width, rect.height);
    const GridMapper grid{static_cast<float>(rect.x + (rect.width - side) / 2),
                          static_cast<float>(rect.y + (rect.height - side) / 2), side / 24.0f};
    Gdiplus::Graphics* g = graphics.get();
    switch (shape) {
    case Minimize:
        Polyline(g, pen, grid, {{6, 12}, {18, 12}});
        break;
    case Maximize:
        Outline(g, pen, grid, 6, 6, 12);
        break;
    case Restore:
        Polyline(g, pen, grid, {{9, 9}, {9, 5}, {19, 5}, {19, 15}, {15, 15}});
        Outline(g, pen, grid, 5, 9, 10);
        break;
    case Close:
        Polyline(g, pen, grid, {{7, 7}, {17, 17}});
        Polyline(g, pen, grid, {{7, 17}, {17, 7}});
        break;
    case ChevronLeft:
        Polyline(g, pen, grid, {{15, 6}, {9, 12}, {15, 18}});
        break;
    case ChevronRight:
        Polyline(g, pen, grid, {{9, 6}, {15, 12}, {9, 18}});
        break;
    case ChevronUp:
        Polyline(g, pen, grid, {{6, 15}, {12, 9}, {18, 15}});
        break;
    case ChevronDown:
        Polyline(g, pen, grid, {{6, 9}, {12, 15}, {18, 9}});
        break;
    case Check:
        Polyline(g, pen, grid, {{5, 13}, {10, 18}, {19, 6}});
        break;
    case Circle:
        Ellipse(g, pen, grid);
        break;
    case CircleDot: {
        Ellipse(g, pen, grid);
        Gdiplus::Color colour(0xFF000000);
        if (pen.GetPenType() != Gdiplus::PenTypeSolidColor || pen.GetColor(&colour) != Gdiplus::Ok)
            colour = Gdiplus::Color(0xFF000000);
        const Gdiplus::SolidBrush dot(colour);
        g->FillEllipse(&dot, grid.x0 + grid.k * 8.5f, grid.y0 + grid.k * 8.5f, grid.k * 7, grid.k * 7);
        break;
    }
    default:
        break;
    }
}

} // namespace UIE

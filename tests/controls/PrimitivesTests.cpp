#include "controls/PaintTestSupport.h"

#include "ui/framework/drawing/Glyph.h"
#include "ui/framework/drawing/Primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace painttest;

namespace {

std::vector<Gdiplus::PointF> FlattenedPoints(float width, float height, float radius)
{
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    UIE::AddRoundRectPath(path, Gdiplus::RectF(0, 0, width, height), radius);
    path.Flatten(nullptr, 0.01f);
    std::vector<Gdiplus::PointF> points(static_cast<size_t>(path.GetPointCount()));
    if (!points.empty())
        path.GetPathPoints(points.data(), static_cast<INT>(points.size()));
    return points;
}

bool HasPointNear(const std::vector<Gdiplus::PointF>& points, float x, float y)
{
    for (const auto& point : points)
        if (std::fabs(point.X - x) < 0.01f && std::fabs(point.Y - y) < 0.01f)
            return true;
    return false;
}

bool IsInk(uint32_t pixel)
{
    return ChannelDistance(pixel, kWhite) > 60;
}

int InkCount(const Canvas& canvas)
{
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            count += IsInk(canvas.At(x, y)) ? 1 : 0;
    return count;
}

} // namespace

TEST(RoundRectPath, DiameterIsClampedToTheShorterSide)
{
    const auto points = FlattenedPoints(10, 4, 6);
    ASSERT_FALSE(points.empty());
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const auto& point : points) {
        minX = std::min(minX, point.X);
        maxX = std::max(maxX, point.X);
        minY = std::min(minY, point.Y);
        maxY = std::max(maxY, point.Y);
        // d = 4: both ends are half circles of radius 2 around (2, 2) and (8, 2).
        const float cx = point.X < 2 ? 2.0f : point.X > 8 ? 8.0f : point.X;
        const float distance = std::hypot(point.X - cx, point.Y - 2.0f);
        EXPECT_NEAR(distance, 2.0f, 0.05f) << "at (" << point.X << ", " << point.Y << ")";
    }
    EXPECT_NEAR(minX, 0, 0.01f);
    EXPECT_NEAR(maxX, 10, 0.01f);
    EXPECT_NEAR(minY, 0, 0.01f);
    EXPECT_NEAR(maxY, 4, 0.01f);
}

// Windows' GDI+ refuses arcs of zero size and leaves such a path empty: square corners are
// four straight edges, with none of the curve points a zero arc would bring.
TEST(RoundRectPath, ZeroOrNegativeRadiusGivesThePlainRectangle)
{
    for (const float radius : {0.0f, -3.0f}) {
        SCOPED_TRACE(radius);
        Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
        UIE::AddRoundRectPath(path, Gdiplus::RectF(0, 0, 10, 4), radius);
        BYTE types[4] = {};
        ASSERT_EQ(path.GetPointCount(), 4);
        path.GetPathTypes(types, 4);
        for (const BYTE type : types)
            EXPECT_NE(type & Gdiplus::PathPointTypePathTypeMask, Gdiplus::PathPointTypeBezier);
        const auto points = FlattenedPoints(10, 4, radius);
        EXPECT_TRUE(HasPointNear(points, 0, 0));
        EXPECT_TRUE(HasPointNear(points, 10, 0));
        EXPECT_TRUE(HasPointNear(points, 10, 4));
        EXPECT_TRUE(HasPointNear(points, 0, 4));
    }
}

TEST(FillRoundRect, SquareCornersFillTheWholeRectangle)
{
    Canvas canvas(30, 30);
    CanvasContext context(canvas);
    UIE::FillRoundRect(*context, UIE::UiRect{5, 5, 20, 10}, 0xFF0000FF, 0);
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(24, 14)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(4, 5)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(25, 14)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(24, 15)), Hex(kWhite));
}

TEST(FillRoundRect, RoundedCornersLeaveTheCornerPixelsAlone)
{
    Canvas canvas(30, 30);
    CanvasContext context(canvas);
    UIE::FillRoundRect(*context, UIE::UiRect{5, 5, 20, 20}, 0xFF0000FF, 6);
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(24, 24)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(15, 5)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(15, 15)), Hex(0x0000FF));
}

TEST(FillRoundRect, KeepsAnExistingGraphicsAndLeavesNoneOtherwise)
{
    Canvas canvas(30, 30);
    CanvasContext context(canvas);
    UIE::FillRoundRect(*context, UIE::UiRect{0, 0, 10, 10}, 0xFF0000FF, 2);
    EXPECT_EQ(context->graphics, nullptr);
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(0x0000FF));

    Gdiplus::Graphics* graphics = UIE::GetGraphics(*context);
    UIE::FillRoundRect(*context, UIE::UiRect{10, 10, 10, 10}, 0xFF00FF00, 2);
    UIE::FillRoundRectGradient(*context, UIE::UiRect{20, 20, 10, 10}, 0xFF00FF00, 0xFF00FF00,
                               Gdiplus::LinearGradientModeHorizontal, 2);
    EXPECT_EQ(context->graphics.get(), graphics);
    graphics->Flush(Gdiplus::FlushIntentionSync);
    EXPECT_EQ(Hex(canvas.At(15, 15)), Hex(0x00FF00));
    EXPECT_EQ(Hex(canvas.At(25, 25)), Hex(0x00FF00));
}

TEST(FillRoundRect, GradientRunsAcrossTheFilledRectangle)
{
    Canvas canvas(100, 10);
    CanvasContext context(canvas);
    UIE::FillRoundRectGradient(*context, UIE::UiRect{10, 0, 50, 10}, 0xFFFF0000, 0xFF0000FF,
                               Gdiplus::LinearGradientModeHorizontal, 0);
    const uint32_t left = canvas.At(10, 5);
    const uint32_t middle = canvas.At(35, 5);
    const uint32_t right = canvas.At(59, 5);
    EXPECT_LE(ChannelDistance(left, 0xFF0000), 10) << Hex(left);
    EXPECT_LE(ChannelDistance(right, 0x0000FF), 10) << Hex(right);
    EXPECT_LE(ChannelDistance(middle, 0x800080), 12) << Hex(middle);
    EXPECT_EQ(Hex(canvas.At(60, 5)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(9, 5)), Hex(kWhite));
}

TEST(DrawGlyph, EmptyRectangleDrawsNothing)
{
    Canvas canvas(40, 40);
    CanvasContext context(canvas);
    for (const UIE::UiRect rect : {UIE::UiRect{10, 10, 24, 0}, UIE::UiRect{10, 10, 0, 24},
                                   UIE::UiRect{10, 10, 24, -5}}) {
        for (int shape = UIE::Minimize; shape <= UIE::CircleDot; ++shape)
            UIE::DrawGlyph(*context, shape, rect, 0xFF000000, 4);
    }
    EXPECT_EQ(context->graphics, nullptr);
    EXPECT_EQ(InkCount(canvas), 0);
}

TEST(DrawGlyph, LeavesTheGraphicsAsItFoundIt)
{
    Canvas canvas(24, 24);
    CanvasContext context(canvas);
    UIE::DrawGlyph(*context, UIE::Close, UIE::UiRect{0, 0, 24, 24}, 0xFF000000, 2);
    EXPECT_EQ(context->graphics, nullptr);
    Gdiplus::Graphics* graphics = UIE::GetGraphics(*context);
    UIE::DrawGlyph(*context, UIE::Minimize, UIE::UiRect{0, 0, 24, 24}, 0xFF000000, 2);
    EXPECT_EQ(context->graphics.get(), graphics);
}

TEST(DrawGlyph, ShapesStrokeTheirGridPoints)
{
    struct Case {
        int shape;
        POINT inked;   // on a stroke
        POINT clear;   // where a wrong shape or scale would draw
    };
    // Drawn at 48 × 48, so the 24-unit grid is scaled by 2.
    const Case cases[] = {
        {UIE::Minimize, {24, 24}, {24, 14}},
        {UIE::Maximize, {12, 24}, {24, 24}},
        {UIE::Close, {24, 24}, {24, 14}},
        {UIE::ChevronLeft, {18, 24}, {30, 24}},
        {UIE::ChevronRight, {30, 24}, {18, 24}},
        {UIE::Check, {20, 36}, {24, 24}},
        {UIE::Circle, {24, 2}, {24, 24}},
        {UIE::CircleDot, {24, 24}, {24, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        Canvas canvas(48, 48);
        CanvasContext context(canvas);
        UIE::DrawGlyph(*context, c.shape, UIE::UiRect{0, 0, 48, 48}, 0xFF000000, 2);
        EXPECT_TRUE(IsInk(canvas.At(c.inked.x, c.inked.y))) << Hex(canvas.At(c.inked.x, c.inked.y));
        EXPECT_FALSE(IsInk(canvas.At(c.clear.x, c.clear.y))) << Hex(canvas.At(c.clear.x, c.clear.y));
    }
    Canvas canvas(48, 48);
    CanvasContext context(canvas);
    UIE::DrawGlyph(*context, 11, UIE::UiRect{0, 0, 48, 48}, 0xFF000000, 2);
    UIE::DrawGlyph(*context, -1, UIE::UiRect{0, 0, 48, 48}, 0xFF000000, 2);
    EXPECT_EQ(InkCount(canvas), 0) << "unknown shapes draw nothing";
}

TEST(DrawGlyph, ZeroPenWidthStillDrawsAHairline)
{
    Canvas canvas(24, 24);
    CanvasContext context(canvas);
    UIE::DrawGlyph(*context, UIE::Minimize, UIE::UiRect{0, 0, 24, 24}, 0xFF000000, 0);
    EXPECT_GT(InkCount(canvas), 5);
}

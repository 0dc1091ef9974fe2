#include "controls/PaintTestSupport.h"

#include "ui/framework/controls/Label.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/window/PaintPipeline.h"
#include "ui/framework/window/UiWindow.h"
#include "ui/setup/ActionButton.h"

#include <gtest/gtest.h>

#include <string>

using namespace painttest;

namespace {

constexpr uint32_t kRed = Rgb(0xFF, 0, 0);

// A control that floods everything its clip lets through.
ProbeControl* Flood(COLORREF colour)
{
    auto* control = new ProbeControl();
    control->onPaint = [colour](UIE::CUiPaintContext& context) {
        UIE::FillRectGdi(context, UIE::UiRect{-1000, -1000, 3000, 3000}, colour);
    };
    return control;
}

void Paint(UIE::CUiWindow& window, Canvas& reference, const RECT& area)
{
    UIE::PaintIntoBackBuffer(window.backBuffer, window.paintContext, window.rootControls, reference.Dc(), reference.Width(), reference.Height(), area);
}

void PaintAndRead(UIE::CUiWindow& window, Canvas& canvas, const RECT& area)
{
    Paint(window, canvas, area);
    canvas.CopyFrom(window.backBuffer.Dc());
}

// The handles of a brush or font cache, in key order.
template <typename Cache>
std::vector<HGDIOBJ> Handles(const Cache& cache)
{
    std::vector<HGDIOBJ> handles;
    for (const auto& entry : cache)
        handles.push_back(entry.second.get());
    return handles;
}

std::string Text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right) + ","
        + std::to_string(rect.bottom);
}

RECT Whole(const Canvas& canvas)
{
    return RECT{0, 0, canvas.Width(), canvas.Height()};
}

} // namespace

TEST(PaintPipeline, FillsOnlyThePaintRectWithTheBackground)
{
    zmxtest::ThemeScope theme;
    Canvas canvas(200, 100);
    UIE::CUiWindow window;
    PaintAndRead(window, canvas, Whole(canvas));
    EXPECT_EQ(Hex(canvas.At(150, 80)), Hex(kWhite));

    UIE::UiTheme.windowBackground = 0xFF3366CC;
    PaintAndRead(window, canvas, RECT{10, 10, 30, 20});
    EXPECT_EQ(Hex(canvas.At(10, 10)), Hex(0x3366CC));
    EXPECT_EQ(Hex(canvas.At(29, 19)), Hex(0x3366CC));
    EXPECT_EQ(Hex(canvas.At(9, 10)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(30, 10)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(10, 20)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(10, 9)), Hex(kWhite));
}

TEST(PaintPipeline, ControlMeetingThePaintRectDrawsOnlyWithinIt)
{
    for (const bool gdiplus : {false, true}) {
        SCOPED_TRACE(gdiplus ? "GDI+ fill" : "GDI fill");
        Canvas canvas(200, 120);
        UIE::CUiWindow window;
        auto* control = new ProbeControl();
        control->onPaint = [gdiplus](UIE::CUiPaintContext& context) {
            if (gdiplus)
                UIE::FillRoundRect(context, UIE::UiRect{-100, -100, 400, 400}, 0xFFFF0000, 0);
            else
                UIE::FillRectGdi(context, UIE::UiRect{-100, -100, 400, 400}, RGB(0xFF, 0, 0));
        };
        window.rootControls.push_back(Place(control, 0, 0, 100, 100));
        control->visible = false;
        PaintAndRead(window, canvas, Whole(canvas));

        // The rest of the buffer is the kept frame: drawing there would show on a later copy.
        control->visible = true;
        PaintAndRead(window, canvas, RECT{10, 10, 20, 20});
        EXPECT_EQ(control->paintCount, 1);
        EXPECT_EQ(Hex(canvas.At(10, 10)), Hex(kRed));
        EXPECT_EQ(Hex(canvas.At(19, 19)), Hex(kRed));
        EXPECT_EQ(Hex(canvas.At(20, 15)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(15, 9)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(80, 80)), Hex(kWhite));
        EXPECT_TRUE(window.paintContext.clipStack.empty());
        RECT box{};
        GetClipBox(window.backBuffer.Dc(), &box);
        EXPECT_EQ(box.right, 200) << "the paint's clip is gone afterwards";
    }
}

TEST(PaintPipeline, DrawnAreaIsNoLongerStaleWhenItCoversTheMark)
{
    Canvas canvas(200, 100);
    UIE::CUiWindow window;
    Paint(window, canvas, RECT{0, 0, 100, 100});
    EXPECT_EQ(Text(window.backBuffer.Stale()), "0,0 200,100") << "a new buffer is stale as a whole";
    Paint(window, canvas, Whole(canvas));
    EXPECT_TRUE(IsRectEmpty(&window.backBuffer.Stale()));

    const RECT mark{50, 20, 90, 60};
    window.Invalidate(&mark);
    Paint(window, canvas, RECT{0, 0, 70, 100});
    EXPECT_EQ(Text(window.backBuffer.Stale()), "50,20 90,60") << "only part of it was drawn";
    Paint(window, canvas, RECT{40, 10, 100, 70});
    EXPECT_TRUE(IsRectEmpty(&window.backBuffer.Stale()));
}

TEST(PaintPipeline, SubtreesOutsideThePaintRectAreNotPainted)
{
    Canvas canvas(200, 100);
    UIE::CUiWindow window;
    auto* root = new ProbeControl();
    auto* outside = new ProbeControl();
    auto* outsideChild = new ProbeControl();
    auto* inside = new ProbeControl();
    auto* otherRoot = new ProbeControl();
    Place(root, 0, 0, 200, 100);
    Place(outside, 0, 0, 50, 50);
    Place(outsideChild, 10, 10, 20, 20);
    Place(inside, 150, 50, 40, 40);
    Place(otherRoot, 0, 0, 60, 60);
    outside->AddChild(outsideChild);
    root->AddChild(outside);
    root->AddChild(inside);
    window.rootControls.push_back(root);
    window.rootControls.push_back(otherRoot);

    size_t depthInside = 0;
    POINT originInside{};
    inside->onPaint = [&](UIE::CUiPaintContext& context) {
        depthInside = context.clipStack.size();
        originInside = POINT{context.originX, context.originY};
    };
    Paint(window, canvas, RECT{140, 40, 200, 100});

    EXPECT_EQ(root->paintCount, 1);
    EXPECT_EQ(outside->paintCount, 0);
    EXPECT_EQ(outsideChild->paintCount, 0);
    EXPECT_EQ(otherRoot->paintCount, 0);
    EXPECT_EQ(inside->paintCount, 1);
    // The skipped sibling's state must be gone by the time the next one paints.
    EXPECT_EQ(depthInside, 2u);
    EXPECT_EQ(originInside.x, 150);
    EXPECT_EQ(originInside.y, 50);
    EXPECT_TRUE(window.paintContext.clipStack.empty());
}

TEST(PaintPipeline, LeavesNoGraphicsClipStateOrTargetBehind)
{
    Canvas canvas(120, 80);
    UIE::CUiWindow window;
    auto* parent = new ProbeControl();
    auto* child = new ProbeControl();
    // A painter that keeps the graphics object instead of releasing it.
    child->onPaint = [](UIE::CUiPaintContext& context) { UIE::GetGraphics(context); };
    Place(parent, 10, 10, 100, 60);
    parent->AddChild(Place(child, 5, 5, 20, 20));
    window.rootControls.push_back(parent);

    Paint(window, canvas, Whole(canvas));
    EXPECT_EQ(window.paintContext.graphics, nullptr);
    EXPECT_TRUE(window.paintContext.clipStack.empty());
    EXPECT_EQ(window.paintContext.hdc, nullptr);
}

TEST(PaintPipeline, BackBufferIsKeptForTheSameSizeAndRemadeForANewOne)
{
    Canvas canvas(200, 100);
    UIE::CUiWindow window;
    auto* control = Flood(RGB(0xFF, 0, 0));
    window.rootControls.push_back(Place(control, 0, 0, 200, 100));
    Paint(window, canvas, Whole(canvas));
    const HDC firstDc = window.backBuffer.Dc();
    const HBITMAP firstBitmap = window.backBuffer.Bitmap();
    ASSERT_NE(firstDc, nullptr);

    control->visible = false;
    PaintAndRead(window, canvas, RECT{0, 0, 10, 10});
    EXPECT_EQ(window.backBuffer.Dc(), firstDc);
    EXPECT_EQ(window.backBuffer.Bitmap(), firstBitmap);
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(100, 50)), Hex(kRed)) << "the buffer is never cleared as a whole";

    Canvas larger(300, 150);
    Paint(window, larger, Whole(larger));
    EXPECT_EQ(window.backBuffer.Width(), 300);
    EXPECT_EQ(window.backBuffer.Height(), 150);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(window.backBuffer.Bitmap(), sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 300);
    EXPECT_EQ(info.bmHeight, 150);
    EXPECT_EQ(GetCurrentObject(window.backBuffer.Dc(), OBJ_BITMAP), window.backBuffer.Bitmap());
}

TEST(PaintClip, ChildIsClippedToItsParentPlusOnePixel)
{
    for (const bool gdiplus : {false, true}) {
        SCOPED_TRACE(gdiplus ? "GDI+ fill" : "GDI fill");
        Canvas canvas(80, 80);
        UIE::CUiWindow window;
        auto* parent = new ProbeControl();
        auto* child = new ProbeControl();
        child->onPaint = [gdiplus](UIE::CUiPaintContext& context) {
            if (gdiplus)
                UIE::FillRoundRect(context, UIE::UiRect{-100, -100, 400, 400}, 0xFFFF0000, 0);
            else
                UIE::FillRectGdi(context, UIE::UiRect{-100, -100, 400, 400}, RGB(0xFF, 0, 0));
        };
        Place(parent, 10, 10, 20, 20);
        parent->AddChild(Place(child, 0, 0, 40, 40));
        window.rootControls.push_back(parent);
        PaintAndRead(window, canvas, Whole(canvas));

        EXPECT_EQ(Hex(canvas.At(9, 9)), Hex(kRed));
        EXPECT_EQ(Hex(canvas.At(30, 30)), Hex(kRed));
        EXPECT_EQ(Hex(canvas.At(31, 20)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(20, 31)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(45, 45)), Hex(kWhite));
        EXPECT_EQ(Hex(canvas.At(8, 20)), Hex(kWhite));
    }
}

TEST(PaintClip, GraphicsStartsAtTheControlsOriginAndClip)
{
    Canvas canvas(100, 100);
    CanvasContext context(canvas);
    context->originX = 10;
    context->originY = 20;
    context->clip = RECT{5, 5, 50, 50};

    Gdiplus::Graphics* graphics = UIE::GetGraphics(*context);
    ASSERT_NE(graphics, nullptr);
    Gdiplus::Point origin(0, 0);
    graphics->TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, &origin, 1);
    EXPECT_EQ(origin.X, 10);
    EXPECT_EQ(origin.Y, 20);
    Gdiplus::Rect clip;
    graphics->GetClipBounds(&clip);
    EXPECT_EQ(clip.X, -5);
    EXPECT_EQ(clip.Y, -15);
    EXPECT_EQ(clip.Width, 45);
    EXPECT_EQ(clip.Height, 45);
    EXPECT_EQ(UIE::GetGraphics(*context), graphics) << "a second request shares the object";
}

TEST(PaintClip, PushAndPopCarryAnExistingGraphicsAlong)
{
    Canvas canvas(100, 100);
    CanvasContext context(canvas);
    Gdiplus::Graphics* graphics = UIE::GetGraphics(*context);

    context->PushClip(UIE::UiRect{10, 20, 30, 40}, 1);
    EXPECT_EQ(context->originX, 10);
    EXPECT_EQ(context->originY, 20);
    EXPECT_EQ(context->clip.left, 9);
    EXPECT_EQ(context->clip.bottom, 61);
    Gdiplus::Point origin(0, 0);
    graphics->TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, &origin, 1);
    EXPECT_EQ(origin.X, 10);
    EXPECT_EQ(origin.Y, 20);
    Gdiplus::Rect clip;
    graphics->GetClipBounds(&clip);
    EXPECT_EQ(clip.X, -1);
    EXPECT_EQ(clip.Y, -1);
    EXPECT_EQ(clip.Width, 32);
    EXPECT_EQ(clip.Height, 42);
    RECT box{};
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box.left, 9);
    EXPECT_EQ(box.right, 41);

    context->PopClip();
    EXPECT_EQ(context->originX, 0);
    EXPECT_EQ(context->clip.right, 100);
    origin = Gdiplus::Point(0, 0);
    graphics->TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, &origin, 1);
    EXPECT_EQ(origin.X, 0);
    EXPECT_EQ(origin.Y, 0);
    graphics->GetClipBounds(&clip);
    EXPECT_EQ(clip.Width, 100);
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box.right, 100);

    context->PopClip(); // nothing left to pop
    EXPECT_EQ(context->originX, 0);
    EXPECT_EQ(context->clip.right, 100);
}

TEST(PaintCaches, OneBrushPerColour)
{
    Canvas canvas(20, 20);
    CanvasContext context(canvas);
    UIE::FillRectGdi(*context, UIE::UiRect{0, 0, 5, 5}, RGB(1, 2, 3));
    const HBRUSH first = context->brushCache.at(RGB(1, 2, 3)).get();
    UIE::FillRectGdi(*context, UIE::UiRect{5, 5, 5, 5}, RGB(1, 2, 3));
    EXPECT_EQ(context->brushCache.size(), 1u);
    EXPECT_EQ(context->brushCache.at(RGB(1, 2, 3)).get(), first);
    UIE::FillRectGdi(*context, UIE::UiRect{5, 5, 5, 5}, RGB(3, 2, 1));
    EXPECT_EQ(context->brushCache.size(), 2u);
    EXPECT_EQ(Hex(canvas.At(2, 2)), Hex(Rgb(1, 2, 3)));
    EXPECT_EQ(Hex(canvas.At(7, 7)), Hex(Rgb(3, 2, 1)));
}

TEST(PaintCaches, OneFontPerSizeAndWeight)
{
    Canvas canvas(20, 20);
    CanvasContext context(canvas);
    const HFONT regular = UIE::GetFont(*context, 12, false);
    const HFONT bold = UIE::GetFont(*context, 12, true);
    EXPECT_NE(regular, bold);
    EXPECT_EQ(UIE::GetFont(*context, 12, false), regular);
    EXPECT_EQ(context->fontCache.size(), 2u);

    LOGFONTW font{};
    ASSERT_EQ(GetObjectW(regular, sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"宋体"); // the face the test program chose
    EXPECT_EQ(font.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    ASSERT_EQ(GetObjectW(bold, sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_BOLD);

    ASSERT_EQ(GetObjectW(UIE::GetFont(*context, 0, false), sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(font.lfHeight, -1);
}

TEST(PaintCaches, FontHeightFollowsTheDpi)
{
    DpiScope dpi(144);
    Canvas canvas(20, 20);
    CanvasContext context(canvas);
    LOGFONTW font{};
    ASSERT_EQ(GetObjectW(UIE::GetFont(*context, 12, false), sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(font.lfHeight, -18);
    ASSERT_EQ(GetObjectW(UIE::GetFont(*context, 13, true), sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_EQ(font.lfHeight, -20); // 19.5 rounds up
}

TEST(PaintCaches, WarmRepaintCreatesNoFontsOrBrushes)
{
    Canvas canvas(520, 374);
    UIE::CUiWindow window;
    auto* panel = new UIE::CUiControl();
    Place(panel, 0, 0, 520, 374);
    auto* label = new UIE::CUiLabel();
    label->text = L"卸载将删除安装目录中的程序文件";
    label->fontSize = 12;
    panel->AddChild(Place(label, 24, 334, 472, 22));
    panel->AddChild(Place(new SetupUi::CActionButton(L"立即卸载", nullptr), 194, 280, 132, 36));
    window.rootControls.push_back(panel);

    Paint(window, canvas, Whole(canvas));
    const auto fonts = Handles(window.paintContext.fontCache);
    const auto brushes = Handles(window.paintContext.brushCache);
    EXPECT_EQ(fonts.size(), 2u);
    EXPECT_EQ(brushes.size(), 1u);

    Paint(window, canvas, Whole(canvas));
    EXPECT_EQ(Handles(window.paintContext.fontCache), fonts);
    EXPECT_EQ(Handles(window.paintContext.brushCache), brushes);
}

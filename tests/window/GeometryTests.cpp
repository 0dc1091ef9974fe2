// Pure geometry: DPI conversions, the drag band, the resize border and window centring.
#include "WindowTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/NonClientHitTest.h"
#include "ui/framework/window/UiWindow.h"
#include "ui/setup/Window.h"

#include <gtest/gtest.h>

using SetupUi::DragRegionHitTest;
using UIE::DpiScaleAt;
using UIE::DpiUnscaleAt;
using UIE::ResizeBorderHitTest;
using UIE::ResizeBorderWidth;
using windowtest::DpiOverride;

TEST(DpiConversion, IdentityAt96)
{
    for (int value : {-37, -1, 0, 1, 2, 259, 260, 374, 520, 32767}) {
        EXPECT_EQ(DpiScaleAt(value, 96), value);
        EXPECT_EQ(DpiUnscaleAt(value, 96), value);
    }
}

TEST(DpiConversion, HalvesRoundAwayFromZeroAt120)
{
    EXPECT_EQ(DpiScaleAt(374, 120), 468); // 467.5
    EXPECT_EQ(DpiScaleAt(520, 120), 650);
    EXPECT_EQ(DpiScaleAt(4, 120), 5);
    EXPECT_EQ(DpiScaleAt(-374, 120), -468);
}

TEST(DpiConversion, WindowSizeRoundTripsAt144)
{
    EXPECT_EQ(DpiScaleAt(520, 144), 780);
    EXPECT_EQ(DpiScaleAt(374, 144), 561);
    EXPECT_EQ(DpiUnscaleAt(780, 144), 520);
    EXPECT_EQ(DpiUnscaleAt(561, 144), 374);
}

TEST(DpiConversion, SmallLengthsAt144)
{
    EXPECT_EQ(DpiScaleAt(1, 144), 2);   // 1.5
    EXPECT_EQ(DpiUnscaleAt(1, 144), 1); // 0.67
    EXPECT_EQ(DpiUnscaleAt(2, 144), 1); // 1.33
    // Captured moves outside the window arrive negative and must mirror the positive side.
    EXPECT_EQ(DpiUnscaleAt(-1, 144), -1);
    EXPECT_EQ(DpiUnscaleAt(-2, 144), -1);
    EXPECT_EQ(DpiScaleAt(-1, 144), -2);
}

TEST(DpiConversion, GlobalConversionsFollowTheProcessDpi)
{
    {
        DpiOverride dpi(144);
        EXPECT_EQ(UIE::DpiScale(520), 780);
        EXPECT_EQ(UIE::DpiUnscale(780), 520);
        EXPECT_EQ(UIE::DpiUnscale(150), 100);
    }
    {
        DpiOverride dpi(120);
        EXPECT_EQ(UIE::DpiScale(374), 468);
    }
}

TEST(DpiConversion, NonPositiveLogPixelsMeans96)
{
    EXPECT_EQ(UIE::NormalizeDpi(0), 96);
    EXPECT_EQ(UIE::NormalizeDpi(-120), 96);
    EXPECT_EQ(UIE::NormalizeDpi(1), 1);
    EXPECT_EQ(UIE::NormalizeDpi(144), 144);
}

// Where the drag band says HTCAPTION and where it has no opinion (-1), per DPI.
struct DragRegionCase {
    int dpi;
    int x;
    int y;
    LRESULT code;
};

TEST(DragRegion, BandAndButtonBlockPerDpi)
{
    const DragRegionCase cases[] = {
        // The banner band and the caption-button block at 96 DPI.
        {96, 10, 10, HTCAPTION},
        {96, 500, 10, -1},
        {96, 500, 60, HTCAPTION},
        {96, 10, 259, HTCAPTION},
        {96, 10, 260, -1},
        // The block's edges at 96 DPI, measured from the left edge: a wider window keeps the block
        // where it was.
        {96, 475, 0, HTCAPTION},
        {96, 476, 0, -1},
        {96, 476, 51, -1},
        {96, 476, 52, HTCAPTION},
        {96, 1500, 10, -1},
        {96, 1500, 52, HTCAPTION},
        // At 120 DPI: band 325, block from 595 and 65 high.
        {120, 10, 324, HTCAPTION},
        {120, 10, 325, -1},
        {120, 594, 10, HTCAPTION},
        {120, 595, 10, -1},
        {120, 595, 64, -1},
        {120, 595, 65, HTCAPTION},
        // At 72 DPI: band 195, block from 357 and 39 high.
        {72, 10, 194, HTCAPTION},
        {72, 10, 195, -1},
        {72, 356, 10, HTCAPTION},
        {72, 357, 38, -1},
        {72, 357, 39, HTCAPTION},
    };
    for (const DragRegionCase& c : cases)
        EXPECT_EQ(DragRegionHitTest(c.x, c.y, c.dpi, true), c.code) << "(" << c.x << ", " << c.y << ") at " << c.dpi;
}

TEST(DragRegion, DisabledGivesNoOpinionAnywhere)
{
    for (int dpi : {72, 96, 120, 144})
        for (POINT p : {POINT{10, 10}, POINT{500, 60}, POINT{0, 0}, POINT{10, 259}})
            EXPECT_EQ(DragRegionHitTest(p.x, p.y, dpi, false), -1);
}

TEST(DragRegion, WindowOverrideReadsProcessDpiAndFlag)
{
    SetupUi::CWindow window; // no handle needed: the override is pure
    EXPECT_TRUE(window.dragRegionEnabled);
    {
        DpiOverride dpi(96);
        EXPECT_EQ(window.HitTestNonClient(10, 10), HTCAPTION);
        EXPECT_EQ(window.HitTestNonClient(500, 10), -1);
        EXPECT_EQ(window.HitTestNonClient(10, 260), -1);
    }
    {
        DpiOverride dpi(120);
        EXPECT_EQ(window.HitTestNonClient(10, 300), HTCAPTION);
        EXPECT_EQ(window.HitTestNonClient(500, 10), HTCAPTION);
    }
    window.dragRegionEnabled = false;
    EXPECT_EQ(window.HitTestNonClient(10, 10), -1);

    UIE::CUiWindow plain;
    EXPECT_EQ(plain.HitTestNonClient(10, 10), -1);
}

TEST(ResizeBorder, WidthNeverBelowFourPixels)
{
    EXPECT_EQ(ResizeBorderWidth(96), 4);
    EXPECT_EQ(ResizeBorderWidth(120), 5);
    EXPECT_EQ(ResizeBorderWidth(144), 6);
    EXPECT_EQ(ResizeBorderWidth(72), 4);
    EXPECT_EQ(ResizeBorderWidth(48), 4);
}

// Which code a point of the border gets, per DPI: width and height are the client's.
struct ResizeBorderCase {
    int dpi;
    int width;
    int height;
    int x;
    int y;
    LRESULT code;
};

TEST(ResizeBorder, CodesAndBoundariesPerDpi)
{
    const ResizeBorderCase cases[] = {
        // Every code at 96 DPI (520 x 374).
        {96, 520, 374, 2, 300, HTLEFT},
        {96, 520, 374, 2, 372, HTBOTTOMLEFT},
        {96, 520, 374, 300, 372, HTBOTTOM},
        {96, 520, 374, 518, 300, HTRIGHT},
        {96, 520, 374, 518, 372, HTBOTTOMRIGHT},
        {96, 520, 374, 2, 2, HTTOPLEFT},
        {96, 520, 374, 500, 2, HTTOP},
        {96, 520, 374, 518, 2, HTTOPRIGHT},
        {96, 520, 374, 300, 300, HTCLIENT},
        // The last pixel of the 4-pixel border and the first inside it.
        {96, 520, 374, 3, 300, HTLEFT},
        {96, 520, 374, 4, 300, HTCLIENT},
        {96, 520, 374, 515, 300, HTCLIENT},
        {96, 520, 374, 516, 300, HTRIGHT},
        {96, 520, 374, 300, 3, HTTOP},
        {96, 520, 374, 300, 4, HTCLIENT},
        {96, 520, 374, 300, 369, HTCLIENT},
        {96, 520, 374, 300, 370, HTBOTTOM},
        // Five pixels at 120 DPI (650 x 468).
        {120, 650, 468, 4, 300, HTLEFT},
        {120, 650, 468, 5, 300, HTCLIENT},
        {120, 650, 468, 644, 300, HTCLIENT},
        {120, 650, 468, 645, 300, HTRIGHT},
        {120, 650, 468, 300, 463, HTBOTTOM},
        {120, 650, 468, 300, 462, HTCLIENT},
        {120, 650, 468, 4, 464, HTBOTTOMLEFT},
        {120, 650, 468, 645, 4, HTTOPRIGHT},
        // Never below four pixels, at 72 DPI (390 x 281).
        {72, 390, 281, 3, 200, HTLEFT},
        {72, 390, 281, 4, 200, HTCLIENT},
        {72, 390, 281, 386, 200, HTRIGHT},
        {72, 390, 281, 385, 200, HTCLIENT},
        {72, 390, 281, 200, 277, HTBOTTOM},
        {72, 390, 281, 3, 3, HTTOPLEFT},
    };
    for (const ResizeBorderCase& c : cases)
        EXPECT_EQ(ResizeBorderHitTest(c.x, c.y, c.width, c.height, c.dpi, false), c.code)
            << "(" << c.x << ", " << c.y << ") in " << c.width << " x " << c.height << " at " << c.dpi;
}

TEST(ResizeBorder, MaximisedWindowHasNone)
{
    for (POINT p : {POINT{0, 0}, POINT{2, 300}, POINT{518, 372}, POINT{519, 0}, POINT{300, 373}})
        EXPECT_EQ(ResizeBorderHitTest(p.x, p.y, 520, 374, 96, true), HTCLIENT);
}

TEST(CenteredPosition, FullHdScreenAt96)
{
    const POINT position = UIE::CenteredWindowPosition(1920, 1080, 520, 374);
    EXPECT_EQ(position.x, 700);
    EXPECT_EQ(position.y, 353);
}

TEST(CenteredPosition, OddRemaindersTruncate)
{
    const POINT position = UIE::CenteredWindowPosition(1921, 1081, 520, 374);
    EXPECT_EQ(position.x, 700);
    EXPECT_EQ(position.y, 353);
    const POINT large = UIE::CenteredWindowPosition(1366, 768, 780, 561);
    EXPECT_EQ(large.x, 293);
    EXPECT_EQ(large.y, 103);
}

TEST(CenteredPosition, SmallScreenNeverNegative)
{
    const POINT narrow = UIE::CenteredWindowPosition(400, 1080, 520, 374);
    EXPECT_EQ(narrow.x, 0);
    EXPECT_EQ(narrow.y, 353);
    const POINT low = UIE::CenteredWindowPosition(1920, 300, 520, 374);
    EXPECT_EQ(low.x, 700);
    EXPECT_EQ(low.y, 0);
}

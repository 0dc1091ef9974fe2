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

TEST(DragRegion, BannerBandAt96)
{
    EXPECT_EQ(DragRegionHitTest(10, 10, 96, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(500, 10, 96, true), -1); // caption-button block
    EXPECT_EQ(DragRegionHitTest(500, 60, 96, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(10, 259, 96, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(10, 260, 96, true), -1);
}

TEST(DragRegion, ButtonBlockEdgesAt96)
{
    EXPECT_EQ(DragRegionHitTest(475, 0, 96, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(476, 0, 96, true), -1);
    EXPECT_EQ(DragRegionHitTest(476, 51, 96, true), -1);
    EXPECT_EQ(DragRegionHitTest(476, 52, 96, true), HTCAPTION);
    // Measured from the left edge: a wider window keeps the block where it was.
    EXPECT_EQ(DragRegionHitTest(1500, 10, 96, true), -1);
    EXPECT_EQ(DragRegionHitTest(1500, 52, 96, true), HTCAPTION);
}

TEST(DragRegion, DisabledGivesNoOpinionAnywhere)
{
    for (int dpi : {72, 96, 120, 144})
        for (POINT p : {POINT{10, 10}, POINT{500, 60}, POINT{0, 0}, POINT{10, 259}})
            EXPECT_EQ(DragRegionHitTest(p.x, p.y, dpi, false), -1);
}

TEST(DragRegion, LimitsScaleAt120)
{
    // Band 325, block from 595 and 65 high.
    EXPECT_EQ(DragRegionHitTest(10, 324, 120, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(10, 325, 120, true), -1);
    EXPECT_EQ(DragRegionHitTest(594, 10, 120, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(595, 10, 120, true), -1);
    EXPECT_EQ(DragRegionHitTest(595, 64, 120, true), -1);
    EXPECT_EQ(DragRegionHitTest(595, 65, 120, true), HTCAPTION);
}

TEST(DragRegion, LimitsScaleAt72)
{
    // Band 195, block from 357 and 39 high.
    EXPECT_EQ(DragRegionHitTest(10, 194, 72, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(10, 195, 72, true), -1);
    EXPECT_EQ(DragRegionHitTest(356, 10, 72, true), HTCAPTION);
    EXPECT_EQ(DragRegionHitTest(357, 38, 72, true), -1);
    EXPECT_EQ(DragRegionHitTest(357, 39, 72, true), HTCAPTION);
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

TEST(ResizeBorder, CodesAt96)
{
    const int w = 520;
    const int h = 374;
    EXPECT_EQ(ResizeBorderHitTest(2, 300, w, h, 96, false), HTLEFT);
    EXPECT_EQ(ResizeBorderHitTest(2, 372, w, h, 96, false), HTBOTTOMLEFT);
    EXPECT_EQ(ResizeBorderHitTest(300, 372, w, h, 96, false), HTBOTTOM);
    EXPECT_EQ(ResizeBorderHitTest(518, 300, w, h, 96, false), HTRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(518, 372, w, h, 96, false), HTBOTTOMRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(2, 2, w, h, 96, false), HTTOPLEFT);
    EXPECT_EQ(ResizeBorderHitTest(500, 2, w, h, 96, false), HTTOP);
    EXPECT_EQ(ResizeBorderHitTest(518, 2, w, h, 96, false), HTTOPRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(300, 300, w, h, 96, false), HTCLIENT);
}

TEST(ResizeBorder, BoundariesAt96)
{
    const int w = 520;
    const int h = 374;
    EXPECT_EQ(ResizeBorderHitTest(3, 300, w, h, 96, false), HTLEFT);
    EXPECT_EQ(ResizeBorderHitTest(4, 300, w, h, 96, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(515, 300, w, h, 96, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(516, 300, w, h, 96, false), HTRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(300, 3, w, h, 96, false), HTTOP);
    EXPECT_EQ(ResizeBorderHitTest(300, 4, w, h, 96, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(300, 369, w, h, 96, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(300, 370, w, h, 96, false), HTBOTTOM);
}

TEST(ResizeBorder, FivePixelsAt120)
{
    const int w = 650;
    const int h = 468;
    EXPECT_EQ(ResizeBorderHitTest(4, 300, w, h, 120, false), HTLEFT);
    EXPECT_EQ(ResizeBorderHitTest(5, 300, w, h, 120, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(644, 300, w, h, 120, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(645, 300, w, h, 120, false), HTRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(300, 463, w, h, 120, false), HTBOTTOM);
    EXPECT_EQ(ResizeBorderHitTest(300, 462, w, h, 120, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(4, 464, w, h, 120, false), HTBOTTOMLEFT);
    EXPECT_EQ(ResizeBorderHitTest(645, 4, w, h, 120, false), HTTOPRIGHT);
}

TEST(ResizeBorder, StaysFourPixelsAt72)
{
    const int w = 390;
    const int h = 281;
    EXPECT_EQ(ResizeBorderHitTest(3, 200, w, h, 72, false), HTLEFT);
    EXPECT_EQ(ResizeBorderHitTest(4, 200, w, h, 72, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(386, 200, w, h, 72, false), HTRIGHT);
    EXPECT_EQ(ResizeBorderHitTest(385, 200, w, h, 72, false), HTCLIENT);
    EXPECT_EQ(ResizeBorderHitTest(200, 277, w, h, 72, false), HTBOTTOM);
    EXPECT_EQ(ResizeBorderHitTest(3, 3, w, h, 72, false), HTTOPLEFT);
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

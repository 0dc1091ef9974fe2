// Geometry at DPIs that do not divide evenly (120, 144, 168) and at odd logical
// coordinates, where scaling a width instead of both edges, or truncating instead of
// rounding, lands one device pixel off.
#include "WindowTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/NonClientHitTest.h"

#include <gtest/gtest.h>

#include <vector>

using windowtest::DpiOverride;
using windowtest::EventLog;
using windowtest::Place;
using windowtest::RecordingControl;

namespace {

struct Rect {
    int x, y, width, height;
};

struct DeviceRectCase {
    int dpi;
    Rect logical;
    Rect device; // left and top scaled; width and height from the scaled far edges
};

// Worked out with MulDiv's rounding (halves away from zero); the comment gives what
// scaling the width and height alone would give instead.
const DeviceRectCase kDeviceRects[] = {
    {120, {1, 1, 1, 1}, {1, 1, 2, 2}},           // 1 × 1
    {120, {5, 7, 3, 5}, {6, 9, 4, 6}},           // 4 × 6 (left 6.25, right 10)
    {120, {1, 3, 5, 7}, {1, 4, 7, 9}},           // 6 × 9
    {120, {24, 334, 472, 22}, {30, 418, 590, 27}}, // 590 × 28: the description line
    {144, {1, 1, 1, 1}, {2, 2, 1, 1}},           // 2 × 2
    {144, {5, 7, 3, 5}, {8, 11, 4, 7}},          // 5 × 8
    {144, {1, 3, 5, 7}, {2, 5, 7, 10}},          // 8 × 11
    {144, {24, 334, 472, 22}, {36, 501, 708, 33}},
    {168, {2, 3, 2, 2}, {4, 5, 3, 4}},           // 4 × 4
    {168, {1, 3, 5, 7}, {2, 5, 9, 13}},          // 9 × 12
    {168, {24, 334, 472, 22}, {42, 585, 826, 38}}, // 826 × 39
};

TEST(OddDpiGeometry, DeviceRectScalesEachEdge)
{
    for (const DeviceRectCase& c : kDeviceRects) {
        DpiOverride dpi(c.dpi);
        UIE::CUiControl control;
        control.x = c.logical.x;
        control.y = c.logical.y;
        control.width = c.logical.width;
        control.height = c.logical.height;
        const UIE::UiRect device = control.GetDeviceRect();
        SCOPED_TRACE(testing::Message() << c.dpi << " DPI, (" << c.logical.x << ", " << c.logical.y << ", "
                                        << c.logical.width << ", " << c.logical.height << ")");
        EXPECT_EQ(device.x, c.device.x);
        EXPECT_EQ(device.y, c.device.y);
        EXPECT_EQ(device.width, c.device.width);
        EXPECT_EQ(device.height, c.device.height);
    }
}

TEST(OddDpiGeometry, NeighboursShareTheirDeviceEdge)
{
    for (int dpiValue : {120, 144, 168}) {
        DpiOverride dpi(dpiValue);
        for (int x = 0; x < 12; ++x) {
            UIE::CUiControl left;
            UIE::CUiControl right;
            left.x = x;
            left.width = 1 + x % 3;
            right.x = left.x + left.width;
            right.width = 2;
            const UIE::UiRect a = left.GetDeviceRect();
            const UIE::UiRect b = right.GetDeviceRect();
            EXPECT_EQ(a.x + a.width, b.x) << dpiValue << " DPI, x " << x;
        }
    }
}

struct NonClientCase {
    int dpi;
    int x, y;
    int expected; // HTCAPTION, or -1 for "no opinion"
};

TEST(OddDpiGeometry, DragBandAndButtonCornerScale)
{
    // At 144 DPI the band is 390 high and the corner starts at 714, 78 high; at 168
    // they are 455, 833 and 91.
    const NonClientCase cases[] = {
        {144, 10, 389, HTCAPTION}, {144, 10, 390, -1}, {144, 713, 10, HTCAPTION},
        {144, 714, 10, -1},        {144, 714, 77, -1}, {144, 714, 78, HTCAPTION},
        {168, 10, 454, HTCAPTION}, {168, 10, 455, -1}, {168, 832, 10, HTCAPTION},
        {168, 833, 10, -1},        {168, 833, 90, -1}, {168, 833, 91, HTCAPTION},
    };
    for (const NonClientCase& c : cases)
        EXPECT_EQ(SetupUi::DragRegionHitTest(c.x, c.y, c.dpi, true), c.expected)
            << c.dpi << " DPI at (" << c.x << ", " << c.y << ")";
}

class OddDpiWindow : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateWindowWithRoot());
        a = Place(root, new RecordingControl("A", log), 0, 0, 10, 10);
        b = Place(root, new RecordingControl("B", log), 10, 0, 10, 20);
    }
    void TearDown() override { TearDownWindow(); }

    // The device rectangle that the window was asked to repaint since the last validation.
    RECT UpdateRect()
    {
        RECT rect{};
        GetUpdateRect(window.hwnd, &rect, FALSE);
        return rect;
    }

    RecordingControl* a = nullptr;
    RecordingControl* b = nullptr;
};

struct PressCase {
    int dpi;
    int deviceX, deviceY;
    EventLog expected;
};

TEST_F(OddDpiWindow, PressesReachTheControlUnderTheRoundedPoint)
{
    // A covers logical x 0-9 and B from 10; device points convert with rounding.
    const PressCase cases[] = {
        {120, 11, 5, {"A down 9,4", "A up 9,4"}},  // 8.8 → 9, 4
        {120, 12, 5, {"B down 0,4", "B up 0,4"}},  // 9.6 → 10
        {144, 14, 14, {"A down 9,9", "A up 9,9"}}, // 9.33
        {144, 1, 1, {"A down 1,1", "A up 1,1"}},   // 0.67 → 1
        {168, 16, 16, {"A down 9,9", "A up 9,9"}}, // 9.14
        {168, 17, 17, {"B down 0,10", "B up 0,10"}}, // 9.71 → 10
    };
    for (const PressCase& c : cases) {
        DpiOverride dpi(c.dpi);
        log.clear();
        PressAt(c.deviceX, c.deviceY);
        ReleaseAt(c.deviceX, c.deviceY);
        EXPECT_EQ(log, c.expected) << c.dpi << " DPI at (" << c.deviceX << ", " << c.deviceY << ")";
    }
}

struct InvalidateCase {
    int dpi;
    RECT expected;
};

TEST_F(OddDpiWindow, InvalidateCoversTheScaledEdgesOfTheAbsoluteRect)
{
    // A container at (2, 3) with a child at (3, 4, 5, 7): absolute (5, 7, 5, 7).
    auto* box = Place(root, new UIE::CUiControl(), 2, 3, 40, 40);
    auto* child = Place(box, new UIE::CUiControl(), 3, 4, 5, 7);
    const InvalidateCase cases[] = {
        {120, {6, 9, 13, 18}},  // right 12.5 → 13; from the width: 6 + 6 = 12
        {144, {8, 11, 15, 21}}, // from the size: 8 + 8 and 11 + 11 = 16, 22
        {168, {9, 12, 18, 25}}, // bottom 24.5 → 25; from the height: 12 + 12 = 24
    };
    // A hidden window collects no update region. The style bit alone makes it count as
    // visible without showing it, which would cost seconds on the display and at teardown.
    const LONG style = GetWindowLongW(window.hwnd, GWL_STYLE);
    SetWindowLongW(window.hwnd, GWL_STYLE, style | WS_VISIBLE);
    for (const InvalidateCase& c : cases) {
        DpiOverride dpi(c.dpi);
        ValidateRect(window.hwnd, nullptr);
        child->Invalidate();
        const RECT rect = UpdateRect();
        EXPECT_EQ(rect.left, c.expected.left) << c.dpi << " DPI";
        EXPECT_EQ(rect.top, c.expected.top) << c.dpi << " DPI";
        EXPECT_EQ(rect.right, c.expected.right) << c.dpi << " DPI";
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.dpi << " DPI";
    }
    SetWindowLongW(window.hwnd, GWL_STYLE, style);
}

} // namespace

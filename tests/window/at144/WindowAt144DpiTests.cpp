// The window in a Wine prefix whose display reports 144 DPI (run by run-at-144.sh): the
// sizes, the non-client border and the mouse coordinates go through the real DPI.
#include "window/WindowTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/setup/Window.h"

#include <gtest/gtest.h>

using windowtest::PointParam;
using windowtest::RecordingControl;

namespace {

class WindowAt144Dpi : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override
    {
        UIE::MakeProcessDpiAware();
        UIE::RefreshDpi(nullptr);
        ASSERT_EQ(UIE::GetDpiInfo().dpi, 144) << "run this program in the 144-DPI prefix";
        ASSERT_TRUE(CreateWindowWithRoot());
    }
    void TearDown() override
    {
        if (GetCapture() == window.hwnd)
            ReleaseCapture();
        TearDownWindow();
    }

    LRESULT HitAt(int clientX, int clientY) { return zmxtest::NcHitAt(window.hwnd, clientX, clientY); }
};

} // namespace

TEST_F(WindowAt144Dpi, WindowIs780By561DevicePixels)
{
    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 780);
    EXPECT_EQ(bounds.bottom - bounds.top, 561);
    RECT client{};
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(client.right, 780);
    EXPECT_EQ(client.bottom, 561);
    EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - 780) / 2);
    EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - 561) / 2);
}

TEST_F(WindowAt144Dpi, RootIsLaidOutInLogicalPixels)
{
    EXPECT_EQ(root->width, 520);
    EXPECT_EQ(root->height, 374);
}

TEST_F(WindowAt144Dpi, PressArrivesInLogicalPixels)
{
    auto* whole = windowtest::Place(root, new RecordingControl("Whole", log), 0, 0, 520, 374);
    whole->pressable = true;
    PressAt(150, 150);
    ReleaseAt(-3, 2);
    EXPECT_EQ(log, (windowtest::EventLog{"Whole down 100,100", "Whole up -2,1"}));
}

// The border is six pixels and the band scales: a client point and its WM_NCHITTEST code.
TEST_F(WindowAt144Dpi, BorderAndBandScale)
{
    const struct {
        int x;
        int y;
        LRESULT code;
    } cases[] = {
        {5, 450, HTLEFT},
        {6, 450, HTCLIENT},
        {774, 450, HTRIGHT},
        {773, 450, HTCLIENT},
        {400, 555, HTBOTTOM},
        {400, 554, HTCLIENT},
        {775, 556, HTBOTTOMRIGHT},
        {10, 389, HTCAPTION},
        {10, 390, HTCLIENT},
        {713, 20, HTCAPTION},
        {714, 20, HTCLIENT},
        {714, 78, HTCAPTION},
        {750, 2, HTTOP},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HitAt(c.x, c.y), c.code) << "(" << c.x << ", " << c.y << ")";
}

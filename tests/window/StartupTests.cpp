// The screen DPI as start-up and window creation read it.
#include "WindowTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/UiWindow.h"

#include <gtest/gtest.h>

using windowtest::DpiOverride;

TEST(StartupDpi, ScreenDpiIsReadFromTheScreen)
{
    DpiOverride keep(77);
    UIE::RefreshDpi(nullptr);
    EXPECT_EQ(UIE::GetDpiInfo().dpi, 96); // this bench's prefix
}

TEST(StartupDpi, WindowCreationRefreshesTheDpi)
{
    DpiOverride keep(77);
    windowtest::ParkCursor();
    SetupUi::CWindow window;
    // Sized at the old value, then WM_CREATE reads the window's own DC.
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
    EXPECT_EQ(UIE::GetDpiInfo().dpi, 96);
    DestroyWindow(window.hwnd);
}

TEST(StartupDpi, WithoutDeviceContextTheValueStays)
{
    DpiOverride keep(123);
    HWND gone = nullptr;
    {
        SetupUi::CWindow window;
        windowtest::ParkCursor();
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
        gone = window.hwnd;
    }
    ASSERT_FALSE(IsWindow(gone));
    UIE::GetDpiInfo().dpi = 123; // creating the window read the display's value
    // A destroyed window's handle has no DC to give.
    if (HDC dc = GetDC(gone)) {
        ReleaseDC(gone, dc);
        GTEST_SKIP() << "GetDC accepts a destroyed window here";
    }
    UIE::RefreshDpi(gone);
    EXPECT_EQ(UIE::GetDpiInfo().dpi, 123);
}

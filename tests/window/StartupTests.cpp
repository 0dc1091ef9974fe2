// The pieces of start-up that depend on the machine: the screen DPI and the UI font face.
#include "WindowTestSupport.h"

#include "ui/controls/Gdiplus.h"
#include "ui/window/Dpi.h"
#include "ui/window/UiWindow.h"

#include <gtest/gtest.h>

using windowtest::DpiOverride;

TEST(StartupDpi, ScreenDpiIsReadFromTheScreen)
{
    DpiOverride keep(77);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    UIE::RefreshDpi(nullptr);
    EXPECT_EQ(UIE::GetDpiInfo().dpi, UIE::NormalizeDpi(logPixels));
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

TEST(FontProbe, BenchProvidesMicrosoftYaHei)
{
    // Wine maps "微软雅黑" and "宋体" to WenQuanYi on this bench, so the start-up probe
    // chooses "微软雅黑" here, as it does on our users' machines.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        Gdiplus::FontFamily yahei(L"微软雅黑", nullptr);
        EXPECT_EQ(yahei.GetLastStatus(), Gdiplus::Ok);
        Gdiplus::FontFamily song(L"宋体", nullptr);
        EXPECT_EQ(song.GetLastStatus(), Gdiplus::Ok);
        Gdiplus::FontFamily missing(L"Zmx No Such Face", nullptr);
        EXPECT_NE(missing.GetLastStatus(), Gdiplus::Ok);
    }
    Gdiplus::GdiplusShutdown(token);
}

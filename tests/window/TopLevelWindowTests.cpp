// The real top-level window: class, frame, placement, non-client hit testing and the
// maximised size, checked through the messages the system sends it.
#include "WindowTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/UiWindow.h"
#include "ui/setup/Window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>

using windowtest::DpiOverride;
using windowtest::PointParam;

namespace {

class TopLevelWindow : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override { ASSERT_TRUE(CreateWindowWithRoot()); }
    void TearDown() override { TearDownWindow(); }
};

class NcHitTest : public TopLevelWindow {
protected:
    LRESULT HitAt(int clientX, int clientY) { return zmxtest::NcHitAt(window.hwnd, clientX, clientY); }
};

// A window whose OnMessage refuses WM_NCCREATE, so that CreateWindowExW fails for real.
class RefusingWindow : public SetupUi::CWindow {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCCREATE)
            return FALSE;
        return SetupUi::CWindow::OnMessage(message, wParam, lParam);
    }
};

} // namespace

TEST_F(TopLevelWindow, ClassAndTitle)
{
    wchar_t className[64] = {};
    GetClassNameW(window.hwnd, className, 64);
    EXPECT_EQ(std::wstring(className), L"Zmx.UiWindow");

    wchar_t title[64] = {};
    GetWindowTextW(window.hwnd, title, 64);
    EXPECT_EQ(std::wstring(title), L"卸载Qelvo视频格式转换器");
    EXPECT_EQ(window.title, L"卸载Qelvo视频格式转换器");

    EXPECT_EQ(GetClassLongW(window.hwnd, GCL_STYLE), static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(window.hwnd, GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_ARROW));
    const LONG style = GetWindowLongW(window.hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
}

TEST_F(TopLevelWindow, CreatedHiddenAndAttached)
{
    EXPECT_FALSE(IsWindowVisible(window.hwnd));
    EXPECT_EQ(reinterpret_cast<UIE::CUiWindow*>(GetWindowLongPtrW(window.hwnd, GWLP_USERDATA)),
              static_cast<UIE::CUiWindow*>(&window));
    EXPECT_EQ(window.instance, GetModuleHandleW(nullptr));
}

TEST_F(TopLevelWindow, SizeAt96AndClientIsWholeWindow)
{
    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 520);
    EXPECT_EQ(bounds.bottom - bounds.top, 374);

    RECT client{};
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(client.right, 520);
    EXPECT_EQ(client.bottom, 374);
    POINT origin{0, 0};
    ClientToScreen(window.hwnd, &origin);
    EXPECT_EQ(origin.x, bounds.left);
    EXPECT_EQ(origin.y, bounds.top);
}

TEST_F(TopLevelWindow, CentredOnPrimaryScreen)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    EXPECT_EQ(bounds.left, (screenWidth - 520) / 2);
    EXPECT_EQ(bounds.top, (screenHeight - 374) / 2);
    if (screenWidth == 1920 && screenHeight == 1080) {
        EXPECT_EQ(bounds.left, 700);
        EXPECT_EQ(bounds.top, 353);
    }
}

TEST_F(TopLevelWindow, RootControlsAddedBeforeCreateAreLaidOut)
{
    EXPECT_EQ(root->x, 0);
    EXPECT_EQ(root->y, 0);
    EXPECT_EQ(root->width, 520);
    EXPECT_EQ(root->height, 374);
}

TEST_F(TopLevelWindow, SizeMessageLaysOutUnlessMinimised)
{
    Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(root->width, 520);
    EXPECT_EQ(root->height, 374);

    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
    EXPECT_EQ(root->width, 600);
    EXPECT_EQ(root->height, 400);

    DpiOverride dpi(144);
    Send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(780, 561));
    EXPECT_EQ(root->width, 520);
    EXPECT_EQ(root->height, 374);
}

TEST_F(TopLevelWindow, SecondWindowInSameProcessStillCreates)
{
    // The class is registered once per process; registering it again would fail.
    SetupUi::CWindow second;
    ASSERT_TRUE(second.Create(GetModuleHandleW(nullptr)));
    EXPECT_NE(second.hwnd, window.hwnd);
    wchar_t className[64] = {};
    GetClassNameW(second.hwnd, className, 64);
    EXPECT_EQ(std::wstring(className), L"Zmx.UiWindow");
    const HWND handle = second.hwnd;
    DestroyWindow(handle);
    EXPECT_EQ(second.hwnd, nullptr);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(TopLevelWindowCreation, RefusedCreationReturnsFalseWithoutHandle)
{
    RefusingWindow refused;
    EXPECT_FALSE(refused.Create(GetModuleHandleW(nullptr)));
    EXPECT_EQ(refused.hwnd, nullptr);
    // The failure leaves nothing behind that would stop the next window.
    SetupUi::CWindow next;
    EXPECT_TRUE(next.Create(GetModuleHandleW(nullptr)));
}

TEST_F(TopLevelWindow, DestroyClearsHandle)
{
    const HWND handle = window.hwnd;
    DestroyWindow(handle);
    EXPECT_EQ(window.hwnd, nullptr);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(TopLevelWindowLifetime, DestructorDestroysLiveWindow)
{
    HWND handle = nullptr;
    {
        SetupUi::CWindow window;
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
        handle = window.hwnd;
    }
    EXPECT_FALSE(IsWindow(handle));
}

// A client point (device pixels) at a DPI and the code WM_NCHITTEST answers for it.
struct NcHitCase {
    int dpi;
    int x;
    int y;
    LRESULT code;
};

TEST_F(NcHitTest, BorderAndBandPerDpi)
{
    const NcHitCase cases[] = {
        {96, 2, 300, HTLEFT},
        {96, 2, 372, HTBOTTOMLEFT},
        {96, 300, 372, HTBOTTOM},
        {96, 518, 300, HTRIGHT},
        {96, 518, 372, HTBOTTOMRIGHT},
        {96, 2, 2, HTCAPTION}, // the drag band wins over the corner
        {96, 500, 2, HTTOP},   // top edge of the caption-button block
        {96, 518, 2, HTTOPRIGHT},
        {96, 500, 30, HTCLIENT},
        {96, 10, 10, HTCAPTION},
        {96, 10, 259, HTCAPTION},
        {96, 10, 260, HTCLIENT},
        {96, 300, 300, HTCLIENT},
        // Border 5, band 325, block from 595.
        {120, 300, 324, HTCAPTION},
        {120, 300, 325, HTCLIENT},
        {120, 4, 340, HTLEFT},
        {120, 5, 340, HTCLIENT},
        {120, 515, 340, HTRIGHT},
        {120, 300, 369, HTBOTTOM},
        // The border stays 4, band 195.
        {72, 3, 300, HTLEFT},
        {72, 4, 300, HTCLIENT},
        {72, 300, 194, HTCAPTION},
        {72, 300, 195, HTCLIENT},
        {72, 516, 300, HTRIGHT},
    };
    for (const NcHitCase& c : cases) {
        DpiOverride dpi(c.dpi);
        EXPECT_EQ(HitAt(c.x, c.y), c.code) << "(" << c.x << ", " << c.y << ") at " << c.dpi;
    }
}

TEST_F(NcHitTest, WithoutDragRegionTopEdgeResizes)
{
    window.dragRegionEnabled = false;
    EXPECT_EQ(HitAt(2, 2), HTTOPLEFT);
    EXPECT_EQ(HitAt(300, 2), HTTOP);
    EXPECT_EQ(HitAt(10, 10), HTCLIENT);
}

TEST_F(NcHitTest, MaximisedWindowHasNoResizeBorder)
{
    ShowWindow(window.hwnd, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(window.hwnd));
    RECT client{};
    GetClientRect(window.hwnd, &client);
    const int right = client.right - 2;
    const int bottom = client.bottom - 2;
    EXPECT_EQ(HitAt(2, 300), HTCLIENT);
    EXPECT_EQ(HitAt(right, 300), HTCLIENT);
    EXPECT_EQ(HitAt(300, bottom), HTCLIENT);
    EXPECT_EQ(HitAt(2, bottom), HTCLIENT);
    EXPECT_EQ(HitAt(right, bottom), HTCLIENT);
    EXPECT_EQ(HitAt(2, 2), HTCAPTION);
    // The caption-button block stays at 476 from the left, however wide the window.
    EXPECT_EQ(HitAt(500, 2), HTCLIENT);
    EXPECT_EQ(HitAt(right, 2), HTCLIENT);
    EXPECT_EQ(HitAt(right, 52), HTCAPTION);
}

TEST_F(NcHitTest, MaximisedWindowFillsTheWorkArea)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window.hwnd, MONITOR_DEFAULTTONEAREST), &monitor));

    MINMAXINFO info = {};
    info.ptMinTrackSize = POINT{123, 45};
    info.ptMaxTrackSize = POINT{6789, 4321};
    EXPECT_EQ(Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMaxPosition.x, monitor.rcWork.left - monitor.rcMonitor.left);
    EXPECT_EQ(info.ptMaxPosition.y, monitor.rcWork.top - monitor.rcMonitor.top);
    EXPECT_EQ(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_EQ(info.ptMaxSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
    // Tracking sizes stay as the system set them.
    EXPECT_EQ(info.ptMinTrackSize.x, 123);
    EXPECT_EQ(info.ptMinTrackSize.y, 45);
    EXPECT_EQ(info.ptMaxTrackSize.x, 6789);
    EXPECT_EQ(info.ptMaxTrackSize.y, 4321);

    ShowWindow(window.hwnd, SW_MAXIMIZE);
    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    EXPECT_EQ(bounds.left, monitor.rcWork.left);
    EXPECT_EQ(bounds.top, monitor.rcWork.top);
    EXPECT_EQ(bounds.right, monitor.rcWork.right);
    EXPECT_EQ(bounds.bottom, monitor.rcWork.bottom);
    EXPECT_EQ(root->width, monitor.rcWork.right - monitor.rcWork.left);
}

// 64-bit Windows places heaps and images above 4 GB, where Wine never does: a window object
// there must still be reached through its handle, so the pointer it keeps with the handle
// must not be cut to 32 bits.
TEST(TopLevelWindowLifetime, ObjectAboveFourGigabytesIsReachedThroughItsHandle)
{
#if defined(_WIN64)
    void* memory = VirtualAlloc(nullptr, sizeof(SetupUi::CWindow), MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN,
                                PAGE_READWRITE);
    ASSERT_NE(memory, nullptr);
    if (reinterpret_cast<uintptr_t>(memory) <= 0xFFFFFFFFu) {
        VirtualFree(memory, 0, MEM_RELEASE);
        GTEST_SKIP() << "no memory above 4 GB";
    }
    auto* window = new (memory) SetupUi::CWindow();
    ASSERT_TRUE(window->Create(GetModuleHandleW(nullptr)));
    const HWND handle = window->hwnd;
    EXPECT_EQ(reinterpret_cast<SetupUi::CWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA)), window);
    // A message that only the object answers: the hit test of the drag region.
    POINT point{10, 10};
    ClientToScreen(handle, &point);
    EXPECT_EQ(SendMessageW(handle, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), HTCAPTION);
    DestroyWindow(handle);
    EXPECT_EQ(window->hwnd, nullptr);
    window->~CWindow();
    VirtualFree(memory, 0, MEM_RELEASE);
#else
    GTEST_SKIP() << "a 32-bit process has no memory above 4 GB";
#endif
}

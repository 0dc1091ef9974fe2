#include "app/UninstallerApp.h"
#include "helpers/TestSupport.h"
#include "helpers/UiTestSupport.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// Refuses every window this thread tries to create, as a system out of resources would.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ExpectUiResourcesReleased(const UninstallerApp& app)
{
    EXPECT_EQ(app.gdiplusToken, nullptr);
    EXPECT_EQ(UIE::defaultFontFamily, nullptr);
    EXPECT_EQ(UIE::GdiplusFontCacheSize(), 0u);
    EXPECT_EQ(UIE::CUiImageCache::Instance().Size(), 0u);
}

} // namespace

TEST(AppRun, FailedWindowCreationReturnsOneAndReleasesGdiplus)
{
    zmxtest::ScratchDir dir;
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    UninstallerApp app;
    const std::optional<AcceptedFolder> folder = AcceptedFolder::Read(dir.Path());
    ASSERT_TRUE(folder.has_value());
    const int exitCode = app.Run(GetModuleHandleW(nullptr), SW_SHOWNORMAL, *folder);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(app.window.hwnd, nullptr);
    ExpectUiResourcesReleased(app);
}

TEST(AppRun, ClosedWindowEndsRunWithZeroAndLeavesTheInstallationAlone)
{
    zmxtest::ScratchDir dir;
    ASSERT_TRUE(zmxtest::WriteFileBytes(dir / L"Uninstall.exe", "MZ"));
    UninstallerApp app;
    const zmxtest::ThemeScope savedTheme;
    UIE::UiTheme = UIE::UiThemeColors{0, 0, 0, 0};

    // Closes the window from outside once it is shown, as Alt+F4 on an idle window would.
    std::atomic<bool> stop{false};
    std::thread closer([&] {
        while (!stop) {
            if (HWND window = FindWindowW(L"Zmx.UiWindow", nullptr)) {
                if (IsWindowVisible(window)) {
                    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                    return;
                }
            }
            Sleep(20);
        }
    });
    const std::optional<AcceptedFolder> folder = AcceptedFolder::Read(dir.Path());
    ASSERT_TRUE(folder.has_value());
    const int exitCode = app.Run(GetModuleHandleW(nullptr), SW_SHOWNORMAL, *folder);
    stop = true;
    closer.join();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(app.window.hwnd, nullptr);
    EXPECT_FALSE(app.Busy());
    ASSERT_TRUE(app.installDir.has_value());
    EXPECT_EQ(app.installDir->Path(), dir.Path());
    EXPECT_TRUE(zmxtest::FileExists(dir / L"Uninstall.exe"));
    // The bench maps the preferred face to an installed font, so the probe finds it.
    EXPECT_EQ(UIE::uiFontFace, L"微软雅黑");
    ExpectUiResourcesReleased(app);
    // The theme is in place before the content is built: the status line took its colour.
    EXPECT_EQ(UIE::UiTheme.windowBackground, 0xFFFFFFFFu);
    EXPECT_EQ(UIE::UiTheme.progressStart, 0xFFFF7467u);
    EXPECT_EQ(UIE::UiTheme.progressEnd, 0xFFFF7467u);
    EXPECT_EQ(UIE::UiTheme.primaryText, 0xFF333333u);
    ASSERT_NE(app.Controls().statusLabel, nullptr);
    EXPECT_EQ(app.Controls().statusLabel->textColor, static_cast<COLORREF>(0x333333));
}

// The copy's window comes to the front even when another window had it. Wine has no
// foreground lock, so this shows only that the request is made and honoured.
TEST(AppRun, TheShownWindowIsTheForegroundWindow)
{
    zmxtest::ScratchDir dir;
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    std::atomic<bool> foreground{false};
    std::thread closer([&] {
        HWND window = nullptr;
        for (int i = 0; i < 500 && !foreground; ++i, Sleep(20)) {
            window = FindWindowW(L"Zmx.UiWindow", nullptr);
            foreground = window && IsWindowVisible(window) && GetForegroundWindow() == window;
        }
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    const std::optional<AcceptedFolder> folder = AcceptedFolder::Read(dir.Path());
    ASSERT_TRUE(folder.has_value());
    UninstallerApp app;
    EXPECT_EQ(app.Run(GetModuleHandleW(nullptr), SW_SHOWNORMAL, *folder), 0);
    closer.join();
    DestroyWindow(other);
    EXPECT_TRUE(foreground);
}

// A window started minimised, hidden or without activation keeps what its starter asked for.
TEST(AppRun, OnlyAnActiveShowCommandAsksForTheForeground)
{
    const int taking[] = {SW_SHOWNORMAL, SW_SHOW, SW_SHOWMAXIMIZED, SW_RESTORE, SW_SHOWDEFAULT};
    const int keeping[] = {SW_HIDE, SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_SHOWNA,
                           SW_SHOWNOACTIVATE, SW_FORCEMINIMIZE};
    for (const int command : taking)
        EXPECT_TRUE(ShowCommandTakesForeground(command)) << command;
    for (const int command : keeping)
        EXPECT_FALSE(ShowCommandTakesForeground(command)) << command;
}

// The artwork is prepared while the directory is checked; when the check refuses it, the
// application goes without a window and must still wait for its helper and end GDI+.
TEST(AppRun, UiPreparedForARefusedDirectoryIsReleasedWithTheApplication)
{
    auto app = std::make_unique<UninstallerApp>();
    app->PrepareUi(GetModuleHandleW(nullptr));
    EXPECT_NE(app->gdiplusToken, nullptr);
    app.reset();
    EXPECT_EQ(UIE::CUiImageCache::Instance().Size(), 0u);
    EXPECT_EQ(UIE::CUiImageCache::Instance().LayerCount(), 0u);
    EXPECT_EQ(UIE::defaultFontFamily, nullptr);
}

// The uninstall flow inside the process: the application's real window, content and
// message boxes, with a scratch installation. A thread of the test plays the user in the
// message boxes; the test thread is the window thread and pumps its messages.
#include "app/UninstallerApp.h"
#include "helpers/BoxAnswerer.h"
#include "helpers/Canvas.h"
#include "helpers/TestSupport.h"

#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

using namespace zmxtest;

namespace {

const wchar_t kConfirmTitle[] = L"确认卸载";
const wchar_t kSuccessTitle[] = L"Qelvo视频格式转换器";
const wchar_t kFailureTitle[] = L"卸载失败";

struct Layout {
    bool uninstallButton;
    bool descriptionLabel;
    bool closeButton;
    bool minimizeButton;
    bool statusLabel;
    bool progressBar;

    bool operator==(const Layout& other) const
    {
        return uninstallButton == other.uninstallButton && descriptionLabel == other.descriptionLabel
            && closeButton == other.closeButton && minimizeButton == other.minimizeButton
            && statusLabel == other.statusLabel && progressBar == other.progressBar;
    }
};

std::ostream& operator<<(std::ostream& out, const Layout& layout)
{
    return out << "{button " << layout.uninstallButton << ", description " << layout.descriptionLabel << ", close "
               << layout.closeButton << ", minimise " << layout.minimizeButton << ", status " << layout.statusLabel
               << ", bar " << layout.progressBar << "}";
}

// One message box as the flow asked for it.
struct ShownBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;

    bool operator==(const ShownBox& other) const
    {
        return owner == other.owner && text == other.text && caption == other.caption && style == other.style;
    }
};

std::ostream& operator<<(std::ostream& out, const ShownBox& box)
{
    std::string text;
    for (wchar_t c : box.caption + L" | " + box.text)
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return out << "{owner " << box.owner << ", style 0x" << std::hex << box.style << std::dec << ", " << text << "}";
}

// The client area's pixels as the window shows them.
std::vector<uint32_t> ShownPixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    Canvas canvas(client.right, client.bottom);
    const HDC dc = GetDC(window);
    canvas.CopyFrom(dc);
    ReleaseDC(window, dc);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}

size_t DifferentPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

const Layout kIdle{true, true, true, false, false, false};
const Layout kBusy{false, false, false, true, true, true};

// GDI+ for the content's images; the cached bitmaps go before GDI+ does.
class GdiplusSession {
public:
    ~GdiplusSession() { UIE::CUiImageCache::Instance().Clear(); }

private:
    UIE::CGdiplusSession session;
};

// The application with its window and content over a scratch installation of a few files
// in nested folders. The window stays hidden: the flow does not depend on it being shown.
class AppFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        installDir = scratch.MakeDir(L"Qelvo视频格式转换器");
        ASSERT_FALSE(installDir.empty());
        scratch.MakeDir(L"Qelvo视频格式转换器\\plugins\\codecs");
        ASSERT_TRUE(WriteFileBytes(installDir + L"\\Qelvo.exe", "MZ"));
        ASSERT_TRUE(WriteFileBytes(installDir + L"\\plugins\\codecs\\h264.dll", "codec"));
        ASSERT_TRUE(WriteFileBytes(installDir + L"\\readme.txt", "readme"));

        app.instance = GetModuleHandleW(nullptr);
        app.installDir = AcceptedFolder::Read(installDir);
        ASSERT_TRUE(app.installDir.has_value());
        ASSERT_TRUE(app.window.Create(app.instance));
        app.BuildContent();
        windowHandle = app.window.hwnd;
        // Recorded, then shown for real so that the user thread answers the actual box.
        app.showMessageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
            shown.push_back(ShownBox{owner, text, caption, style});
            statesAtBoxes.push_back(app.State());
            return ShowMessageBox(owner, text, caption, style);
        };
    }

    // The three boxes of the flow, each modal over the uninstall window, with its icon.
    ShownBox ConfirmationBox() const
    {
        return ShownBox{windowHandle, L"确定卸载Qelvo视频格式转换器吗？\n\n卸载前请关闭正在运行的主程序。", L"确认卸载",
                        0x24}; // Yes and No, question mark
    }
    ShownBox SuccessBox() const
    {
        return ShownBox{windowHandle, L"卸载完成。", L"Qelvo视频格式转换器", 0x40}; // OK, information
    }
    ShownBox FailureBox() const
    {
        return ShownBox{windowHandle, L"部分文件无法删除，请关闭主程序后重试。", L"卸载失败", 0x10}; // OK, error
    }

    void TearDown() override
    {
        if (app.window.hwnd)
            DestroyWindow(app.window.hwnd);
        DropQueuedMessages();
    }

    Layout CurrentLayout() const
    {
        const WindowControls& c = app.Controls();
        return Layout{c.uninstallButton->visible, c.descriptionLabel->visible, c.closeButton->visible,
                      c.minimizeButton->visible,  c.statusLabel->visible,      c.progressBar->visible};
    }

    // The application's answers to the window's messages, as Run installs them.
    void InstallHook()
    {
        app.window.messageHook = [this](UINT m, WPARAM w, LPARAM l) { return app.HandleHookMessage(m, w, l); };
    }

    // A starter that counts the attempts and then starts the thread as the program does.
    WorkerStarter CountingStarter()
    {
        return [this](std::thread& thread, std::function<void()> body) {
            ++workersStarted;
            return StartWorkerThread(thread, std::move(body));
        };
    }

    GdiplusSession gdiplus;
    ScratchDir scratch;
    // Opens one of the installation's files without delete sharing, as a running main
    // program keeps its files, so a removal fails; the caller closes it.
    HANDLE HoldCodec() const
    {
        return CreateFileW((installDir + L"\\plugins\\codecs\\h264.dll").c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::wstring installDir;
    UninstallerApp app;
    BoxAnswerer user;
    int workersStarted = 0;
    HWND windowHandle = nullptr;
    std::vector<ShownBox> shown;
    std::vector<AppState> statesAtBoxes; // the application's state as each box opened
};

TEST_F(AppFlow, NoInTheConfirmationChangesNothing)
{
    app.SetWorkerStarter(CountingStarter());
    user.Answer(kConfirmTitle, IDNO);

    app.ConfirmAndStart();
    // Nothing may come back later either.
    PumpUntil([] { return false; }, 500);

    EXPECT_EQ(CurrentLayout(), kIdle);
    EXPECT_FALSE(app.Busy());
    EXPECT_EQ(app.Controls().progressBar->value, 0);
    EXPECT_EQ(workersStarted, 0);
    EXPECT_TRUE(FileExists(installDir + L"\\plugins\\codecs\\h264.dll"));
    ASSERT_EQ(user.SeenBoxes().size(), 1u);
    EXPECT_EQ(user.SeenBoxes()[0].title, kConfirmTitle);
    EXPECT_EQ(user.SeenBoxes()[0].text, L"确定卸载Qelvo视频格式转换器吗？\n\n卸载前请关闭正在运行的主程序。");
    EXPECT_NE(app.window.hwnd, nullptr);
    EXPECT_EQ(shown, std::vector<ShownBox>{ConfirmationBox()});
    EXPECT_EQ(statesAtBoxes, std::vector<AppState>{AppState::Confirming});
    EXPECT_EQ(app.State(), AppState::Idle);
}

TEST_F(AppFlow, YesRemovesAndReportsSuccessThenCloses)
{
    app.SetWorkerStarter(CountingStarter());
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kSuccessTitle, IDOK);

    app.ConfirmAndStart();
    EXPECT_TRUE(app.Busy());
    EXPECT_EQ(CurrentLayout(), kBusy);
    EXPECT_EQ(app.Controls().progressBar->value, 10);

    ASSERT_TRUE(PumpUntil([&] { return app.window.hwnd == nullptr; }, 30000)) << "the window did not close";
    EXPECT_EQ(workersStarted, 1);
    EXPECT_FALSE(app.Busy());
    EXPECT_EQ(app.Controls().progressBar->value, 100);
    EXPECT_FALSE(PathExists(installDir));
    const std::vector<std::wstring> titles{kConfirmTitle, kSuccessTitle};
    EXPECT_EQ(user.SeenTitles(), titles);
    EXPECT_EQ(user.SeenBoxes().back().text, L"卸载完成。");
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), SuccessBox()}));
    EXPECT_EQ(statesAtBoxes, (std::vector<AppState>{AppState::Confirming, AppState::Done}));
    EXPECT_EQ(app.State(), AppState::Done);
}

TEST_F(AppFlow, FailureRestoresTheIdleLayoutAndAllowsAnotherAttempt)
{
    app.SetWorkerStarter(CountingStarter());
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);
    user.Answer(kSuccessTitle, IDOK);
    HANDLE held = HoldCodec();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    app.ConfirmAndStart();
    ASSERT_TRUE(PumpUntil([&] { return !app.Busy(); }, 30000)) << "no result was reported";
    EXPECT_EQ(CurrentLayout(), kIdle);
    EXPECT_NE(app.window.hwnd, nullptr);
    EXPECT_TRUE(IsWindow(app.window.hwnd));
    EXPECT_TRUE(FileExists(installDir + L"\\plugins\\codecs\\h264.dll"));
    EXPECT_FALSE(FileExists(installDir + L"\\Qelvo.exe"));
    EXPECT_FALSE(FileExists(installDir + L"\\readme.txt"));
    ASSERT_EQ(user.SeenBoxes().size(), 2u);
    EXPECT_EQ(user.SeenBoxes()[1].title, kFailureTitle);
    EXPECT_EQ(user.SeenBoxes()[1].text, L"部分文件无法删除，请关闭主程序后重试。");

    // The main program has been closed: the next attempt asks again and succeeds.
    CloseHandle(held);
    app.ConfirmAndStart();
    ASSERT_TRUE(PumpUntil([&] { return app.window.hwnd == nullptr; }, 30000)) << "the window did not close";
    EXPECT_EQ(workersStarted, 2);
    EXPECT_FALSE(PathExists(installDir));
    const std::vector<std::wstring> titles{kConfirmTitle, kFailureTitle, kConfirmTitle, kSuccessTitle};
    EXPECT_EQ(user.SeenTitles(), titles);
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), FailureBox(), ConfirmationBox(), SuccessBox()}));
    EXPECT_EQ(statesAtBoxes, (std::vector<AppState>{AppState::Confirming, AppState::Idle, AppState::Confirming,
                                                    AppState::Done}));
}

TEST_F(AppFlow, WithoutAWorkerThreadTheRemovalStillRunsAndIsReported)
{
    int attempts = 0;
    app.SetWorkerStarter([&](std::thread&, std::function<void()>) {
        ++attempts;
        return false;
    });
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kSuccessTitle, IDOK);

    app.ConfirmAndStart();
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(PathExists(installDir)) << "the removal did not run";

    ASSERT_TRUE(PumpUntil([&] { return app.window.hwnd == nullptr; }, 30000)) << "the result was not reported";
    EXPECT_FALSE(app.Busy());
    EXPECT_EQ(app.Controls().progressBar->value, 100);
    const std::vector<std::wstring> titles{kConfirmTitle, kSuccessTitle};
    EXPECT_EQ(user.SeenTitles(), titles);
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), SuccessBox()}));
}

TEST_F(AppFlow, WithoutAWorkerThreadAFailureIsReportedToo)
{
    app.SetWorkerStarter([](std::thread&, std::function<void()>) { return false; });
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);
    const std::wstring heldPath = installDir + L"\\readme.txt";
    HANDLE held = CreateFileW(heldPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    app.ConfirmAndStart();
    const bool reported = PumpUntil([&] { return !app.Busy(); }, 30000);
    CloseHandle(held);
    ASSERT_TRUE(reported) << "the result was not reported";
    EXPECT_EQ(CurrentLayout(), kIdle);
    EXPECT_TRUE(IsWindow(app.window.hwnd));
    const std::vector<std::wstring> titles{kConfirmTitle, kFailureTitle};
    EXPECT_EQ(user.SeenTitles(), titles);
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), FailureBox()}));
}

TEST_F(AppFlow, CompletionQueuedWhenTheWindowGoesIsDiscarded)
{
    app.SetBusy(true);
    app.ShowLayout(true);
    app.Controls().progressBar->value = 10;
    // The worker posts its result just before the window is destroyed from outside.
    std::thread worker([&] { RunRemoval(*app.installDir, app.CompletionPoster()); });
    worker.join();
    DestroyWindow(app.window.hwnd);
    PumpUntil([] { return false; }, 500);

    EXPECT_FALSE(PathExists(installDir));
    EXPECT_TRUE(user.SeenBoxes().empty()) << "a result was reported without a window";
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(app.Busy());
    EXPECT_EQ(app.Controls().progressBar->value, 10);
}

TEST_F(AppFlow, CompletionPostedAfterTheWindowHasGoneIsDiscarded)
{
    app.SetBusy(true);
    app.ShowLayout(true);
    app.Controls().progressBar->value = 10;
    DestroyWindow(app.window.hwnd);
    ASSERT_EQ(app.window.hwnd, nullptr);

    std::thread worker([&] { RunRemoval(*app.installDir, app.CompletionPoster()); });
    worker.join();
    PumpUntil([] { return false; }, 500);

    EXPECT_FALSE(PathExists(installDir));
    EXPECT_TRUE(user.SeenBoxes().empty()) << "a result was reported without a window";
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(app.Busy());
    EXPECT_EQ(app.Controls().progressBar->value, 10);
}

// The system asks before a logoff, restart or shutdown: no while files are being removed,
// yes when idle, before and after.
TEST_F(AppFlow, TheSessionMayEndOnlyWhileIdle)
{
    InstallHook();
    // No removal: the test reports the result itself.
    app.SetWorkerStarter([](std::thread&, std::function<void()>) { return true; });
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);
    const auto mayEnd = [this] { return SendMessageW(windowHandle, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); };

    EXPECT_EQ(mayEnd(), TRUE) << "idle";
    app.ConfirmAndStart();
    ASSERT_TRUE(app.Busy());
    EXPECT_EQ(mayEnd(), FALSE) << "removing";
    ReportCompletion(&app, false);
    EXPECT_EQ(mayEnd(), TRUE) << "idle after the result";
}

// A session that ends anyway may end the process as soon as WM_ENDSESSION returns: the
// removal must be over by then.
TEST_F(AppFlow, AnEndingSessionWaitsForTheRemovalToFinish)
{
    InstallHook();
    std::atomic<bool> finished{false};
    app.SetWorkerStarter([&finished](std::thread& thread, std::function<void()> body) {
        return StartWorkerThread(thread, [&finished, body] {
            Sleep(500);
            body();
            finished = true;
        });
    });
    user.Answer(kConfirmTitle, IDYES);

    app.ConfirmAndStart();
    ASSERT_TRUE(app.Busy());
    SendMessageW(windowHandle, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(finished) << "WM_ENDSESSION returned while the removal still ran";
    EXPECT_FALSE(PathExists(installDir));
}

TEST_F(AppFlow, EachLayoutSwitchIsDrawnByTheWindowsNextPaint)
{
    // No removal: the test reports the result itself.
    app.SetWorkerStarter([](std::thread&, std::function<void()>) { return true; });
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);
    const HWND hwnd = app.window.hwnd;
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    PumpUntil([] { return false; }, 200);
    const std::vector<uint32_t> idle = ShownPixels(hwnd);

    // A frame drawn afresh from the controls' state: what the window must show.
    auto redrawn = [&] {
        app.window.Invalidate(nullptr);
        UpdateWindow(hwnd);
        return ShownPixels(hwnd);
    };

    app.ConfirmAndStart();
    ASSERT_EQ(CurrentLayout(), kBusy);
    UpdateWindow(hwnd);
    const std::vector<uint32_t> busy = ShownPixels(hwnd);
    EXPECT_GT(DifferentPixels(busy, idle), 0u) << "the busy layout never reached the window";
    EXPECT_EQ(DifferentPixels(busy, redrawn()), 0u);

    ReportCompletion(&app, false);
    ASSERT_EQ(CurrentLayout(), kIdle);
    UpdateWindow(hwnd);
    const std::vector<uint32_t> idleAgain = ShownPixels(hwnd);
    EXPECT_EQ(DifferentPixels(idleAgain, idle), 0u);
    EXPECT_EQ(DifferentPixels(idleAgain, redrawn()), 0u);
}

} // namespace

namespace {

std::wstring ShortcutPath()
{
    wchar_t desktop[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop) < 0)
        return {};
    return std::wstring(desktop) + L"\\Qelvo视频格式转换器.lnk";
}

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zembrivox";

bool UninstallKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The product as its installer leaves it: the desktop shortcut and the uninstall key
// besides the files.
class RegisteredAppFlow : public AppFlow {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppFlow::SetUp());
        ASSERT_TRUE(WriteFileBytes(ShortcutPath(), "L"));
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        DeleteFileW(ShortcutPath().c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        AppFlow::TearDown();
    }
};

} // namespace

// A file held open fails the removal: the product keeps its shortcut and its entry in the
// installed programs, so the user can finish the job later; the retry removes all three.
TEST_F(RegisteredAppFlow, AFailedUninstallStaysRegisteredUntilARetryFinishes)
{
    app.SetWorkerStarter(CountingStarter());
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);
    user.Answer(kSuccessTitle, IDOK);
    HANDLE held = HoldCodec();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    app.ConfirmAndStart();
    const bool reported = PumpUntil([&] { return !app.Busy(); }, 30000);
    CloseHandle(held);
    ASSERT_TRUE(reported) << "no result was reported";
    EXPECT_FALSE(FileExists(installDir + L"\\readme.txt"));
    EXPECT_TRUE(FileExists(ShortcutPath()));
    EXPECT_TRUE(UninstallKeyExists());

    app.ConfirmAndStart();
    ASSERT_TRUE(PumpUntil([&] { return app.window.hwnd == nullptr; }, 30000)) << "the window did not close";
    EXPECT_FALSE(PathExists(installDir));
    EXPECT_FALSE(PathExists(ShortcutPath()));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), FailureBox(), ConfirmationBox(), SuccessBox()}));
}

// Between the confirmation's re-check and the worker's open, the accepted folder is renamed
// away and another real folder moved into its place: the worker opens what stands there
// now, finds another folder and removes nothing of either; the product stays registered.
TEST_F(RegisteredAppFlow, AnotherFolderSwappedInAfterTheRecheckKeepsEveryFile)
{
    scratch.MakeDir(L"My Videos\\clips");
    ASSERT_TRUE(WriteFileBytes(scratch / L"My Videos\\trip.mp4", "video"));
    ASSERT_TRUE(WriteFileBytes(scratch / L"My Videos\\clips\\clip1.mp4", "clip"));
    const std::wstring movedAway = scratch / L"Qelvo moved away";
    int swaps = 0;
    app.SetWorkerStarter([&](std::thread& thread, std::function<void()> body) {
        swaps += MoveFileW(installDir.c_str(), movedAway.c_str())
            && MoveFileW((scratch / L"My Videos").c_str(), installDir.c_str());
        return StartWorkerThread(thread, std::move(body));
    });
    user.Answer(kConfirmTitle, IDYES);
    user.Answer(kFailureTitle, IDOK);

    app.ConfirmAndStart();
    ASSERT_TRUE(PumpUntil([&] { return !app.Busy(); }, 30000)) << "no result was reported";

    ASSERT_EQ(swaps, 1);
    for (const wchar_t* kept : {L"trip.mp4", L"clips\\clip1.mp4"})
        EXPECT_TRUE(FileExists(installDir + L"\\" + kept)) << WideToUtf8(kept);
    for (const wchar_t* kept : {L"Qelvo.exe", L"readme.txt", L"plugins\\codecs\\h264.dll"})
        EXPECT_TRUE(FileExists(movedAway + L"\\" + kept)) << WideToUtf8(kept);
    EXPECT_TRUE(FileExists(ShortcutPath()));
    EXPECT_TRUE(UninstallKeyExists());
    EXPECT_EQ(shown, (std::vector<ShownBox>{ConfirmationBox(), FailureBox()}));
}

// Escape, close and the application's message hook: what reaches the hook, what reaches
// the window's own handling, and how the uninstaller's hook guards a running removal.
#include "WindowTestSupport.h"

#include "app/UninstallerApp.h"
#include "ui/framework/window/UiWindow.h"
#include "ui/setup/Window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SeenMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records what the default handling hands to OnMessage, and what OnEscape is asked.
class ObservedWindow : public SetupUi::CWindow {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DESTROY || message >= WM_USER)
            seen.push_back(SeenMessage{message, wParam, lParam});
        return message == kAnswered ? 42 : -1;
    }
    bool OnEscape() override
    {
        ++escapes;
        return consumeEscape;
    }

    static constexpr UINT kAnswered = WM_USER + 2;
    std::vector<SeenMessage> seen;
    int escapes = 0;
    bool consumeEscape = false;
};

class MessageHook : public ::testing::Test {
protected:
    void SetUp() override
    {
        windowtest::ParkCursor();
        window.messageHook = [this](UINT message, WPARAM, LPARAM) -> LRESULT {
            hookSeen.push_back(message);
            if (message == kHookAnswers)
                return 7;
            return -1;
        };
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
        hookSeen.clear();
    }
    void TearDown() override
    {
        if (window.hwnd)
            DestroyWindow(window.hwnd);
        windowtest::DropQueuedMessages();
    }

    bool HookSaw(UINT message) const
    {
        for (UINT seen : hookSeen)
            if (seen == message)
                return true;
        return false;
    }

    static constexpr UINT kHookAnswers = WM_USER + 1;
    ObservedWindow window;
    std::vector<UINT> hookSeen;
};

} // namespace

TEST_F(MessageHook, UnhandledMessageReachesOnMessageUnchanged)
{
    EXPECT_EQ(SendMessageW(window.hwnd, WM_USER + 5, 11, 22), 0); // DefWindowProc's answer
    EXPECT_TRUE(HookSaw(WM_USER + 5));
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].message, static_cast<UINT>(WM_USER + 5));
    EXPECT_EQ(window.seen[0].wParam, 11u);
    EXPECT_EQ(window.seen[0].lParam, 22);
}

TEST_F(MessageHook, HookAnswerEndsHandling)
{
    EXPECT_EQ(SendMessageW(window.hwnd, kHookAnswers, 0, 0), 7);
    EXPECT_TRUE(window.seen.empty());
}

TEST_F(MessageHook, OnMessageAnswerBecomesResult)
{
    EXPECT_EQ(SendMessageW(window.hwnd, ObservedWindow::kAnswered, 0, 0), 42);
}

TEST_F(MessageHook, CloseDestroysWindowAndHookSeesOnlyDestroy)
{
    const HWND handle = window.hwnd;
    EXPECT_EQ(SendMessageW(handle, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.hwnd, nullptr);
    EXPECT_FALSE(HookSaw(WM_CLOSE));
    EXPECT_TRUE(HookSaw(WM_DESTROY));
    // The hook left WM_DESTROY alone (-1), so the window's own handler saw it too.
    ASSERT_FALSE(window.seen.empty());
    EXPECT_EQ(window.seen[0].message, static_cast<UINT>(WM_DESTROY));
}

TEST_F(MessageHook, HookThatAnswersDestroyHidesItFromOnMessage)
{
    window.messageHook = [this](UINT message, WPARAM, LPARAM) -> LRESULT {
        hookSeen.push_back(message);
        return message == WM_DESTROY ? 0 : -1;
    };
    DestroyWindow(window.hwnd);
    EXPECT_TRUE(HookSaw(WM_DESTROY));
    for (const SeenMessage& seen : window.seen)
        EXPECT_NE(seen.message, static_cast<UINT>(WM_DESTROY));
}

TEST_F(MessageHook, EscapeWithoutFocusDoesNothing)
{
    EXPECT_EQ(SendMessageW(window.hwnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_EQ(window.escapes, 1);
    EXPECT_TRUE(IsWindow(window.hwnd));
    EXPECT_FALSE(HookSaw(WM_KEYDOWN)); // handled by the window itself, never the default path
}

TEST_F(MessageHook, ConsumedEscapeSkipsFocusedControl)
{
    windowtest::EventLog log;
    auto* panel = new UIE::CUiControl();
    auto* field = windowtest::Place(panel, new windowtest::RecordingControl("Field", log), 0, 0, 100, 100);
    field->focusable = true;
    window.AddRootControl(panel);
    SendMessageW(window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, windowtest::PointParam(10, 10));
    SendMessageW(window.hwnd, WM_LBUTTONUP, 0, windowtest::PointParam(10, 10));
    log.clear();

    window.consumeEscape = true;
    SendMessageW(window.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(log.empty());
    window.consumeEscape = false;
    SendMessageW(window.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(log, (windowtest::EventLog{"Field key 27"}));
}

TEST_F(MessageHook, EraseAndActivationAreAnsweredWithoutTheHook)
{
    EXPECT_EQ(SendMessageW(window.hwnd, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(SendMessageW(window.hwnd, WM_NCACTIVATE, FALSE, 0), TRUE);
    EXPECT_EQ(SendMessageW(window.hwnd, WM_NCCALCSIZE, FALSE, 0), 0);
    EXPECT_FALSE(HookSaw(WM_ERASEBKGND));
    EXPECT_FALSE(HookSaw(WM_NCACTIVATE));
}

// The uninstaller's own hook, on the application's own window.
class AppHook : public ::testing::Test {
protected:
    void SetUp() override
    {
        windowtest::ParkCursor();
        ASSERT_TRUE(app.window.Create(GetModuleHandleW(nullptr)));
        app.window.messageHook = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            return app.HandleHookMessage(message, wParam, lParam);
        };
    }
    void TearDown() override
    {
        if (app.window.hwnd)
            DestroyWindow(app.window.hwnd);
        windowtest::DropQueuedMessages();
    }

    // The WM_QUIT the hook posted, if any, taken off the queue.
    bool TakeQuit(WPARAM& exitCode)
    {
        MSG message;
        if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return false;
        exitCode = message.wParam;
        return true;
    }

    UninstallerApp app;
};

TEST_F(AppHook, SystemCloseIgnoredWhileBusy)
{
    app.SetBusy(true);
    EXPECT_EQ(SendMessageW(app.window.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_TRUE(IsWindow(app.window.hwnd));
    WPARAM exitCode = 99;
    EXPECT_FALSE(TakeQuit(exitCode));
}

TEST_F(AppHook, SystemCloseClosesWhenIdleAndQuitsWithZero)
{
    app.SetBusy(false);
    const HWND handle = app.window.hwnd;
    SendMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(handle));
    WPARAM exitCode = 99;
    ASSERT_TRUE(TakeQuit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(AppHook, CloseMessageClosesEvenWhileBusy)
{
    // The completion handler closes with WM_CLOSE; only the system command is guarded.
    app.SetBusy(true);
    const HWND handle = app.window.hwnd;
    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    WPARAM exitCode = 99;
    EXPECT_TRUE(TakeQuit(exitCode));
}

TEST_F(AppHook, OtherMessagesAreLeftToTheWindow)
{
    app.SetBusy(true);
    EXPECT_EQ(app.HandleHookMessage(WM_USER + 3, 0, 0), -1);
    EXPECT_EQ(app.HandleHookMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0), -1);
    EXPECT_EQ(app.HandleHookMessage(WM_KEYDOWN, VK_ESCAPE, 0), -1);
    // The low four bits of the command belong to the system.
    EXPECT_EQ(app.HandleHookMessage(WM_SYSCOMMAND, SC_CLOSE | 0x3, 0), 0);
    app.SetBusy(false);
    EXPECT_EQ(app.HandleHookMessage(WM_SYSCOMMAND, SC_CLOSE, 0), -1);
}

TEST(QuitMessage, SurvivesWindowDestruction)
{
    // The application's hook posts WM_QUIT from WM_DESTROY; what the window does after
    // that on its way out must leave it for the message loop.
    windowtest::DropQueuedMessages();
    SetupUi::CWindow window;
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
    window.messageHook = [](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message != WM_DESTROY)
            return -1;
        PostQuitMessage(5);
        return 0;
    };
    window.PostTask([] {});
    DestroyWindow(window.hwnd);

    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);
}

// What a screen reader does with the uninstall window: the application's real window and
// content, asked through oleacc (AccessibleObjectFromWindow, as Narrator and NVDA do), with a
// thread of the test answering the message boxes. The same program runs in the 96-DPI prefix
// and, through run-at-144.sh, in the 144-DPI one: every location is checked against the
// layout scaled by the DPI the process sees.
#include "app/UninstallerApp.h"
#include "helpers/BoxAnswerer.h"
#include "helpers/TestSupport.h"

#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/setup/Layout.h"
#include "ui/setup/Look.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/window/AccessibleTree.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/controls/FocusRing.h"
#include "ui/framework/base/Dpi.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

using namespace zmxtest;
namespace Layout = SetupUi::Layout;

namespace {

const wchar_t kConfirmTitle[] = L"确认卸载";
const wchar_t kSuccessTitle[] = L"Qelvo视频格式转换器";

struct WinEvent {
    DWORD event;
    LONG childId;
    bool operator==(const WinEvent& other) const { return event == other.event && childId == other.childId; }
};

std::ostream& operator<<(std::ostream& out, const WinEvent& e)
{
    return out << "{0x" << std::hex << e.event << std::dec << ", " << e.childId << "}";
}

// The events a screen reader hears about the window's client object.
class EventListener {
public:
    explicit EventListener(HWND target)
    {
        current = this;
        window = target;
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &EventListener::Callback, GetCurrentProcessId(), 0,
                               WINEVENT_OUTOFCONTEXT);
    }
    ~EventListener()
    {
        if (hook)
            UnhookWinEvent(hook);
        current = nullptr;
    }
    EventListener(const EventListener&) = delete;
    EventListener& operator=(const EventListener&) = delete;

    bool Hooked() const { return hook != nullptr; }
    std::vector<WinEvent> Take()
    {
        std::vector<WinEvent> taken;
        taken.swap(events);
        return taken;
    }

private:
    static void CALLBACK Callback(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG objectId, LONG childId, DWORD, DWORD)
    {
        if (current && hwnd == current->window && objectId == OBJID_CLIENT)
            current->events.push_back(WinEvent{event, childId});
    }

    static EventListener* current;
    HWND window = nullptr;
    HWINEVENTHOOK hook = nullptr;
    std::vector<WinEvent> events;
};
EventListener* EventListener::current = nullptr;

// GDI+ for the content's images; the cached bitmaps go before GDI+ does.
class GdiplusSession {
public:
    ~GdiplusSession() { UIE::CUiImageCache::Instance().Clear(); }

private:
    UIE::CGdiplusSession session;
};

VARIANT Child(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring TakeBstr(BSTR text)
{
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

// One child as a screen reader reads it.
struct ChildInfo {
    LONG role = 0;
    std::wstring name;
    std::wstring value;
    LONG state = 0;
    RECT location{};
};

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", "
        + std::to_string(r.bottom) + ")";
}

POINT Centre(const UIE::UiRect& r)
{
    return POINT{r.x + r.width / 2, r.y + r.height / 2};
}

bool Inside(const UIE::UiRect& r, POINT p)
{
    return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

// Every control's rectangle in either layout, the banner's too.
const UIE::UiRect kEveryControl[] = {Layout::kBanner,      Layout::kLogo,   Layout::kCaptionButton, Layout::kUninstallButton,
                                     Layout::kDescription, Layout::kStatus, Layout::kProgressBar};
// Client area under no control in either layout: left of the button, in the gap between
// the banner and the status line.
const POINT kBlank{Layout::kUninstallButton.x / 2, (Layout::kBanner.height + Layout::kStatus.y) / 2};

// The fixed child ids of the uninstall window, in tree order.
enum : LONG { kLogo = 1, kClose, kMinimize, kUninstall, kDescription, kStatus, kBar, kChildCount = kBar };

// What the switch to the busy layout tells, in order: each control that comes, the bar's
// first value, the focus moving straight from the button to the bar, each control that goes.
std::vector<WinEvent> BusyLayoutEvents()
{
    return {{EVENT_OBJECT_SHOW, kMinimize}, {EVENT_OBJECT_SHOW, kStatus},     {EVENT_OBJECT_SHOW, kBar},
            {EVENT_OBJECT_VALUECHANGE, kBar}, {EVENT_OBJECT_FOCUS, kBar},     {EVENT_OBJECT_HIDE, kUninstall},
            {EVENT_OBJECT_HIDE, kDescription}, {EVENT_OBJECT_HIDE, kClose}};
}

// And back after a failure: the bar's reset to 0, hidden, tells nothing.
std::vector<WinEvent> IdleLayoutEvents()
{
    return {{EVENT_OBJECT_SHOW, kUninstall}, {EVENT_OBJECT_SHOW, kDescription}, {EVENT_OBJECT_SHOW, kClose},
            {EVENT_OBJECT_FOCUS, kUninstall}, {EVENT_OBJECT_HIDE, kMinimize},   {EVENT_OBJECT_HIDE, kStatus},
            {EVENT_OBJECT_HIDE, kBar}};
}

struct Expected {
    LONG id;
    LONG role;
    std::wstring name;
    std::wstring value;
    LONG state; // the flags that must be set
    UIE::UiRect bounds;
};

// The application's window, content and message boxes, shown, asked through oleacc.
class ScreenReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIE::MakeProcessDpiAware();
        UIE::RefreshDpi(nullptr);
        // run-at-144.sh's run says which DPI it means to test.
        wchar_t expected[8] = {};
        if (GetEnvironmentVariableW(L"ZMX_EXPECT_DPI", expected, 8)) {
            ASSERT_EQ(UIE::GetDpiInfo().dpi, _wtoi(expected));
        }
        installDir = scratch.MakeDir(L"Qelvo视频格式转换器");
        app.instance = GetModuleHandleW(nullptr);
        app.installDir = AcceptedFolder::Read(installDir);
        ASSERT_TRUE(app.installDir.has_value());
        // The removal itself is not the subject: the worker never starts, the test reports
        // the result itself.
        app.SetWorkerStarter([this](std::thread&, std::function<void()>) {
            ++workersStarted;
            return true;
        });
        ASSERT_TRUE(app.window.Create(app.instance));
        app.BuildContent();
        ShowWindow(app.window.hwnd, SW_SHOW);
        UpdateWindow(app.window.hwnd);
        PumpUntil([] { return false; }, 200);
        ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(app.window.hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                                            __uuidof(IAccessible), reinterpret_cast<void**>(&client)));
        ASSERT_NE(client, nullptr);
    }

    void TearDown() override
    {
        if (client)
            client->Release();
        if (app.window.hwnd)
            DestroyWindow(app.window.hwnd);
        DropQueuedMessages();
    }

    LONG ChildCount()
    {
        LONG count = -1;
        EXPECT_HRESULT_SUCCEEDED(client->get_accChildCount(&count));
        return count;
    }

    ChildInfo Read(LONG id)
    {
        ChildInfo info;
        const VARIANT child = Child(id);
        VARIANT role;
        if (SUCCEEDED(client->get_accRole(child, &role)) && role.vt == VT_I4)
            info.role = role.lVal;
        BSTR text = nullptr;
        if (SUCCEEDED(client->get_accName(child, &text)))
            info.name = TakeBstr(text);
        text = nullptr;
        if (SUCCEEDED(client->get_accValue(child, &text)))
            info.value = TakeBstr(text);
        VARIANT state;
        if (SUCCEEDED(client->get_accState(child, &state)) && state.vt == VT_I4)
            info.state = state.lVal;
        LONG left = 0, top = 0, width = 0, height = 0;
        if (SUCCEEDED(client->accLocation(&left, &top, &width, &height, child)))
            info.location = RECT{left, top, left + width, top + height};
        return info;
    }

    // The shown children as expected, every other child there but invisible.
    void ExpectChildren(const std::vector<Expected>& expected)
    {
        ASSERT_EQ(ChildCount(), kChildCount);
        for (LONG id = 1; id <= kChildCount; ++id) {
            const bool shown = std::any_of(expected.begin(), expected.end(), [id](const Expected& e) { return e.id == id; });
            if (!shown) {
                EXPECT_EQ(Read(id).state & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE) << "child " << id;
            }
        }
        for (const Expected& want : expected) {
            const ChildInfo got = Read(want.id);
            SCOPED_TRACE("child " + std::to_string(want.id) + " " + WideToUtf8(want.name));
            EXPECT_EQ(got.role, want.role);
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.value, want.value);
            EXPECT_EQ(got.state & want.state, want.state) << std::hex << got.state;
            EXPECT_EQ(got.state & STATE_SYSTEM_INVISIBLE, 0);
            EXPECT_EQ(Text(got.location), Text(OnScreen(want.bounds)));
        }
    }

    // The child id whose name is name, or 0.
    LONG ChildNamed(const std::wstring& name)
    {
        const LONG count = ChildCount();
        for (LONG id = 1; id <= count; ++id)
            if (Read(id).name == name)
                return id;
        return 0;
    }

    // Where a point of the layout lies on the screen.
    POINT OnScreen(POINT logical)
    {
        POINT point{UIE::DpiScale(logical.x), UIE::DpiScale(logical.y)};
        ClientToScreen(app.window.hwnd, &point);
        return point;
    }
    // And a layout rectangle, each edge scaled as the window scales it.
    RECT OnScreen(const UIE::UiRect& r)
    {
        const POINT topLeft = OnScreen(POINT{r.x, r.y}), bottomRight = OnScreen(POINT{r.x + r.width, r.y + r.height});
        return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }

    LONG HitTest(POINT logical)
    {
        const POINT point = OnScreen(logical);
        VARIANT hit;
        const HRESULT result = client->accHitTest(point.x, point.y, &hit);
        if (result != S_OK || hit.vt != VT_I4)
            return -1;
        return hit.lVal;
    }

    // Confirms with Yes through the default action of "立即卸载"; the busy layout follows.
    void StartThroughDefaultAction()
    {
        user.Answer(kConfirmTitle, IDYES);
        ASSERT_EQ(ChildNamed(L"立即卸载"), kUninstall);
        ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(kUninstall)));
        ASSERT_TRUE(PumpUntil([this] { return app.Busy(); }, 10000));
    }

    LONG State(LONG id) { return Read(id).state; }

    std::wstring Description(LONG id)
    {
        BSTR text = nullptr;
        client->get_accDescription(Child(id), &text);
        return TakeBstr(text);
    }

    // The child get_accFocus names, -1 for none (the window lacks the focus).
    LONG Focus()
    {
        VARIANT focus;
        const HRESULT result = client->get_accFocus(&focus);
        if (result != S_OK || focus.vt != VT_I4)
            return -1;
        return focus.lVal;
    }

    LONG Navigate(LONG from, LONG direction)
    {
        VARIANT end;
        if (client->accNavigate(direction, Child(from), &end) != S_OK || end.vt != VT_I4)
            return -1;
        return end.lVal;
    }

    GdiplusSession gdiplus;
    ScratchDir scratch;
    std::wstring installDir;
    UninstallerApp app;
    BoxAnswerer user;
    IAccessible* client = nullptr;
    int workersStarted = 0;
};

// An in-context hook: it runs inside NotifyWinEvent, asks for the object of each event
// there, and reads its name, as a reader's hook does.
struct HookSink {
    static void CALLBACK Callback(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG objectId, LONG childId, DWORD, DWORD)
    {
        HookSink* sink = current;
        if (!sink || hwnd != sink->window || objectId != OBJID_CLIENT)
            return;
        sink->events.push_back(WinEvent{event, childId});
        ++sink->depth;
        sink->deepest = std::max(sink->deepest, sink->depth);
        IAccessible* object = nullptr;
        VARIANT child;
        VariantInit(&child);
        if (SUCCEEDED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(objectId), static_cast<DWORD>(childId),
                                                &object, &child))
            && object) {
            BSTR name = nullptr;
            object->get_accName(child, &name);
            sink->names.push_back(TakeBstr(name));
            object->Release();
        }
        --sink->depth;
    }

    static HookSink* current;
    HWND window = nullptr;
    std::vector<WinEvent> events;
    std::vector<std::wstring> names;
    int depth = 0;
    int deepest = 0;
};
HookSink* HookSink::current = nullptr;

const LONG kFocusable = STATE_SYSTEM_FOCUSABLE;
const LONG kReadOnly = STATE_SYSTEM_READONLY;

// The shown children of the idle layout.
std::vector<Expected> IdleChildren()
{
    return {{kLogo, ROLE_SYSTEM_GRAPHIC, L"Qelvo视频格式转换器", L"", kReadOnly, Layout::kLogo},
            {kClose, ROLE_SYSTEM_PUSHBUTTON, L"关闭", L"", kFocusable, Layout::kCaptionButton},
            {kUninstall, ROLE_SYSTEM_PUSHBUTTON, L"立即卸载", L"", kFocusable | STATE_SYSTEM_DEFAULT,
             Layout::kUninstallButton},
            {kDescription, ROLE_SYSTEM_STATICTEXT, L"卸载将删除安装目录中的程序文件", L"", kReadOnly,
             Layout::kDescription}};
}

// And of the busy layout.
std::vector<Expected> BusyChildren()
{
    return {{kLogo, ROLE_SYSTEM_GRAPHIC, L"Qelvo视频格式转换器", L"", kReadOnly, Layout::kLogo},
            {kMinimize, ROLE_SYSTEM_PUSHBUTTON, L"最小化", L"", kFocusable, Layout::kCaptionButton},
            {kStatus, ROLE_SYSTEM_STATICTEXT, L"正在卸载，请稍候……", L"", kReadOnly, Layout::kStatus},
            {kBar, ROLE_SYSTEM_PROGRESSBAR, L"正在卸载，请稍候……", L"10%", kFocusable, Layout::kProgressBar}};
}

} // namespace

TEST_F(ScreenReader, ClientIsNamedLikeTheWindowAndCoversTheClientArea)
{
    const ChildInfo self = Read(CHILDID_SELF);
    EXPECT_EQ(self.role, ROLE_SYSTEM_DIALOG);
    EXPECT_EQ(self.name, L"卸载Qelvo视频格式转换器");
    EXPECT_EQ(Text(self.location), Text(OnScreen(UIE::UiRect{0, 0, SetupUi::kWindowWidth, SetupUi::kWindowHeight})));
    EXPECT_EQ(self.location.right - self.location.left, UIE::DpiScale(SetupUi::kWindowWidth));
}

TEST_F(ScreenReader, IdleWindowShowsLogoButtonsAndDescription)
{
    ExpectChildren(IdleChildren());
    EXPECT_EQ(State(kClose) & STATE_SYSTEM_DEFAULT, 0);
    BSTR action = nullptr;
    ASSERT_EQ(client->get_accDefaultAction(Child(kUninstall), &action), S_OK);
    EXPECT_EQ(TakeBstr(action), L"按下");
    action = nullptr;
    EXPECT_EQ(client->get_accDefaultAction(Child(kDescription), &action), S_FALSE);
    SysFreeString(action);
}

TEST_F(ScreenReader, IdsBeyondTheChildrenAreRejected)
{
    BSTR name = nullptr;
    EXPECT_EQ(client->get_accName(Child(kChildCount + 1), &name), E_INVALIDARG);
    EXPECT_EQ(client->get_accName(Child(-1), &name), E_INVALIDARG);
    EXPECT_EQ(client->accDoDefaultAction(Child(kDescription)), DISP_E_MEMBERNOTFOUND);
    // A hidden button is a child, but nothing presses it.
    EXPECT_EQ(client->accDoDefaultAction(Child(kMinimize)), DISP_E_MEMBERNOTFOUND);
    IDispatch* object = nullptr;
    EXPECT_EQ(client->get_accChild(Child(kLogo), &object), S_FALSE); // a simple element
    EXPECT_EQ(object, nullptr);
}

TEST_F(ScreenReader, HitTestFindsTheShownChildUnderAScreenPoint)
{
    for (const UIE::UiRect& control : kEveryControl)
        ASSERT_FALSE(Inside(control, kBlank)) << kBlank.x << ", " << kBlank.y;
    // The hidden minimise button lies under the close button.
    for (const Expected& shown : IdleChildren())
        EXPECT_EQ(HitTest(Centre(shown.bounds)), shown.id) << WideToUtf8(shown.name);
    EXPECT_EQ(HitTest(kBlank), CHILDID_SELF);
    EXPECT_EQ(HitTest(Centre(Layout::kBanner)), CHILDID_SELF) << "the banner is decoration";
    RECT window{};
    GetWindowRect(app.window.hwnd, &window);
    VARIANT outside;
    EXPECT_EQ(client->accHitTest(window.right + 5, window.bottom + 5, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);
}

// The system's own lookup, as a reader's mouse tracking and the UI Automation proxy make it:
// the window's object asks WM_NCHITTEST and descends into the client object only over client
// area, so the logo in the banner's drag band must not answer HTCAPTION.
TEST_F(ScreenReader, PointLookupThroughTheSystemReachesEachControl)
{
    SetWindowPos(app.window.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (const Expected& c : IdleChildren()) {
        SCOPED_TRACE(WideToUtf8(c.name));
        const POINT point = OnScreen(Centre(c.bounds));
        IAccessible* found = nullptr;
        VARIANT child;
        VariantInit(&child);
        ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromPoint(point, &found, &child));
        ASSERT_NE(found, nullptr);
        VARIANT role;
        VariantInit(&role);
        found->get_accRole(child, &role);
        BSTR name = nullptr;
        found->get_accName(child, &name);
        found->Release();
        EXPECT_EQ(child.vt, VT_I4);
        EXPECT_EQ(child.lVal, c.id);
        EXPECT_NE(role.lVal, ROLE_SYSTEM_TITLEBAR);
        EXPECT_EQ(TakeBstr(name), c.name);
    }
    // Windows' object for the window asks WM_NCHITTEST and answers HTCAPTION with the title
    // bar; Wine 8's takes the client area from GetClientRect, which here is the whole window,
    // and never asks. So Wine reaches the logo whatever the window answers, and what Windows
    // needs is checked on the message itself: client area over each control, the caption
    // elsewhere on the banner, which still moves the window.
    for (const Expected& c : IdleChildren()) {
        const POINT point = OnScreen(Centre(c.bounds));
        EXPECT_EQ(SendMessageW(app.window.hwnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), HTCLIENT)
            << WideToUtf8(c.name);
    }
    const POINT banner = OnScreen(Centre(Layout::kBanner));
    EXPECT_EQ(SendMessageW(app.window.hwnd, WM_NCHITTEST, 0, MAKELPARAM(banner.x, banner.y)), HTCAPTION);
    SetWindowPos(app.window.hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

TEST_F(ScreenReader, ParentIsTheWindowObject)
{
    IDispatch* parent = nullptr;
    ASSERT_EQ(client->get_accParent(&parent), S_OK);
    ASSERT_NE(parent, nullptr);
    IAccessible* window = nullptr;
    ASSERT_HRESULT_SUCCEEDED(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&window)));
    parent->Release();
    // The system's object for the window itself. (Windows answers its role with
    // ROLE_SYSTEM_WINDOW; Wine 8's window object leaves get_accRole unimplemented.)
    HWND owner = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(window, &owner), S_OK);
    EXPECT_EQ(owner, app.window.hwnd);
    window->Release();
}

TEST_F(ScreenReader, NavigationWalksTheShownChildrenOnly)
{
    EXPECT_EQ(Navigate(CHILDID_SELF, NAVDIR_FIRSTCHILD), kLogo);
    EXPECT_EQ(Navigate(CHILDID_SELF, NAVDIR_LASTCHILD), kDescription);
    EXPECT_EQ(Navigate(kLogo, NAVDIR_NEXT), kClose);
    EXPECT_EQ(Navigate(kClose, NAVDIR_NEXT), kUninstall); // past the hidden minimise button
    EXPECT_EQ(Navigate(kUninstall, NAVDIR_PREVIOUS), kClose);
    EXPECT_EQ(Navigate(kDescription, NAVDIR_NEXT), -1);
    EXPECT_EQ(Navigate(kLogo, NAVDIR_PREVIOUS), -1);
    EXPECT_EQ(Navigate(kLogo, NAVDIR_FIRSTCHILD), -1); // a simple element has no children

    StartThroughDefaultAction();
    EXPECT_EQ(Navigate(CHILDID_SELF, NAVDIR_LASTCHILD), kBar);
    EXPECT_EQ(Navigate(kLogo, NAVDIR_NEXT), kMinimize);
    EXPECT_EQ(Navigate(kMinimize, NAVDIR_NEXT), kStatus);
    EXPECT_EQ(Navigate(kBar, NAVDIR_PREVIOUS), kStatus);
}

TEST_F(ScreenReader, DefaultActionOfTheButtonAsksForConfirmation)
{
    // No in the box: the call itself returns at once, the box comes from the window's queue.
    ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(kUninstall)));
    EXPECT_TRUE(user.SeenTitles().empty());
    ASSERT_TRUE(PumpUntil([this] { return !user.SeenTitles().empty(); }, 10000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(user.SeenTitles(), std::vector<std::wstring>{kConfirmTitle});
    EXPECT_FALSE(app.Busy());
    EXPECT_EQ(workersStarted, 0);
    EXPECT_EQ(ChildCount(), kChildCount);
}

// The confirmation box disables the window. Its message loop still runs the window's posted
// tasks, and a reader's second default action is one: it must not open a second box (Yes
// in both would start a second removal and freeze the window on the first one's join).
TEST_F(ScreenReader, NothingIsPressedBehindTheConfirmationBox)
{
    user.Answer(kConfirmTitle, IDNO);
    ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(kUninstall)));
    ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(kUninstall)));
    bool ran = false;
    bool enabled = true;
    LONG state = 0;
    HRESULT pressed = S_OK;
    app.window.PostTask([&] {
        ran = true;
        enabled = IsWindowEnabled(app.window.hwnd) != FALSE;
        state = State(kUninstall);
        pressed = client->accDoDefaultAction(Child(kUninstall));
    });
    ASSERT_TRUE(PumpUntil([&] { return ran && !user.SeenTitles().empty(); }, 10000));
    PumpUntil([] { return false; }, 500);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(state & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(pressed, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(user.SeenTitles(), std::vector<std::wstring>{kConfirmTitle});
    EXPECT_EQ(State(kUninstall) & STATE_SYSTEM_UNAVAILABLE, 0) << "usable again once the box is gone";
    EXPECT_EQ(workersStarted, 0);
}

TEST_F(ScreenReader, BusyLayoutKeepsTheIdsAndNamesTheProgressBar)
{
    StartThroughDefaultAction();
    EXPECT_EQ(workersStarted, 1);
    ExpectChildren(BusyChildren());
    // The ids of the idle layout still name their controls, now hidden.
    EXPECT_EQ(Read(kUninstall).name, L"立即卸载");
    EXPECT_EQ(Read(kClose).name, L"关闭");
    EXPECT_EQ(HitTest(Centre(Layout::kProgressBar)), kBar);
    EXPECT_EQ(HitTest(Centre(Layout::kCaptionButton)), kMinimize);
}

// Events as a reader hears them: each once, in order, with the id of the control it is
// about. Ids are fixed, so the HIDE events name the controls that went.
TEST_F(ScreenReader, EventsNameTheControlTheyAreAboutOnce)
{
    EventListener listener(app.window.hwnd);
    ASSERT_TRUE(listener.Hooked());
    PumpUntil([] { return false; }, 100);
    listener.Take();

    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(listener.Take(), (std::vector<WinEvent>{{EVENT_OBJECT_FOCUS, kClose}}));
    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([] { return false; }, 200);
    listener.Take();

    StartThroughDefaultAction();
    PumpUntil([] { return false; }, 300);
    std::vector<WinEvent> switched = listener.Take();
    // The window got the focus back from the box first: the system tells of the window
    // (Windows and Wine alike), then the window of its focused button.
    const std::vector<WinEvent> refocused{{EVENT_OBJECT_FOCUS, CHILDID_SELF}, {EVENT_OBJECT_FOCUS, kUninstall}};
    ASSERT_GE(switched.size(), 2u);
    EXPECT_EQ(std::vector<WinEvent>(switched.begin(), switched.begin() + 2), refocused);
    switched.erase(switched.begin(), switched.begin() + 2);
    EXPECT_EQ(switched, BusyLayoutEvents());

    // Reading the tree tells nothing.
    ExpectChildren(BusyChildren());
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(listener.Take().empty());

    // The result as the worker would post it: the bar goes to 100 behind the success box.
    user.Answer(kSuccessTitle, IDOK);
    app.window.PostTask([this] { ReportCompletion(&app, true); });
    ASSERT_TRUE(PumpUntil([this] { return !app.window.hwnd; }, 10000));
    const std::vector<WinEvent> done = listener.Take();
    EXPECT_EQ(std::count(done.begin(), done.end(), WinEvent{EVENT_OBJECT_VALUECHANGE, kBar}), 1);
}

// The last focus event of events, {0, 0} without one.
WinEvent LastFocus(const std::vector<WinEvent>& events)
{
    for (auto e = events.rbegin(); e != events.rend(); ++e)
        if (e->event == EVENT_OBJECT_FOCUS)
            return *e;
    return WinEvent{0, 0};
}

long CountOf(const std::vector<WinEvent>& events, DWORD event)
{
    return std::count_if(events.begin(), events.end(), [event](const WinEvent& e) { return e.event == event; });
}

// A run as a reader hears it: the window opens as a dialog, on its default button described
// by the line under it; after 是 the focus is on the bar, which speaks the status line and
// its value; after a failure the focus is on the button again, and the retry is heard as the
// first attempt was.
TEST_F(ScreenReader, AFailedAttemptAndItsRetryAreHeardAlike)
{
    const ChildInfo self = Read(CHILDID_SELF);
    EXPECT_EQ(self.role, ROLE_SYSTEM_DIALOG);
    EXPECT_EQ(self.name, L"卸载Qelvo视频格式转换器");
    ASSERT_EQ(Focus(), kUninstall);
    EXPECT_EQ(Description(kUninstall), L"卸载将删除安装目录中的程序文件");
    EXPECT_EQ(Description(kClose), L"");

    EventListener listener(app.window.hwnd);
    ASSERT_TRUE(listener.Hooked());
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        PumpUntil([] { return false; }, 100);
        listener.Take();
        StartThroughDefaultAction();
        PumpUntil([] { return false; }, 300);
        const std::vector<WinEvent> started = listener.Take();
        EXPECT_EQ(LastFocus(started), (WinEvent{EVENT_OBJECT_FOCUS, kBar}));
        EXPECT_EQ(CountOf(started, EVENT_OBJECT_VALUECHANGE), 1);
        EXPECT_EQ(CountOf(started, EVENT_SYSTEM_ALERT), 0) << "the focus says it already";
        EXPECT_EQ(Focus(), kBar);
        const ChildInfo bar = Read(kBar);
        EXPECT_EQ(bar.name, L"正在卸载，请稍候……");
        EXPECT_EQ(bar.value, L"10%");
        EXPECT_EQ(bar.state & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);

        user.Answer(L"卸载失败", IDOK);
        app.window.PostTask([this] { ReportCompletion(&app, false); });
        ASSERT_TRUE(PumpUntil([this] { return !app.Busy() && app.Controls().uninstallButton->IsShown(); }, 10000));
        PumpUntil([] { return false; }, 300);
        const std::vector<WinEvent> failed = listener.Take();
        EXPECT_EQ(LastFocus(failed), (WinEvent{EVENT_OBJECT_FOCUS, kUninstall}));
        const std::vector<WinEvent> idle = IdleLayoutEvents();
        ASSERT_GE(failed.size(), idle.size());
        EXPECT_EQ(std::vector<WinEvent>(failed.end() - static_cast<long>(idle.size()), failed.end()), idle);
        EXPECT_EQ(CountOf(failed, EVENT_OBJECT_VALUECHANGE), 0);
        EXPECT_EQ(Focus(), kUninstall);
        EXPECT_EQ(app.Controls().progressBar->value, 0);
    }
    EXPECT_EQ(workersStarted, 2);
}

// A reader's in-context hook runs inside NotifyWinEvent and may ask for the object there;
// answering it must tell nothing again.
TEST_F(ScreenReader, AHookThatAsksForTheObjectHearsEachEventOnce)
{
    HookSink record;
    record.window = app.window.hwnd;
    HookSink::current = &record;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, GetModuleHandleW(nullptr), &HookSink::Callback,
                                               GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_INCONTEXT);
    ASSERT_NE(hook, nullptr);
    app.ShowLayout(true);
    UnhookWinEvent(hook);
    HookSink::current = nullptr;
    EXPECT_EQ(record.events, BusyLayoutEvents());
    EXPECT_EQ(record.deepest, 1) << "an event raised while the hook ran";
    EXPECT_EQ(record.names, (std::vector<std::wstring>{L"最小化", L"正在卸载，请稍候……", L"正在卸载，请稍候……",
                                                       L"正在卸载，请稍候……", L"正在卸载，请稍候……", L"立即卸载",
                                                       L"卸载将删除安装目录中的程序文件", L"关闭"}));
}

TEST_F(ScreenReader, ObjectAnswersNotConnectedAfterTheWindowIsGoneAndIsFreedByTheLastRelease)
{
    DestroyWindow(app.window.hwnd);
    LONG count = 0;
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(client->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    LONG l, t, w, h;
    EXPECT_EQ(client->accLocation(&l, &t, &w, &h, Child(1)), CO_E_OBJNOTCONNECTED);
    VARIANT hit;
    EXPECT_EQ(client->accHitTest(0, 0, &hit), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(client->accDoDefaultAction(Child(kUninstall)), CO_E_OBJNOTCONNECTED);
    // The window let go of its reference; the client's is the last.
    EXPECT_EQ(client->Release(), 0u);
    client = nullptr;
}

// Focus is the system's: a child is focused only while the window has the keyboard focus,
// and clients hear of the focused control whenever the window gets the focus back.
class SystemFocus : public ScreenReader {
protected:
    // A window of the test's own that takes the focus away, as Alt+Tab would.
    HWND MakeOtherWindow()
    {
        other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
        return other;
    }
    void TearDown() override
    {
        if (other)
            DestroyWindow(other);
        ScreenReader::TearDown();
    }
    HWND other = nullptr;
};

TEST_F(SystemFocus, TheWindowOpensWithTheDefaultButtonFocusedAndWithoutARing)
{
    ASSERT_EQ(GetFocus(), app.window.hwnd);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().uninstallButton);
    EXPECT_EQ(Focus(), kUninstall);
    EXPECT_EQ(State(kUninstall) & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT),
              STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT);
    EXPECT_FALSE(UIE::ShowsFocusRing(*app.Controls().uninstallButton)) << "no ring before the keyboard is used";
}

TEST_F(SystemFocus, FollowsTheWindowsFocusAway)
{
    EventListener listener(app.window.hwnd);
    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_EQ(app.window.input.focusedControl, app.Controls().uninstallButton);
    ASSERT_TRUE(UIE::ShowsFocusRing(*app.Controls().uninstallButton));
    PumpUntil([] { return false; }, 100);
    listener.Take();

    ASSERT_NE(MakeOtherWindow(), nullptr);
    SetForegroundWindow(other);
    SetFocus(other);
    PumpUntil([] { return false; }, 200);
    ASSERT_NE(GetFocus(), app.window.hwnd);
    EXPECT_EQ(State(kUninstall) & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(Focus(), -1);
    EXPECT_FALSE(UIE::ShowsFocusRing(*app.Controls().uninstallButton)) << "no ring in an inactive window";
    EXPECT_TRUE(listener.Take().empty());

    // Back, as after Alt+Tab: the reader hears where the focus is.
    SetForegroundWindow(app.window.hwnd);
    SetFocus(app.window.hwnd);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(State(kUninstall) & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    EXPECT_TRUE(UIE::ShowsFocusRing(*app.Controls().uninstallButton));
    const std::vector<WinEvent> back = listener.Take();
    EXPECT_EQ(std::count(back.begin(), back.end(), WinEvent{EVENT_OBJECT_FOCUS, kUninstall}), 1);
}

TEST_F(SystemFocus, TakeFocusTakesTheSystemsFocusToo)
{
    ASSERT_NE(MakeOtherWindow(), nullptr);
    SetForegroundWindow(other);
    SetFocus(other);
    PumpUntil([] { return false; }, 200);
    ASSERT_NE(GetFocus(), app.window.hwnd);
    EventListener listener(app.window.hwnd);

    EXPECT_EQ(client->accSelect(SELFLAG_TAKEFOCUS, Child(kClose)), S_OK);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(GetFocus(), app.window.hwnd);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().closeButton);
    EXPECT_EQ(Focus(), kClose);
    const std::vector<WinEvent> events = listener.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), WinEvent{EVENT_OBJECT_FOCUS, kClose}), 1);
    // Taking the selection too still means the focus; the selection alone means nothing here.
    EXPECT_EQ(client->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(kUninstall)), S_OK);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().uninstallButton);
    EXPECT_EQ(client->accSelect(SELFLAG_TAKESELECTION, Child(kClose)), DISP_E_MEMBERNOTFOUND);
    // Neither text, nor a hidden button, takes the focus.
    EXPECT_EQ(client->accSelect(SELFLAG_TAKEFOCUS, Child(kDescription)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(client->accSelect(SELFLAG_TAKEFOCUS, Child(kMinimize)), DISP_E_MEMBERNOTFOUND);
}

// The keyboard, as the window receives it, on the same window.
class Keyboard : public ScreenReader {
protected:
    void Key(UINT message, WPARAM key, LPARAM flags = 0) { SendMessageW(app.window.hwnd, message, key, flags); }
};

TEST_F(Keyboard, TabMovesAmongTheShownButtons)
{
    auto tab = [this](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return app.window.input.focusedControl;
    };
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().uninstallButton);
    // As Windows starts a window opened with the mouse: cues hidden. (Wine's WM_QUERYUISTATE
    // always answers 0, and WM_CHANGEUISTATE sends no WM_UPDATEUISTATE back.)
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_FALSE(app.window.keyboard.focusCuesShown);
    EXPECT_EQ(tab(false), app.Controls().closeButton);
    EXPECT_TRUE(app.window.keyboard.focusCuesShown);
    EXPECT_EQ(State(kClose) & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(State(kUninstall) & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(tab(false), app.Controls().uninstallButton);
    EXPECT_EQ(tab(true), app.Controls().closeButton);
    EXPECT_EQ(tab(true), app.Controls().uninstallButton);
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_FALSE(app.window.keyboard.focusCuesShown);
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(app.window.keyboard.focusCuesShown);

    // A mouse press on blank space takes the focus away, as before.
    POINT blank{UIE::DpiScale(kBlank.x), UIE::DpiScale(kBlank.y)};
    SendMessageW(app.window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(blank.x, blank.y));
    SendMessageW(app.window.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(blank.x, blank.y));
    EXPECT_EQ(app.window.input.focusedControl, nullptr);
}

TEST_F(Keyboard, EnterPressesTheDefaultButtonWithoutATab)
{
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    EXPECT_EQ(user.SeenTitles(), std::vector<std::wstring>{kConfirmTitle});
    // The focus gone to blank space (a click there): Enter still presses the default button.
    POINT blank{UIE::DpiScale(kBlank.x), UIE::DpiScale(kBlank.y)};
    SendMessageW(app.window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(blank.x, blank.y));
    SendMessageW(app.window.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(blank.x, blank.y));
    ASSERT_EQ(app.window.input.focusedControl, nullptr);
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    EXPECT_EQ(user.SeenTitles().size(), 2u);
    // An auto-repeated Enter presses nothing.
    Key(WM_KEYDOWN, VK_RETURN, 0x40000000);
    Key(WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    EXPECT_EQ(user.SeenTitles().size(), 2u);
}

// Enter and Space press on their release, as a native button does with Space: a held key
// shows the button down, and its repeats (which would reach the box) press nothing.
TEST_F(Keyboard, EnterAndSpacePressOnTheirReleaseOnce)
{
    struct Case {
        WPARAM key;
        LPARAM down, repeat, up;
    };
    const Case cases[] = {{VK_SPACE, 0x00390001, 0x40390001, static_cast<LPARAM>(0xC0390001)},
                          {VK_RETURN, 0x001C0001, 0x401C0001, static_cast<LPARAM>(0xC01C0001)}};
    size_t boxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key == VK_SPACE ? "Space" : "Enter");
        Key(WM_KEYDOWN, c.key, c.down);
        EXPECT_TRUE(app.Controls().uninstallButton->isPressed);
        for (int repeat = 0; repeat < 5; ++repeat)
            Key(WM_KEYDOWN, c.key, c.repeat);
        EXPECT_EQ(user.SeenTitles().size(), boxes) << "nothing pressed before the release";
        Key(WM_KEYUP, c.key, c.up);
        EXPECT_EQ(user.SeenTitles().size(), ++boxes);
        EXPECT_FALSE(app.Controls().uninstallButton->isPressed);
        // A release whose press the window never saw (the press went to the box) does nothing.
        Key(WM_KEYUP, c.key, c.up);
        EXPECT_EQ(user.SeenTitles().size(), boxes);
    }
    // Nor does the release of the other key.
    Key(WM_KEYDOWN, VK_SPACE, 0x00390001);
    Key(WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    EXPECT_EQ(user.SeenTitles().size(), boxes);
    Key(WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
    EXPECT_EQ(user.SeenTitles().size(), ++boxes);
    for (const auto& seen : user.SeenTitles())
        EXPECT_EQ(seen, kConfirmTitle);
    const size_t pressed = boxes;

    // A press whose focus moved away before the release does nothing either.
    Key(WM_KEYDOWN, VK_SPACE, 0x00390001);
    Key(WM_KEYDOWN, VK_TAB);
    Key(WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
    EXPECT_EQ(user.SeenTitles().size(), pressed);
    EXPECT_FALSE(app.Controls().uninstallButton->isPressed);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().closeButton);

    // Space on the close button closes the window, on the release.
    Key(WM_KEYDOWN, VK_SPACE, 0x00390001);
    PumpUntil([] { return false; }, 100);
    EXPECT_NE(app.window.hwnd, nullptr);
    Key(WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
    EXPECT_TRUE(PumpUntil([this] { return !app.window.hwnd; }, 5000));
}

TEST_F(Keyboard, TabAndEnterInTheBusyLayout)
{
    StartThroughDefaultAction();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().progressBar) << "the bar took the focus from the button";
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(user.SeenTitles().size(), 1u) << "Enter presses no hidden default button";
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().minimizeButton);
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(app.window.input.focusedControl, app.Controls().progressBar) << "the two tab stops";
    Key(WM_KEYDOWN, VK_TAB);
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_TRUE(PumpUntil([this] { return IsIconic(app.window.hwnd) != FALSE; }, 5000));
    ShowWindow(app.window.hwnd, SW_RESTORE);
}

// Escape does what the close button does, while that is shown; while the removal runs,
// Escape and the system's close do nothing, and the system menu shows its close greyed.
TEST_F(Keyboard, EscapeAndTheSystemCloseOnlyWhileIdle)
{
    auto closeGreyed = [this] {
        const UINT state = GetMenuState(GetSystemMenu(app.window.hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
    };
    // The application's hook, which answers the system's close; its quit message stays out.
    app.window.messageHook = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return message == WM_DESTROY ? -1 : app.HandleHookMessage(message, wParam, lParam);
    };
    EXPECT_FALSE(closeGreyed());
    StartThroughDefaultAction();
    EXPECT_TRUE(closeGreyed());
    Key(WM_KEYDOWN, VK_ESCAPE);
    Key(WM_KEYUP, VK_ESCAPE);
    SendMessageW(app.window.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpUntil([] { return false; }, 300);
    ASSERT_NE(app.window.hwnd, nullptr) << "closed while busy";

    user.Answer(L"卸载失败", IDOK);
    app.window.PostTask([this] { ReportCompletion(&app, false); });
    ASSERT_TRUE(PumpUntil([this] { return !app.Busy() && app.Controls().uninstallButton->IsShown(); }, 10000));
    EXPECT_FALSE(closeGreyed());
    // A repeat (the key held down since the box) closes nothing; a new press does.
    Key(WM_KEYDOWN, VK_ESCAPE, 0x40010001);
    PumpUntil([] { return false; }, 200);
    ASSERT_NE(app.window.hwnd, nullptr);
    Key(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(PumpUntil([this] { return !app.window.hwnd; }, 5000));
}

TEST(AccessibleIds, AControlKeepsItsIdWhateverIsShown)
{
    UIE::CUiWindow window;
    auto* panel = new UIE::CUiControl();
    SetupUi::CActionButton* first = UIE::PlaceChild(panel, new SetupUi::CActionButton(L"a", nullptr), UIE::UiRect{0, 0, 10, 10});
    auto* label = UIE::PlaceChild(panel, new UIE::CUiLabel(), UIE::UiRect{0, 10, 10, 10});
    SetupUi::CActionButton* last = UIE::PlaceChild(panel, new SetupUi::CActionButton(L"b", nullptr), UIE::UiRect{0, 20, 10, 10});
    window.AddRootControl(panel);
    const UIE::CAccessibleIds& ids = window.accessibility.Children(window.rootControls);
    EXPECT_EQ(ids.Count(), 2); // the label without text is decoration
    first->SetVisible(false);
    EXPECT_EQ(window.accessibility.Children(window.rootControls).IdOf(first), 1);
    EXPECT_EQ(ids.IdOf(last), 2);
    EXPECT_FALSE(UIE::AccessiblyShown(*first));
    // A label that gets a text joins after the others, whose ids stay.
    label->SetText(L"text");
    EXPECT_EQ(window.accessibility.Children(window.rootControls).IdOf(label), 3);
    EXPECT_EQ(ids.IdOf(last), 2);
    EXPECT_EQ(ids.ControlOf(1), first);
    EXPECT_EQ(ids.ControlOf(4), nullptr);
    EXPECT_EQ(ids.ControlOf(0), nullptr);
}

// Users who asked for keyboard cues always (SPI_SETKEYBOARDCUES) see the ring from the
// start, not only after the first key.
TEST(KeyboardCues, FollowTheSystemSettingFromTheStart)
{
    BOOL saved = FALSE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &saved, 0));
    for (const BOOL always : {TRUE, FALSE}) {
        SCOPED_TRACE(always ? "cues always" : "cues after a key");
        ASSERT_TRUE(SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(always)), 0));
        EXPECT_EQ(UIE::SystemShowsKeyboardCues(), always != FALSE);
        UIE::CUiWindow window;
        window.logicalSize = SIZE{100, 80};
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
        EXPECT_EQ(window.keyboard.focusCuesShown, always != FALSE);
    }
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(saved)), 0);
    DropQueuedMessages();
}

TEST(AccessibleControls, ProgressValueIsAClampedPercentage)
{
    const std::pair<int, const wchar_t*> cases[] = {{0, L"0%"}, {10, L"10%"}, {100, L"100%"}, {250, L"100%"},
                                                    {-5, L"0%"}, {7, L"7%"}};
    UIE::CUiProgressBar bar;
    for (const auto& c : cases) {
        bar.value = c.first;
        EXPECT_EQ(bar.AccessibleValue(), c.second) << c.first;
    }
}

TEST(AccessibleControls, DecorationAndEmptyTextStayOutOfTheTree)
{
    UIE::CUiLabel label;
    EXPECT_EQ(label.AccessibleRole(), 0u);
    label.text = L"正在卸载，请稍候……";
    EXPECT_EQ(label.AccessibleRole(), static_cast<DWORD>(ROLE_SYSTEM_STATICTEXT));
    UIE::CUiControl panel;
    EXPECT_EQ(panel.AccessibleRole(), 0u);
    SetupUi::CActionButton button(L"立即卸载", nullptr);
    button.enabled = false;
    EXPECT_FALSE(button.DoDefaultAction()) << "a disabled button does not press";
}

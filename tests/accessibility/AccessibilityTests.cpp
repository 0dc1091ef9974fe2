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
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/window/AccessibleTree.h"
#include "ui/framework/base/Dpi.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

using namespace zmxtest;

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

bool Contains(const std::vector<WinEvent>& events, const WinEvent& wanted)
{
    return std::find(events.begin(), events.end(), wanted) != events.end();
}

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

// The window's expected rectangle for a logical layout rectangle, on the screen.
RECT ExpectedScreenRect(HWND window, int x, int y, int width, int height)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x + UIE::DpiScale(x), origin.y + UIE::DpiScale(y), origin.x + UIE::DpiScale(x + width),
                origin.y + UIE::DpiScale(y + height)};
}

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", "
        + std::to_string(r.bottom) + ")";
}

struct Expected {
    LONG role;
    std::wstring name;
    std::wstring value;
    LONG state; // the flags that must be set
    int x, y, width, height;
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
        app.installDir = installDir;
        ASSERT_TRUE(IdentifyFolder(installDir, app.installIdentity));
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
                                                            IID_IAccessible, reinterpret_cast<void**>(&client)));
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

    void ExpectChildren(const std::vector<Expected>& expected)
    {
        ASSERT_EQ(ChildCount(), static_cast<LONG>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const Expected& want = expected[i];
            const ChildInfo got = Read(static_cast<LONG>(i + 1));
            SCOPED_TRACE("child " + std::to_string(i + 1) + " " + WideToUtf8(want.name));
            EXPECT_EQ(got.role, want.role);
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.value, want.value);
            EXPECT_EQ(got.state & want.state, want.state) << std::hex << got.state;
            EXPECT_EQ(got.state & STATE_SYSTEM_INVISIBLE, 0);
            EXPECT_EQ(Text(got.location), Text(ExpectedScreenRect(app.window.hwnd, want.x, want.y, want.width, want.height)));
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

    LONG HitTest(int logicalX, int logicalY)
    {
        POINT point{UIE::DpiScale(logicalX), UIE::DpiScale(logicalY)};
        ClientToScreen(app.window.hwnd, &point);
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
        const LONG button = ChildNamed(L"立即卸载");
        ASSERT_NE(button, 0);
        ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(button)));
        ASSERT_TRUE(PumpUntil([this] { return app.busy; }, 10000));
    }

    GdiplusSession gdiplus;
    ScratchDir scratch;
    std::wstring installDir;
    UninstallerApp app;
    BoxAnswerer user;
    IAccessible* client = nullptr;
    int workersStarted = 0;
};

const LONG kFocusable = STATE_SYSTEM_FOCUSABLE;
const LONG kReadOnly = STATE_SYSTEM_READONLY;

} // namespace

TEST_F(ScreenReader, ClientIsNamedLikeTheWindowAndCoversTheClientArea)
{
    const ChildInfo self = Read(CHILDID_SELF);
    EXPECT_EQ(self.role, ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(self.name, L"卸载Qelvo视频格式转换器");
    EXPECT_EQ(Text(self.location), Text(ExpectedScreenRect(app.window.hwnd, 0, 0, 520, 374)));
    EXPECT_EQ(self.location.right - self.location.left, UIE::DpiScale(520));
}

TEST_F(ScreenReader, IdleWindowShowsLogoButtonsAndDescription)
{
    ExpectChildren({
        {ROLE_SYSTEM_GRAPHIC, L"Qelvo视频格式转换器", L"", kReadOnly, 16, 16, 140, 24},
        {ROLE_SYSTEM_PUSHBUTTON, L"关闭", L"", kFocusable, 484, 16, 20, 20},
        {ROLE_SYSTEM_PUSHBUTTON, L"立即卸载", L"", kFocusable, 194, 280, 132, 36},
        {ROLE_SYSTEM_STATICTEXT, L"卸载将删除安装目录中的程序文件", L"", kReadOnly, 24, 334, 472, 22},
    });
    BSTR action = nullptr;
    ASSERT_EQ(client->get_accDefaultAction(Child(3), &action), S_OK);
    EXPECT_EQ(TakeBstr(action), L"按下");
    action = nullptr;
    EXPECT_EQ(client->get_accDefaultAction(Child(4), &action), S_FALSE);
    SysFreeString(action);
}

TEST_F(ScreenReader, IdsBeyondTheChildrenAreRejected)
{
    BSTR name = nullptr;
    EXPECT_EQ(client->get_accName(Child(5), &name), E_INVALIDARG);
    EXPECT_EQ(client->get_accName(Child(-1), &name), E_INVALIDARG);
    EXPECT_EQ(client->accDoDefaultAction(Child(4)), DISP_E_MEMBERNOTFOUND); // the description
    IDispatch* object = nullptr;
    EXPECT_EQ(client->get_accChild(Child(1), &object), S_FALSE); // a simple element
    EXPECT_EQ(object, nullptr);
}

TEST_F(ScreenReader, HitTestFindsTheChildUnderAScreenPoint)
{
    struct Case {
        int x, y;
        LONG id;
    };
    const Case cases[] = {
        {260, 298, 3},         // 立即卸载
        {494, 26, 2},          // 关闭
        {30, 20, 1},           // the logo
        {300, 345, 4},         // the description
        {100, 300, CHILDID_SELF}, // blank client area
        {300, 150, CHILDID_SELF}, // the banner is decoration
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(c.x, c.y), c.id) << "at (" << c.x << ", " << c.y << ")";
    RECT window{};
    GetWindowRect(app.window.hwnd, &window);
    VARIANT outside;
    EXPECT_EQ(client->accHitTest(window.right + 5, window.bottom + 5, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);
}

TEST_F(ScreenReader, DefaultActionOfTheButtonAsksForConfirmation)
{
    const LONG button = ChildNamed(L"立即卸载");
    ASSERT_EQ(button, 3);
    // No in the box: the call itself returns at once, the box comes from the window's queue.
    ASSERT_HRESULT_SUCCEEDED(client->accDoDefaultAction(Child(button)));
    EXPECT_TRUE(user.SeenTitles().empty());
    ASSERT_TRUE(PumpUntil([this] { return !user.SeenTitles().empty(); }, 10000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(user.SeenTitles(), std::vector<std::wstring>{kConfirmTitle});
    EXPECT_FALSE(app.busy);
    EXPECT_EQ(workersStarted, 0);
    EXPECT_EQ(ChildCount(), 4);
}

TEST_F(ScreenReader, BusyLayoutShowsStatusAndProgressWithItsValue)
{
    StartThroughDefaultAction();
    EXPECT_EQ(workersStarted, 1);
    ExpectChildren({
        {ROLE_SYSTEM_GRAPHIC, L"Qelvo视频格式转换器", L"", kReadOnly, 16, 16, 140, 24},
        {ROLE_SYSTEM_PUSHBUTTON, L"最小化", L"", kFocusable, 484, 16, 20, 20},
        {ROLE_SYSTEM_STATICTEXT, L"正在卸载，请稍候……", L"", kReadOnly, 24, 292, 472, 22},
        {ROLE_SYSTEM_PROGRESSBAR, L"", L"10%", kReadOnly, 24, 326, 472, 8},
    });
    EXPECT_EQ(HitTest(300, 330), 4);
}

TEST_F(ScreenReader, EventsTellOfTheLayoutSwitchProgressAndFocus)
{
    EventListener listener(app.window.hwnd);
    ASSERT_TRUE(listener.Hooked());
    PumpUntil([] { return false; }, 100);
    listener.Take();

    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(Contains(listener.Take(), (WinEvent{EVENT_OBJECT_FOCUS, 3})));

    StartThroughDefaultAction();
    PumpUntil([] { return false; }, 200);
    const std::vector<WinEvent> switched = listener.Take();
    // The old children 2 (close), 3 (button) and 4 (description) went; 2, 3, 4 are new.
    for (LONG id : {2, 3, 4}) {
        EXPECT_TRUE(Contains(switched, (WinEvent{EVENT_OBJECT_HIDE, id}))) << id;
        EXPECT_TRUE(Contains(switched, (WinEvent{EVENT_OBJECT_SHOW, id}))) << id;
    }
    EXPECT_TRUE(Contains(switched, (WinEvent{EVENT_OBJECT_REORDER, CHILDID_SELF})));

    // The result as the worker would post it: the bar goes to 100 behind the success box.
    user.Answer(kSuccessTitle, IDOK);
    app.window.PostTask([this] { ReportCompletion(&app, true); });
    ASSERT_TRUE(PumpUntil([this] { return !app.window.hwnd; }, 10000));
    EXPECT_TRUE(Contains(listener.Take(), (WinEvent{EVENT_OBJECT_VALUECHANGE, 4})));
}

TEST_F(ScreenReader, ObjectAnswersNotConnectedAfterTheWindowIsGone)
{
    client->AddRef();
    DestroyWindow(app.window.hwnd);
    LONG count = 0;
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(client->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    LONG l, t, w, h;
    EXPECT_EQ(client->accLocation(&l, &t, &w, &h, Child(1)), CO_E_OBJNOTCONNECTED);
    VARIANT hit;
    EXPECT_EQ(client->accHitTest(0, 0, &hit), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(client->accDoDefaultAction(Child(3)), CO_E_OBJNOTCONNECTED);
    client->Release();
}

// The keyboard, as the window receives it, on the same window.
class Keyboard : public ScreenReader {
};

TEST_F(Keyboard, TabMovesAmongTheShownButtonsStartingAtTheUninstallButton)
{
    auto tab = [this](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return app.window.focusedControl;
    };
    EXPECT_EQ(app.window.focusedControl, nullptr);
    // As Windows starts a window opened with the mouse: cues hidden. (Wine's WM_QUERYUISTATE
    // always answers 0, and WM_CHANGEUISTATE sends no WM_UPDATEUISTATE back.)
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_FALSE(app.window.focusCuesShown);
    EXPECT_EQ(tab(false), app.uninstallButton);
    EXPECT_TRUE(app.window.focusCuesShown);
    EXPECT_EQ(Read(3).state & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(tab(false), app.closeButton);
    EXPECT_EQ(Read(2).state & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(Read(3).state & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(tab(false), app.uninstallButton);
    EXPECT_EQ(tab(true), app.closeButton);
    EXPECT_EQ(tab(true), app.uninstallButton);
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_FALSE(app.window.focusCuesShown);
    SendMessageW(app.window.hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(app.window.focusCuesShown);

    // Escape keeps its meaning: nothing handles it here.
    SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_NE(app.window.hwnd, nullptr);
    EXPECT_TRUE(user.SeenTitles().empty());

    // A mouse press on blank space takes the focus away, as before.
    POINT blank{UIE::DpiScale(100), UIE::DpiScale(300)};
    SendMessageW(app.window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(blank.x, blank.y));
    SendMessageW(app.window.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(blank.x, blank.y));
    EXPECT_EQ(app.window.focusedControl, nullptr);
}

TEST_F(Keyboard, EnterAndSpacePressTheFocusedButton)
{
    struct Case {
        WPARAM key;
        int tabs;
        const wchar_t* expectedBox; // null: the window closes
    };
    const Case cases[] = {{VK_RETURN, 1, kConfirmTitle}, {VK_SPACE, 1, kConfirmTitle}, {VK_SPACE, 2, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " after " + std::to_string(c.tabs) + " tabs");
        if (!app.window.hwnd) {
            ASSERT_TRUE(app.window.Create(app.instance));
        }
        app.window.focusedControl = nullptr;
        const size_t boxesBefore = user.SeenTitles().size();
        for (int i = 0; i < c.tabs; ++i)
            SendMessageW(app.window.hwnd, WM_KEYDOWN, VK_TAB, 0);
        // An auto-repeated key does not press again.
        SendMessageW(app.window.hwnd, WM_KEYDOWN, c.key, 0x40000000);
        EXPECT_EQ(user.SeenTitles().size(), boxesBefore);
        SendMessageW(app.window.hwnd, WM_KEYDOWN, c.key, 0);
        if (c.expectedBox) {
            ASSERT_EQ(user.SeenTitles().size(), boxesBefore + 1);
            EXPECT_EQ(user.SeenTitles().back(), c.expectedBox);
            EXPECT_FALSE(app.busy);
        } else {
            EXPECT_TRUE(PumpUntil([this] { return !app.window.hwnd; }, 5000));
            EXPECT_EQ(user.SeenTitles().size(), boxesBefore);
        }
    }
}

TEST(AccessibleChanges, TellWhatAClientMustHear)
{
    UIE::CUiControl a, b, c, d;
    using Entries = std::vector<UIE::AccessibleEntry>;
    auto events = [](const Entries& before, const Entries& after) {
        std::vector<WinEvent> found;
        for (const UIE::AccessibleEvent& e : UIE::AccessibleChanges(before, after))
            found.push_back(WinEvent{e.event, e.childId});
        return found;
    };
    const Entries idle{{&a, L"logo", L""}, {&b, L"关闭", L""}, {&c, L"立即卸载", L""}};
    const Entries busy{{&a, L"logo", L""}, {&d, L"", L"10%"}};
    EXPECT_TRUE(events(idle, idle).empty());
    EXPECT_EQ(events(idle, busy),
              (std::vector<WinEvent>{{EVENT_OBJECT_HIDE, 2}, {EVENT_OBJECT_HIDE, 3}, {EVENT_OBJECT_SHOW, 2},
                                     {EVENT_OBJECT_REORDER, CHILDID_SELF}}));
    const Entries done{{&a, L"logo", L""}, {&d, L"", L"100%"}};
    EXPECT_EQ(events(busy, done), (std::vector<WinEvent>{{EVENT_OBJECT_VALUECHANGE, 2}}));
    const Entries renamed{{&a, L"logo", L""}, {&d, L"bar", L"10%"}};
    EXPECT_EQ(events(busy, renamed), (std::vector<WinEvent>{{EVENT_OBJECT_NAMECHANGE, 2}}));
    // The same controls in another order keep their events quiet but the client re-reads.
    const Entries swapped{{&d, L"", L"10%"}, {&a, L"logo", L""}};
    EXPECT_EQ(events(busy, swapped), (std::vector<WinEvent>{{EVENT_OBJECT_REORDER, CHILDID_SELF}}));
    EXPECT_EQ(events({}, busy), (std::vector<WinEvent>{{EVENT_OBJECT_SHOW, 1}, {EVENT_OBJECT_SHOW, 2},
                                                       {EVENT_OBJECT_REORDER, CHILDID_SELF}}));
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

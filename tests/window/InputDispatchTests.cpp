// Hover, press, capture, focus, double click, wheel and cursor choice, driven by real
// mouse messages sent to a real window whose controls log what they receive.
#include "WindowTestSupport.h"

#include "ui/framework/window/UiWindow.h"
#include "ui/setup/ActionButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using windowtest::DpiOverride;
using Events = windowtest::EventLog;
using windowtest::Place;
using windowtest::RecordingControl;

namespace {

class InputFixture : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override { ASSERT_TRUE(CreateWindowWithRoot()); }
    void TearDown() override
    {
        if (GetCapture() == window.hwnd)
            ReleaseCapture();
        TearDownWindow();
    }

    RecordingControl* Add(UIE::CUiControl* parent, const char* name, int x, int y, int width, int height)
    {
        return Place(parent, new RecordingControl(name, log), x, y, width, height);
    }
};

class HitTest : public InputFixture {};
class Hover : public InputFixture {};
class Press : public InputFixture {};
class Focus : public InputFixture {};
class DoubleClick : public InputFixture {};
class Wheel : public InputFixture {};
class Cursor : public InputFixture {};

HCURSOR SystemCursor(LPCWSTR id)
{
    return LoadCursorW(nullptr, id);
}

enum NodeFlags : unsigned { kDisabled = 1, kHidden = 2, kHand = 4 };

// One control of a row's tree; parent is the index of an earlier node, -1 for the root.
struct TreeNode {
    const char* name;
    int parent;
    UIE::UiRect bounds;
    unsigned flags;
};

struct HitCase {
    const char* name;
    std::vector<TreeNode> tree;
    int dpi;
    bool transparentLaterRoot; // a second root over the client area that lets the mouse through
    POINT at;                  // client pixels
    const char* hit;           // the control the point reaches; null for the plain root
    POINT local;               // the point as that control receives it
};

// A window of its own for each row of a table.
struct RowWindow : windowtest::WindowFixtureBase {
    ~RowWindow() { ReleaseCapture(); TearDownWindow(); }
    using WindowFixtureBase::CreateWindowWithRoot, WindowFixtureBase::MoveTo, WindowFixtureBase::PressAt;
    using WindowFixtureBase::log, WindowFixtureBase::root, WindowFixtureBase::window;
};

} // namespace

// Which control a point reaches, and where in it: one move, then one press, at the
// same point of a fresh window whose plain root holds the row's tree.
TEST_F(HitTest, PointReachesTheDeepestEnabledVisibleControl)
{
    const std::vector<TreeNode> edges{{"Root", -1, {0, 0, 520, 374}, 0}, {"A", 0, {10, 10, 20, 20}, 0}};
    const HitCase cases[] = {
        {"later sibling wins", {{"A", -1, {10, 10, 100, 100}, 0}, {"B", -1, {50, 50, 100, 100}, 0}}, 96, false,
         {60, 70}, "B", {10, 20}},
        {"deepest control, point relative to itself",
         {{"Outer", -1, {100, 100, 200, 100}, 0}, {"Inner", 0, {20, 30, 50, 40}, 0}}, 96, false, {125, 135}, "Inner",
         {5, 5}},
        {"right edge is outside", edges, 96, false, {30, 15}, "Root", {30, 15}},
        {"bottom edge is outside", edges, 96, false, {15, 30}, "Root", {15, 30}},
        {"last pixel inside", edges, 96, false, {29, 29}, "A", {19, 19}},
        {"disabled control falls through to its container",
         {{"Panel", -1, {0, 0, 520, 374}, 0}, {"Button", 0, {100, 100, 80, 30}, kHand | kDisabled}}, 96, false,
         {110, 105}, "Panel", {110, 105}},
        {"invisible control falls through to its container",
         {{"Panel", -1, {20, 20, 400, 300}, 0}, {"Button", 0, {100, 100, 80, 30}, kHand | kHidden}}, 96, false,
         {130, 130}, "Panel", {110, 110}},
        {"disabled container hides its enabled children",
         {{"Panel", -1, {0, 0, 300, 300}, kDisabled}, {"Child", 0, {10, 10, 50, 50}, 0}}, 96, false, {20, 20},
         nullptr, {}},
        {"transparent later root lets the earlier root be hit", {{"A", -1, {10, 10, 50, 50}, 0}}, 96, true, {20, 20},
         "A", {10, 10}},
        {"144 DPI arrives in logical pixels", {{"Root", -1, {0, 0, 520, 374}, 0}}, 144, false, {150, 150}, "Root",
         {100, 100}},
    };
    for (const HitCase& c : cases) {
        SCOPED_TRACE(c.name);
        RowWindow row;
        ASSERT_TRUE(row.CreateWindowWithRoot());
        UIE::CUiControl* expected = row.root;
        std::vector<RecordingControl*> made;
        for (const TreeNode& node : c.tree) {
            auto* parent = node.parent < 0 ? row.root : made[static_cast<size_t>(node.parent)];
            auto* control = UIE::PlaceChild(parent, new RecordingControl(node.name, row.log), node.bounds);
            control->enabled = (node.flags & kDisabled) == 0;
            control->visible = (node.flags & kHidden) == 0;
            control->handCursor = (node.flags & kHand) != 0;
            made.push_back(control);
            if (c.hit && std::string(node.name) == c.hit)
                expected = control;
        }
        if (c.transparentLaterRoot) {
            auto* overlay = new UIE::CUiControl();
            overlay->mouseTransparent = true;
            row.window.AddRootControl(overlay);
        }
        const std::string hit = c.hit ? c.hit : "", local = std::to_string(c.local.x) + "," + std::to_string(c.local.y);
        const DpiOverride dpi(c.dpi);
        row.MoveTo(c.at.x, c.at.y);
        EXPECT_EQ(row.log, (c.hit ? Events{hit + " enter", hit + " move " + local} : Events{}));
        EXPECT_EQ(row.window.input.hoveredControl, expected);
        row.log.clear();
        row.PressAt(c.at.x, c.at.y);
        EXPECT_EQ(row.log, (c.hit ? Events{hit + " down " + local} : Events{}));
        EXPECT_EQ(row.window.input.capturedControl, expected);
        EXPECT_EQ(GetCapture(), row.window.hwnd);
    }
}

TEST_F(HitTest, LaterRootWins)
{
    auto* first = new RecordingControl("R1", log);
    auto* second = new RecordingControl("R2", log);
    window.AddRootControl(first);
    window.AddRootControl(second);
    log.clear();
    MoveTo(30, 40);
    EXPECT_EQ(log, (Events{"R2 enter", "R2 move 30,40"}));
    // Every root covers the whole client area.
    EXPECT_EQ(first->width, 520);
    EXPECT_EQ(second->height, 374);
}

TEST_F(Hover, EnterComesWithFirstMove)
{
    Add(root, "A", 40, 50, 100, 100);
    MoveTo(50, 60);
    MoveTo(51, 61);
    EXPECT_EQ(log, (Events{"A enter", "A move 10,10", "A move 11,11"}));
    EXPECT_EQ(window.input.hoveredControl, window.rootControls[0]->children[0]);
    EXPECT_TRUE(window.input.leaveTracking);
}

TEST_F(Hover, MovingFromAToBLeavesBeforeEntering)
{
    Add(root, "A", 10, 10, 100, 30);
    Add(root, "B", 10, 40, 100, 30);
    MoveTo(20, 20);
    log.clear();
    MoveTo(20, 45);
    EXPECT_EQ(log, (Events{"A leave", "B enter", "B move 10,5"}));
}

TEST_F(Hover, MovingOntoEmptySpaceLeaves)
{
    root->mouseTransparent = true;
    Add(root, "A", 10, 10, 100, 30);
    MoveTo(20, 20);
    MoveTo(300, 300);
    EXPECT_EQ(log, (Events{"A enter", "A move 10,10", "A leave"}));
    EXPECT_EQ(window.input.hoveredControl, nullptr);
}

TEST_F(Hover, MouseLeaveMessageEndsHover)
{
    Add(root, "A", 10, 10, 100, 30);
    MoveTo(20, 20);
    ASSERT_TRUE(window.input.leaveTracking);
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(log, (Events{"A enter", "A move 10,10", "A leave"}));
    EXPECT_EQ(window.input.hoveredControl, nullptr);
    EXPECT_FALSE(window.input.leaveTracking);
    // The next move starts hovering (and tracking) again.
    MoveTo(21, 20);
    EXPECT_EQ(log.back(), "A move 11,10");
    EXPECT_TRUE(window.input.leaveTracking);
}

TEST_F(Hover, ControlAddedUnderRestingPointerIsHoveredAtOnce)
{
    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    ASSERT_TRUE(SetCursorPos(bounds.left + 120, bounds.top + 300));
    POINT cursor{};
    ASSERT_TRUE(GetCursorPos(&cursor));
    ASSERT_EQ(cursor.x, bounds.left + 120);

    auto* panel = new UIE::CUiControl();
    Place(panel, new RecordingControl("Late", log), 100, 280, 50, 50);
    window.AddRootControl(panel);
    windowtest::ParkCursor();
    EXPECT_EQ(log, (Events{"Late enter", "Late move 20,20"}));
    EXPECT_EQ(panel->width, 520); // laid out over the client area on the way
}

TEST_F(Press, CapturesMouseForWindow)
{
    auto* button = Add(root, "Button", 100, 100, 80, 30);
    button->handCursor = true;
    PressAt(110, 105);
    EXPECT_EQ(log, (Events{"Button down 10,5"}));
    EXPECT_EQ(window.input.capturedControl, button);
    EXPECT_EQ(GetCapture(), window.hwnd);

    ReleaseAt(112, 106);
    EXPECT_EQ(log, (Events{"Button down 10,5", "Button up 12,6"}));
    EXPECT_EQ(window.input.capturedControl, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Press, WhileHeldMovesGoToPressedControlOnly)
{
    auto* a = Add(root, "A", 10, 10, 100, 30);
    a->handCursor = true;
    auto* b = Add(root, "B", 10, 100, 100, 30);
    b->handCursor = true;
    MoveTo(20, 20);
    PressAt(20, 20);
    log.clear();
    MoveTo(20, 110);
    MoveTo(-15, 400);
    EXPECT_EQ(log, (Events{"A move 10,100", "A move -25,390"}));
    EXPECT_EQ(window.input.hoveredControl, a);

    ReleaseAt(20, 110);
    MoveTo(21, 110);
    EXPECT_EQ(log, (Events{"A move 10,100", "A move -25,390", "A up 10,100", "A leave", "B enter",
                                 "B move 11,10"}));
}

TEST_F(Press, ReleaseOutsideGivesOutsideCoordinatesAndNoClick)
{
    Add(root, "Other", 300, 200, 100, 100);
    int clicks = 0;
    auto* button = Place(root, new SetupUi::CActionButton(L"立即卸载", [&] { ++clicks; }), 194, 280, 132, 36);
    MoveTo(200, 290);
    PressAt(200, 290);
    EXPECT_TRUE(button->isPressed);
    MoveTo(350, 250);
    ReleaseAt(350, 250);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->isPressed);
    EXPECT_TRUE(log.empty()); // the control under the release gets nothing
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Press, RecordedReleaseOutsideIsRelativeToPressedControl)
{
    auto* a = Add(root, "A", 100, 100, 50, 20);
    a->pressable = true;
    PressAt(110, 110);
    ReleaseAt(90, 130);
    EXPECT_EQ(log, (Events{"A down 10,10", "A up -10,30"}));
}

TEST_F(Press, ReleaseInsideClicksOnce)
{
    int clicks = 0;
    Place(root, new SetupUi::CActionButton(L"立即卸载", [&] { ++clicks; }), 194, 280, 132, 36);
    PressAt(200, 290);
    ReleaseAt(325, 315);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Press, CaptureIsReleasedBeforeClickHandlerRuns)
{
    HWND captureDuringClick = reinterpret_cast<HWND>(1);
    UIE::CUiControl* capturedDuringClick = reinterpret_cast<UIE::CUiControl*>(1);
    Place(root, new SetupUi::CActionButton(L"立即卸载", [&] {
        captureDuringClick = GetCapture();
        capturedDuringClick = window.input.capturedControl;
    }), 194, 280, 132, 36);
    PressAt(200, 290);
    ReleaseAt(200, 290);
    EXPECT_EQ(captureDuringClick, nullptr);
    EXPECT_EQ(capturedDuringClick, nullptr);
}

TEST_F(Press, ClickableAncestorBecomesPressTarget)
{
    auto* button = Add(root, "Button", 100, 200, 120, 40);
    button->handCursor = true;
    Add(button, "Label", 10, 5, 100, 30);
    PressAt(115, 210);
    EXPECT_EQ(log, (Events{"Button down 15,10"}));
    EXPECT_EQ(window.input.capturedControl, button);
    ReleaseAt(116, 211);
    EXPECT_EQ(log, (Events{"Button down 15,10", "Button up 16,11"}));
}

TEST_F(Press, ReleaseWithoutPressIsIgnored)
{
    auto* a = Add(root, "A", 0, 0, 100, 100);
    a->pressable = true;
    ReleaseAt(10, 10);
    EXPECT_TRUE(log.empty());
}

TEST_F(Press, PressOnEmptySpaceCapturesNothing)
{
    root->mouseTransparent = true;
    Add(root, "A", 0, 0, 100, 100);
    PressAt(300, 300);
    EXPECT_EQ(window.input.capturedControl, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    ReleaseAt(300, 300);
    EXPECT_TRUE(log.empty());
}

TEST_F(Press, CaptureChangedClearsCapturedControl)
{
    auto* a = Add(root, "A", 0, 0, 100, 100);
    a->pressable = true;
    PressAt(10, 10);
    ASSERT_EQ(window.input.capturedControl, a);
    Send(WM_CAPTURECHANGED, 0, 0);
    EXPECT_EQ(window.input.capturedControl, nullptr);
    ReleaseAt(10, 10);
    EXPECT_EQ(log, (Events{"A down 10,10"}));
}

TEST_F(Press, CaptureTakenAwayBySystemClearsCapturedControl)
{
    auto* a = Add(root, "A", 0, 0, 100, 100);
    a->pressable = true;
    PressAt(10, 10);
    ASSERT_EQ(GetCapture(), window.hwnd);
    ReleaseCapture(); // sends WM_CAPTURECHANGED, as losing the capture to another window does
    EXPECT_EQ(window.input.capturedControl, nullptr);
    MoveTo(50, 50);
    EXPECT_EQ(log, (Events{"A down 10,10", "A enter", "A move 50,50"}));
}

TEST_F(Press, SecondPressWhileHoldingKeepsCapture)
{
    // A press that arrives while the window already holds the capture (a lost button-up).
    auto* a = Add(root, "A", 0, 0, 100, 100);
    a->pressable = true;
    auto* b = Add(root, "B", 200, 0, 100, 100);
    b->pressable = true;
    PressAt(10, 10);
    PressAt(210, 10);
    EXPECT_EQ(window.input.capturedControl, b);
    EXPECT_EQ(GetCapture(), window.hwnd);
    ReleaseAt(210, 10);
    EXPECT_EQ(log, (Events{"A down 10,10", "B down 10,10", "B up 10,10"}));
}

TEST_F(Focus, PressFocusesFocusableAncestor)
{
    auto* field = Add(root, "Field", 10, 10, 200, 30);
    field->focusable = true;
    Add(field, "Inner", 5, 5, 50, 20);
    PressAt(20, 20);
    // The focus goes to the focusable ancestor; the press stays with the plain child.
    EXPECT_EQ(log, (Events{"Field focus", "Inner down 5,5"}));
    EXPECT_EQ(window.input.focusedControl, field);
}

TEST_F(Focus, PressElsewhereBlurs)
{
    auto* field = Add(root, "Field", 10, 10, 200, 30);
    field->focusable = true;
    auto* other = Add(root, "Other", 10, 100, 200, 30);
    other->focusable = true;
    PressAt(20, 20);
    ReleaseAt(20, 20);
    PressAt(20, 110);
    ReleaseAt(20, 110);
    PressAt(400, 300);
    EXPECT_EQ(log, (Events{"Field focus", "Field down 10,10", "Field up 10,10", "Field blur", "Other focus",
                                 "Other down 10,10", "Other up 10,10", "Other blur"}));
    EXPECT_EQ(window.input.focusedControl, nullptr);
}

TEST_F(Focus, PressOnFocusedControlKeepsFocusQuietly)
{
    auto* field = Add(root, "Field", 10, 10, 200, 30);
    field->focusable = true;
    PressAt(20, 20);
    ReleaseAt(20, 20);
    log.clear();
    PressAt(30, 20);
    EXPECT_EQ(log, (Events{"Field down 20,10"}));
}

TEST_F(Focus, MovesAndLeavesDoNotChangeFocus)
{
    auto* field = Add(root, "Field", 10, 10, 200, 30);
    field->focusable = true;
    PressAt(20, 20);
    ReleaseAt(20, 20);
    MoveTo(300, 300);
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(window.input.focusedControl, field);
}

TEST_F(Focus, KeysGoToFocusedControl)
{
    auto* field = Add(root, "Field", 10, 10, 200, 30);
    field->focusable = true;
    Send(WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(log.empty());
    PressAt(20, 20);
    log.clear();
    EXPECT_EQ(Send(WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(Send(WM_CHAR, L'a', 0), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_EQ(log, (Events{"Field key 65", "Field char 97", "Field key 27"}));
}

TEST_F(DoubleClick, IsAPressThenGoesToTheControlUnderThePointer)
{
    auto* button = Add(root, "Button", 100, 100, 80, 30);
    button->handCursor = true;
    Add(button, "Label", 10, 5, 40, 20);
    button->focusable = true;
    DoubleClickAt(115, 110);
    EXPECT_EQ(log, (Events{"Button focus", "Button down 15,10", "Label dblclick 5,5"}));
    EXPECT_EQ(window.input.capturedControl, button);
    EXPECT_EQ(GetCapture(), window.hwnd);
    ReleaseAt(115, 110);
    EXPECT_EQ(log.back(), "Button up 15,10");
}

TEST_F(DoubleClick, ButtonClicksTwice)
{
    int clicks = 0;
    Place(root, new SetupUi::CActionButton(L"立即卸载", [&] { ++clicks; }), 194, 280, 132, 36);
    PressAt(200, 290);
    ReleaseAt(200, 290);
    DoubleClickAt(200, 290);
    ReleaseAt(200, 290);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Wheel, BubblesUntilHandled)
{
    auto* outer = Add(root, "Outer", 0, 0, 400, 300);
    auto* middle = Add(outer, "Middle", 10, 10, 300, 200);
    middle->handlesWheel = true;
    Add(middle, "Inner", 10, 10, 100, 100);
    WheelAt(50, 50, -120);
    EXPECT_EQ(log, (Events{"Inner wheel -120", "Middle wheel -120"}));
}

TEST_F(Wheel, UnhandledReachesRootAndStops)
{
    auto* outer = Add(root, "Outer", 0, 0, 400, 300);
    Add(outer, "Inner", 10, 10, 100, 100);
    WheelAt(300, 250, 240);
    WheelAt(50, 50, 120);
    EXPECT_EQ(log, (Events{"Outer wheel 240", "Inner wheel 120", "Outer wheel 120"}));
    EXPECT_EQ(window.input.focusedControl, nullptr);
}

TEST_F(Cursor, HandOverButtonArrowElsewhere)
{
    Place(root, new SetupUi::CActionButton(L"立即卸载", [] {}), 194, 280, 132, 36);
    const LPARAM client = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    MoveTo(200, 290);
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), client), TRUE);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_HAND));

    MoveTo(20, 290);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), client);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
}

TEST_F(Cursor, DisabledButtonShowsArrow)
{
    auto* button = Place(root, new SetupUi::CActionButton(L"立即卸载", [] {}), 194, 280, 132, 36);
    MoveTo(200, 290);
    button->enabled = false;
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
}

TEST_F(Cursor, HandOverLabelInsideClickableControl)
{
    auto* button = Add(root, "Button", 100, 100, 80, 30);
    button->handCursor = true;
    Add(button, "Label", 10, 5, 40, 20);
    MoveTo(115, 110);
    ASSERT_EQ(log.front(), "Label enter");
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_HAND));
}

TEST_F(Cursor, TextCursorWinsOverHandAncestor)
{
    auto* button = Add(root, "Button", 100, 100, 80, 30);
    button->handCursor = true;
    auto* text = Add(button, "Text", 10, 5, 40, 20);
    text->textCursor = true;
    MoveTo(115, 110);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_IBEAM));
}

TEST_F(Cursor, ArrowAgainAfterPointerLeaves)
{
    Place(root, new SetupUi::CActionButton(L"立即卸载", [] {}), 194, 280, 132, 36);
    MoveTo(200, 290);
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_HAND));
    Send(WM_MOUSELEAVE, 0, 0);
    SetCursor(SystemCursor(IDC_WAIT));
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
}

// Real pointer movement through the X server: Wine reports the leave from a polling
// timer, so the test pumps messages until it comes, with a timeout.
TEST(RealInput, PointerEntersAndLeavesAButton)
{
    windowtest::ParkCursor();
    Events log;
    SetupUi::CWindow window;
    auto* panel = new UIE::CUiControl();
    panel->mouseTransparent = true;
    auto* button = Place(panel, new RecordingControl("Button", log), 100, 300, 100, 40);
    button->handCursor = true;
    window.AddRootControl(panel);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
    ShowWindow(window.hwnd, SW_SHOWNORMAL);
    UpdateWindow(window.hwnd);
    SetForegroundWindow(window.hwnd);
    windowtest::DispatchPending();

    RECT bounds{};
    GetWindowRect(window.hwnd, &bounds);
    auto saw = [&](const std::string& event) {
        return std::find(log.begin(), log.end(), event) != log.end();
    };
    SetCursorPos(bounds.left + 150, bounds.top + 320);
    EXPECT_TRUE(windowtest::PumpUntil([&] { return saw("Button enter"); }, 5000));
    EXPECT_EQ(window.input.hoveredControl, button);
    EXPECT_TRUE(window.input.leaveTracking);

    SetCursorPos(bounds.right + 200, bounds.bottom + 200);
    EXPECT_TRUE(windowtest::PumpUntil([&] { return saw("Button leave"); }, 5000));
    EXPECT_EQ(window.input.hoveredControl, nullptr);
    EXPECT_FALSE(window.input.leaveTracking);

    DestroyWindow(window.hwnd);
    windowtest::ParkCursor();
    windowtest::DropQueuedMessages();
}

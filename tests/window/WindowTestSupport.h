#pragma once
// Helpers for the window tests: a control that logs what the window tells it and a
// created window to send messages to.
#include "helpers/TestSupport.h"
#include "helpers/UiTestSupport.h"
#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/UiControl.h"
#include "ui/setup/Window.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace windowtest {

using EventLog = std::vector<std::string>;

// A control that appends one line per event to a shared log ("A enter", "A down 3,4").
class RecordingControl : public UIE::CUiControl {
public:
    RecordingControl(std::string name, EventLog& log) : name(std::move(name)), log(&log) {}

    void OnMouseEnter() override { Add("enter"); }
    void OnMouseMove(int px, int py) override { Add("move", px, py); }
    void OnMouseLeave() override { Add("leave"); }
    void OnMouseDown(int px, int py) override { Add("down", px, py); }
    void OnMouseUp(int px, int py) override { Add("up", px, py); }
    void OnDoubleClick(int px, int py) override { Add("dblclick", px, py); }
    bool OnMouseWheel(int delta) override
    {
        Add("wheel " + std::to_string(delta));
        return handlesWheel;
    }
    bool WantsHandCursor() override { return handCursor; }
    bool WantsTextCursor() override { return textCursor; }
    bool IsPressable() override { return pressable || UIE::CUiControl::IsPressable(); }
    bool CanFocus() override { return focusable; }
    void OnFocus() override { Add("focus"); }
    void OnBlur() override { Add("blur"); }
    void OnKeyDown(WPARAM key) override { Add("key " + std::to_string(key)); }
    void OnChar(WPARAM character) override { Add("char " + std::to_string(character)); }

    bool handlesWheel = false;
    bool handCursor = false;
    bool textCursor = false;
    bool pressable = false;
    bool focusable = false;

private:
    void Add(const std::string& what) { log->push_back(name + " " + what); }
    void Add(const std::string& what, int px, int py)
    {
        Add(what + " " + std::to_string(px) + "," + std::to_string(py));
    }

    std::string name;
    EventLog* log;
};

using zmxtest::DispatchPending;
using zmxtest::DropQueuedMessages;
using zmxtest::Place;
using zmxtest::PointParam;
using zmxtest::PumpUntil;

// Sets the process-wide DPI for one test and restores it afterwards.
class DpiOverride {
public:
    explicit DpiOverride(int dpi) : saved(UIE::GetDpiInfo().dpi) { UIE::GetDpiInfo().dpi = dpi; }
    ~DpiOverride() { UIE::GetDpiInfo().dpi = saved; }
    DpiOverride(const DpiOverride&) = delete;
    DpiOverride& operator=(const DpiOverride&) = delete;

private:
    int saved;
};

// The real pointer parked in the screen's top-left corner, away from the centred window,
// so that only the messages a test sends reach its controls.
inline void ParkCursor()
{
    SetCursorPos(0, 0);
}

// A created (hidden) uninstaller window with a plain container as its only root.
class WindowFixtureBase {
protected:
    bool CreateWindowWithRoot()
    {
        ParkCursor();
        root = new UIE::CUiControl();
        window.AddRootControl(root);
        if (!window.Create(GetModuleHandleW(nullptr)))
            return false;
        // Wine can leave the pointer where it was (the screen's centre, over the centred
        // window, for a program's first test), and a root added later would be hovered
        // at once: the window moves off the pointer instead.
        POINT cursor;
        RECT placed;
        if (GetCursorPos(&cursor) && GetWindowRect(window.hwnd, &placed) && PtInRect(&placed, cursor))
            SetWindowPos(window.hwnd, nullptr, cursor.x + 1, cursor.y + 1, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }

    void TearDownWindow()
    {
        if (window.hwnd)
            DestroyWindow(window.hwnd);
        DropQueuedMessages();
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return SendMessageW(window.hwnd, message, wParam, lParam);
    }
    void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, PointParam(x, y)); }
    void PressAt(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y)); }
    void ReleaseAt(int x, int y) { Send(WM_LBUTTONUP, 0, PointParam(x, y)); }
    void DoubleClickAt(int x, int y) { Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(x, y)); }
    // WM_MOUSEWHEEL carries screen coordinates.
    void WheelAt(int clientX, int clientY, int delta)
    {
        POINT point{clientX, clientY};
        ClientToScreen(window.hwnd, &point);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), PointParam(point.x, point.y));
    }

    SetupUi::CWindow window;
    UIE::CUiControl* root = nullptr; // owned by the window
    EventLog log;
};

} // namespace windowtest

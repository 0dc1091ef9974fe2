#pragma once
#include "ui/framework/drawing/PaintContext.h"
#include "ui/framework/window/BackBuffer.h"
#include "ui/framework/window/InputDispatch.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/window/UiWindowHost.h"
#include "ui/framework/window/WindowAccessibility.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace UIE {

class CUiControl;

// Message that carries a heap-allocated task to the window thread in its lParam.
inline constexpr UINT kPostedTaskMessage = WM_APP + 0x6E;
inline constexpr wchar_t kWindowClassName[] = L"Zmx.UiWindow";

using UiTask = std::function<void()>;
// Application hook: returns -1 when it leaves the message to the window.
using MessageHook = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

// Frameless top-level window whose whole area is drawn by the framework.
//
// The back buffer keeps the last frame, and a paint draws again only what was marked stale
// since: every change to what a control shows (visibility, text, value, colours, hover,
// press, focus, layout) must be followed by Invalidate, the control's or the window's. A raw
// InvalidateRect only shows the kept frame again.
class CUiWindow : public IAccessibleWindow {
public:
    CUiWindow();
    CUiWindow(const CUiWindow&) = delete;
    CUiWindow& operator=(const CUiWindow&) = delete;

    virtual ~CUiWindow();
    virtual void OnCreate();
    // Client size in logical pixels; lays every root control over the whole area.
    virtual void OnSize(int width, int height);
    virtual void OnDestroy();
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Non-client code for a client point in device pixels, or -1 for no opinion.
    virtual LRESULT HitTestNonClient(int x, int y);
    // True when Escape was consumed.
    virtual bool OnEscape();

    // Registers the class if needed and creates the hidden window, centred, with title
    // and logicalSize as the owner set them.
    bool Create(HINSTANCE instance);
    // Runs task on the window thread later; callable from any thread.
    void PostTask(UiTask task) override;
    // PostTask to the window of target, a handle read on the window's own thread: a worker
    // must not read hwnd, which the window thread clears when the window goes.
    static void PostTaskTo(HWND target, UiTask task);
    // Marks area (client device pixels; null: the whole client) as no longer showing the
    // controls' state and asks for a paint of it.
    void Invalidate(const RECT* area) override;
    // Frees the back buffer; the next paint makes a new one.
    void ReleaseBackBuffer();
    // Takes ownership of a root control and lays it out over the client area.
    void AddRootControl(CUiControl* control);
    // Whether the window has the system's keyboard focus.
    bool HasKeyboardFocus() const override;
    // The control under a logical client point and the point relative to it.
    CUiControl* ControlAt(int x, int y, int& localX, int& localY);

    // Input processing with client device coordinates.
    void ProcessPointerMove(int x, int y);
    void ProcessPointerLeave();
    void ProcessButtonDown(int x, int y);
    void ProcessButtonUp(int x, int y);
    void ProcessDoubleClick(int x, int y);
    void ProcessWheel(int x, int y, int delta);

    HWND Handle() const override;
    bool ShowsFocusRing(const CUiControl& control) const override;
    void NotifyAccessible(DWORD event, const CUiControl* control) override;
    void OnControlsHidden() override;
    const CAccessibleIds& AccessibleChildren() override;
    std::wstring AccessibleTitle() const override;
    bool AccessibleAsDialog() const override;
    CUiControl* FocusedControl() const override;
    CUiControl* HoveredControl() const override;
    CUiControl* DefaultControl() const override;
    void FocusControl(CUiControl* control) override;
    // What the focus rules work on, for one call.
    CFocusScope FocusScope();

    static LRESULT CALLBACK StaticWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    std::wstring title;
    std::vector<CUiControl*> rootControls; // owned
    // Hover, capture and the focused control.
    CUiInputDispatch input;
    MessageHook messageHook;
    CBackBuffer backBuffer; // made and resized by the paint pipeline
    CUiPaintContext paintContext;
    bool useDwmFrame = true;
    SIZE logicalSize{0, 0}; // the size Create gives the window
    WORD iconResourceId = 0; // the class icon in the instance's resources, when the class is registered
    // Focus cues, the default and cancel buttons, a held Enter or Space.
    CKeyboardState keyboard;
    // Readers are told the window's own object is a dialog (its visible text is read when it
    // opens) instead of a plain client area.
    bool accessibleAsDialog = false;
    CWindowAccessibility accessibility;

private:
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnWindowDestroyed();
    void OnImeStartComposition();
    void OnImeResult();
    void ExtendFrame();

    HWND dispatchHwnd = nullptr; // the handle of the message being handled
};

// Moves window's keyboard focus (null: none), as Tab does.
void SetKeyboardFocus(CUiWindow& window, CUiControl* control);

// Top-left position that centres a window on a screen, never negative.
POINT CenteredWindowPosition(int screenWidth, int screenHeight, int width, int height);

} // namespace UIE

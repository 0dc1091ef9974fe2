#include "ui/framework/window/UiWindow.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/window/AccessibleTree.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/window/NonClientHitTest.h"
#include "ui/framework/window/PaintPipeline.h"
#include "ui/framework/window/UiControl.h"

#include <imm.h>
#include <oleacc.h>
#include <windowsx.h>

#include <memory>

namespace UIE {

namespace {

// Shows the kept frame again; nothing it shows has changed.
void ExposeClient(HWND hwnd)
{
    if (hwnd)
        InvalidateRect(hwnd, nullptr, FALSE);
}

// Tasks still queued when the window goes would otherwise leak with their messages.
void DiscardQueuedTasks(HWND handle)
{
    // PeekMessage hands out WM_QUIT whatever the filter, and the application's hook has
    // just posted it from WM_DESTROY: it goes back for the message loop.
    bool quit = false;
    WPARAM exitCode = 0;
    MSG message;
    while (PeekMessageW(&message, handle, kPostedTaskMessage, kPostedTaskMessage, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            exitCode = message.wParam;
        } else if (message.message == kPostedTaskMessage) {
            std::unique_ptr<UiTask> discarded(reinterpret_cast<UiTask*>(message.lParam));
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(exitCode));
}

} // namespace

LRESULT CALLBACK CUiWindow::StaticWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    CUiWindow* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CUiWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        if (window)
            window->hwnd = handle;
    } else {
        window = reinterpret_cast<CUiWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    }
    if (!window)
        return DefWindowProcW(handle, message, wParam, lParam);

    const HWND outer = window->dispatchHwnd;
    window->dispatchHwnd = handle;
    const LRESULT result = window->HandleMessage(message, wParam, lParam);
    window->dispatchHwnd = outer;
    if (message == WM_NCDESTROY) {
        DiscardQueuedTasks(handle);
        // Nothing may reach the object through a handle that no longer exists.
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
    }
    return result;
}

LRESULT CUiWindow::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (messageHook) {
        const LRESULT result = messageHook(message, wParam, lParam);
        if (result != -1)
            return result;
    }
    const LRESULT result = OnMessage(message, wParam, lParam);
    if (result != -1)
        return result;
    // The handle of the message, which stays valid after WM_DESTROY cleared hwnd.
    return DefWindowProcW(dispatchHwnd ? dispatchHwnd : hwnd, message, wParam, lParam);
}

LRESULT CUiWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        RefreshDpi(hwnd);
        RefreshHighContrast();
        // The ring appears once the keyboard is used (or the system says so through
        // WM_UPDATEUISTATE), not at the start: the window opens with its default button
        // focused, and a mouse user is shown no ring. Users who asked for keyboard cues
        // always see it from the start.
        keyboard.focusCuesShown = SystemShowsKeyboardCues();
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnWindowDestroyed();
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            const int width = static_cast<short>(LOWORD(lParam));
            const int height = static_cast<short>(HIWORD(lParam));
            OnSize(DpiUnscale(width), DpiUnscale(height));
            // A restore to the size of the kept frame lays the controls out as they are drawn.
            if (width == backBuffer.Width() && height == backBuffer.Height())
                ExposeClient(hwnd);
            else
                Invalidate(nullptr);
        }
        return 0;
    case WM_ACTIVATE:
        // An inactive window draws no focus ring; DefWindowProc gives the window the focus.
        if (input.focusedControl)
            input.focusedControl->Invalidate();
        return DefaultHandling(message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnWindowFocus(FocusScope(), message == WM_SETFOCUS);
        return DefaultHandling(message, wParam, lParam);
    case WM_SETTEXT:
        DefWindowProcW(dispatchHwnd, message, wParam, lParam);
        return 0;
    case WM_PAINT:
        RunPaintPipeline(hwnd, backBuffer, paintContext, rootControls);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint pipeline fills the whole invalid area itself
    case WM_SETCURSOR: {
        const LRESULT result = OnSetCursor(wParam, lParam);
        return result != -1 ? result : DefaultHandling(message, wParam, lParam);
    }
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCCALCSIZE:
        return 0; // the client area is the whole window rectangle
    case WM_NCHITTEST:
        return OnNcHitTest(lParam);
    case WM_NCPAINT: {
        const LRESULT result = DefWindowProcW(dispatchHwnd, message, wParam, lParam);
        ExposeClient(hwnd);
        return result;
    }
    case WM_NCACTIVATE:
        return TRUE; // without DefWindowProc, no system frame is drawn on activation
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && OnEscape())
            return 0;
        if (HandleNavigationKey(FocusScope(), wParam, lParam))
            return 0;
        if (input.focusedControl)
            input.focusedControl->OnKeyDown(wParam);
        return 0;
    case WM_KEYUP:
        if (HandleNavigationKeyUp(FocusScope(), wParam))
            return 0;
        return DefaultHandling(message, wParam, lParam);
    case WM_CHAR:
        if (input.focusedControl)
            input.focusedControl->OnChar(wParam);
        return 0;
    case WM_IME_STARTCOMPOSITION:
        if (input.focusedControl)
            OnImeStartComposition();
        return DefaultHandling(message, wParam, lParam);
    case WM_IME_COMPOSITION:
        if (input.focusedControl && (lParam & GCS_RESULTSTR)) {
            OnImeResult();
            return 0;
        }
        return DefaultHandling(message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (!input.leaveTracking) {
            TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&track);
            input.leaveTracking = true;
        }
        ProcessPointerMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        ProcessButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        ProcessButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        // With CS_DBLCLKS a fast second click arrives as this message instead of
        // WM_LBUTTONDOWN; it is a press all the same, so buttons click twice.
        ProcessButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ProcessDoubleClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEWHEEL: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &point);
        ProcessWheel(point.x, point.y, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_CAPTURECHANGED:
        input.capturedControl = nullptr;
        return 0;
    case WM_MOUSELEAVE:
        input.leaveTracking = false;
        ProcessPointerLeave();
        return 0;
    case WM_UPDATEUISTATE:
        OnUpdateUiState(FocusScope(), wParam);
        return DefaultHandling(message, wParam, lParam);
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (accessibility.OnGetObject(*this, wParam, lParam, result))
            return result;
        return DefaultHandling(message, wParam, lParam);
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast switched, or its colours changed.
        if (RefreshHighContrast() || message == WM_SYSCOLORCHANGE)
            Invalidate(nullptr);
        return DefaultHandling(message, wParam, lParam);
    case kPostedTaskMessage: {
        const std::unique_ptr<UiTask> task(reinterpret_cast<UiTask*>(lParam));
        if (task && *task)
            (*task)();
        return 0;
    }
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void CUiWindow::OnWindowDestroyed()
{
    OnDestroy();
    accessibility.Disconnect();
    hwnd = nullptr;
    if (messageHook && messageHook(WM_DESTROY, 0, 0) != -1)
        return;
    OnMessage(WM_DESTROY, 0, 0);
}

LRESULT CUiWindow::OnNcHitTest(LPARAM lParam)
{
    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT point = screen;
    ScreenToClient(hwnd, &point);
    const LRESULT custom = HitTestNonClient(point.x, point.y);
    // What a reader can find is client area: the system's point lookup (AccessibleObjectFromPoint)
    // descends into the client object only where the window answers HTCLIENT, and would
    // report the title bar over a control in the drag band (the logo, which the mouse
    // passes through, included).
    if (custom == HTCAPTION && AccessibleIdAt(AccessibleChildren(), hwnd, screen) != CHILDID_SELF)
        return HTCLIENT;
    if (custom != -1)
        return custom;
    RECT client{};
    GetClientRect(hwnd, &client);
    return ResizeBorderHitTest(point.x, point.y, client.right, client.bottom, GetDpiInfo().dpi,
                               IsZoomed(hwnd) != FALSE);
}

LRESULT CUiWindow::OnSetCursor(WPARAM, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT)
        return -1;
    if (input.hoveredControl && input.hoveredControl->WantsTextCursor()) {
        SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return 1;
    }
    if (FindSelfOrAncestor(input.hoveredControl, [](CUiControl* control) { return control->WantsHandCursor(); })) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return 1;
    }
    return -1;
}

void CUiWindow::OnGetMinMaxInfo(MINMAXINFO* info)
{
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO monitorInfo = {};
    monitorInfo.cbSize = sizeof(monitorInfo);
    if (!GetMonitorInfoW(monitor, &monitorInfo))
        return;
    const RECT& work = monitorInfo.rcWork;
    const RECT& whole = monitorInfo.rcMonitor;
    info->ptMaxPosition = POINT{work.left - whole.left, work.top - whole.top};
    info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
}

void CUiWindow::OnImeStartComposition()
{
    HIMC context = ImmGetContext(hwnd);
    if (!context)
        return;
    RECT caret{};
    if (input.focusedControl->GetCaretRect(caret)) {
        COMPOSITIONFORM composition = {};
        composition.dwStyle = CFS_POINT;
        composition.ptCurrentPos = POINT{caret.left, caret.bottom};
        ImmSetCompositionWindow(context, &composition);
        CANDIDATEFORM candidate = {};
        candidate.dwIndex = 0;
        candidate.dwStyle = CFS_POINT;
        candidate.ptCurrentPos = POINT{caret.left, caret.bottom};
        ImmSetCandidateWindow(context, &candidate);
    }
    ImmReleaseContext(hwnd, context);
}

void CUiWindow::OnImeResult()
{
    HIMC context = ImmGetContext(hwnd);
    if (!context)
        return;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        std::wstring text(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
        ImmGetCompositionStringW(context, GCS_RESULTSTR, &text[0], static_cast<DWORD>(bytes));
        input.focusedControl->OnTextInput(text);
    }
    ImmReleaseContext(hwnd, context);
}

} // namespace UIE

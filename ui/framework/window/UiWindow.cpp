#include "ui/framework/window/UiWindow.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/window/UiControl.h"

#include <dwmapi.h>

#include <memory>

namespace UIE {

namespace {

bool classRegistered = false;

bool RegisterWindowClass(HINSTANCE instance, WORD iconResourceId)
{
    if (classRegistered)
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &CUiWindow::StaticWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = iconResourceId ? LoadIconW(instance, MAKEINTRESOURCEW(iconResourceId)) : nullptr;
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClassName;
    // A failed registration is retried by the next Create.
    classRegistered = RegisterClassExW(&windowClass) != 0;
    return classRegistered;
}

// dwmapi.dll is optional: loaded by name for each use and released again.
class DwmLibrary {
public:
    DwmLibrary() : module(LoadLibraryW(L"dwmapi.dll")) {}
    ~DwmLibrary()
    {
        if (module)
            FreeLibrary(module);
    }
    DwmLibrary(const DwmLibrary&) = delete;
    DwmLibrary& operator=(const DwmLibrary&) = delete;

    template <typename Function>
    Function Find(const char* name) const
    {
        return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    }

private:
    HMODULE module;
};

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using DwmExtendFrameIntoClientAreaFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

} // namespace

POINT CenteredWindowPosition(int screenWidth, int screenHeight, int width, int height)
{
    POINT position{(screenWidth - width) / 2, (screenHeight - height) / 2};
    if (position.x < 0)
        position.x = 0;
    if (position.y < 0)
        position.y = 0;
    return position;
}

CUiWindow::CUiWindow()
{
    // A press moves the focus as Tab does: repainted, accessibility clients told.
    input.setFocus = [this](CUiControl* control) { FocusControl(control); };
}

CUiWindow::~CUiWindow()
{
    if (hwnd)
        DestroyWindow(hwnd);
    ReleaseBackBuffer();
    for (CUiControl* control : rootControls)
        delete control;
    rootControls.clear();
}

void CUiWindow::OnCreate() {}

void CUiWindow::OnSize(int width, int height)
{
    for (CUiControl* control : rootControls)
        control->SetBounds(UiRect{0, 0, width, height});
}

void CUiWindow::OnDestroy() {}

LRESULT CUiWindow::OnMessage(UINT, WPARAM, LPARAM)
{
    return -1;
}

LRESULT CUiWindow::HitTestNonClient(int, int)
{
    return -1;
}

bool CUiWindow::OnEscape()
{
    return false;
}

bool CUiWindow::Create(HINSTANCE moduleInstance)
{
    instance = moduleInstance;
    if (!RegisterWindowClass(instance, iconResourceId))
        return false;

    const int width = DpiScale(logicalSize.cx);
    const int height = DpiScale(logicalSize.cy);
    const POINT position =
        CenteredWindowPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);
    const HWND created = CreateWindowExW(0, kWindowClassName, title.c_str(), WS_OVERLAPPEDWINDOW, position.x,
                                         position.y, width, height, nullptr, nullptr, instance, this);
    // A creation refused after WM_NCCREATE leaves hwnd naming a window that no longer exists.
    if (!created) {
        hwnd = nullptr;
        return false;
    }

    ExtendFrame();
    OnSize(DpiUnscale(width), DpiUnscale(height));
    return true;
}

void CUiWindow::ExtendFrame()
{
    if (!hwnd)
        return;
    // Loaded once for both calls: each load of the library costs the start a little.
    DwmLibrary dwm;
    if (useDwmFrame) {
        auto isCompositionEnabled = dwm.Find<DwmIsCompositionEnabledFn>("DwmIsCompositionEnabled");
        auto extendFrame = dwm.Find<DwmExtendFrameIntoClientAreaFn>("DwmExtendFrameIntoClientArea");
        if (isCompositionEnabled && extendFrame) {
            BOOL enabled = FALSE;
            if (SUCCEEDED(isCompositionEnabled(&enabled)) && enabled) {
                const MARGINS margins{1, 1, 1, 1};
                extendFrame(hwnd, &margins);
            }
        }
    }
    if (auto setAttribute = dwm.Find<DwmSetWindowAttributeFn>("DwmSetWindowAttribute")) {
        const DWORD cornerPreference = 0; // DWMWCP_DEFAULT
        setAttribute(hwnd, 33, &cornerPreference, sizeof(cornerPreference));
    }
}

void CUiWindow::PostTask(UiTask task)
{
    PostTaskTo(hwnd, std::move(task));
}

void CUiWindow::PostTaskTo(HWND target, UiTask task)
{
    if (!target)
        return;
    auto posted = std::make_unique<UiTask>(std::move(task));
    // Once posted, the message owns the task: the window procedure runs and frees it.
    if (PostMessageW(target, kPostedTaskMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
        posted.release();
}

void CUiWindow::Invalidate(const RECT* area)
{
    backBuffer.MarkStale(area);
    if (hwnd)
        InvalidateRect(hwnd, area, FALSE);
}

void CUiWindow::ReleaseBackBuffer()
{
    backBuffer.Release();
}

void CUiWindow::AddRootControl(CUiControl* control)
{
    if (!control)
        return;
    control->SetWindowRecursive(this);
    rootControls.push_back(control);
    if (!hwnd)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    OnSize(DpiUnscale(client.right - client.left), DpiUnscale(client.bottom - client.top));
    Invalidate(nullptr);
    // A control that appears under a resting pointer is hovered without waiting for a move.
    POINT cursor;
    if (GetCursorPos(&cursor)) {
        ScreenToClient(hwnd, &cursor);
        ProcessPointerMove(cursor.x, cursor.y);
    }
}

bool CUiWindow::HasKeyboardFocus() const
{
    return hwnd && GetFocus() == hwnd;
}

HWND CUiWindow::Handle() const
{
    return hwnd;
}

bool CUiWindow::ShowsFocusRing(const CUiControl& control) const
{
    // No ring in a window without the keyboard focus: an inactive window shows none.
    return input.focusedControl == &control && keyboard.focusCuesShown && HasKeyboardFocus();
}

void CUiWindow::NotifyAccessible(DWORD event, const CUiControl* control)
{
    accessibility.Notify(hwnd, rootControls, event, control);
}

void CUiWindow::OnControlsHidden()
{
    ReleaseHiddenFocus(FocusScope());
}

const CAccessibleIds& CUiWindow::AccessibleChildren()
{
    return accessibility.Children(rootControls);
}

std::wstring CUiWindow::AccessibleTitle() const
{
    return title;
}

bool CUiWindow::AccessibleAsDialog() const
{
    return accessibleAsDialog;
}

CUiControl* CUiWindow::FocusedControl() const
{
    return input.focusedControl;
}

CUiControl* CUiWindow::HoveredControl() const
{
    return input.hoveredControl;
}

CUiControl* CUiWindow::DefaultControl() const
{
    return keyboard.defaultControl;
}

void CUiWindow::FocusControl(CUiControl* control)
{
    SetKeyboardFocus(FocusScope(), control);
}

CFocusScope CUiWindow::FocusScope()
{
    return CFocusScope{rootControls, input, keyboard, hwnd, [this] {
                           accessibility.NotifyFocus(hwnd, rootControls, HasKeyboardFocus(), input.focusedControl);
                       }};
}

void SetKeyboardFocus(CUiWindow& window, CUiControl* control)
{
    window.FocusControl(control);
}

CUiControl* CUiWindow::ControlAt(int x, int y, int& localX, int& localY)
{
    return CUiInputDispatch::ControlAt(rootControls, x, y, localX, localY);
}

void CUiWindow::ProcessPointerMove(int x, int y)
{
    input.PointerMove(rootControls, DpiUnscale(x), DpiUnscale(y));
}

void CUiWindow::ProcessPointerLeave()
{
    input.PointerLeave();
}

void CUiWindow::ProcessButtonDown(int x, int y)
{
    input.ButtonDown(rootControls, hwnd, DpiUnscale(x), DpiUnscale(y));
}

void CUiWindow::ProcessButtonUp(int x, int y)
{
    input.ButtonUp(hwnd, DpiUnscale(x), DpiUnscale(y));
}

void CUiWindow::ProcessDoubleClick(int x, int y)
{
    input.DoubleClick(rootControls, DpiUnscale(x), DpiUnscale(y));
}

void CUiWindow::ProcessWheel(int x, int y, int delta)
{
    input.Wheel(rootControls, DpiUnscale(x), DpiUnscale(y), delta);
}

} // namespace UIE

#include "ui/framework/window/KeyboardFocus.h"

#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindow.h"

#include <algorithm>

namespace UIE {

namespace {

void CollectStops(CUiControl* control, std::vector<CUiControl*>& stops)
{
    if (!control->visible || !control->enabled)
        return;
    if (control->TabOrder() >= 0)
        stops.push_back(control);
    for (CUiControl* child : control->children)
        CollectStops(child, stops);
}

void InvalidateFocus(CUiWindow& window)
{
    if (window.focusedControl)
        window.focusedControl->Invalidate();
}

// A shown, enabled tab stop.
bool IsUsableStop(CUiControl* control)
{
    return control && control->TabOrder() >= 0 && control->enabled && control->IsShown();
}

// Ends a key press without pressing: the key went up elsewhere, or the focus moved.
void CancelKeyPress(CUiWindow& window)
{
    CUiControl* pressed = window.keyPressedControl;
    window.keyPressedControl = nullptr;
    window.keyPressedKey = 0;
    if (pressed)
        pressed->ShowKeyPressed(false);
}

// The control Enter or Space acts on: the focused tab stop; for Enter, as in a dialog, the
// default control when no tab stop has the focus.
CUiControl* KeyTarget(CUiWindow& window, WPARAM key)
{
    if (IsUsableStop(window.focusedControl))
        return window.focusedControl;
    if (key == VK_RETURN && IsUsableStop(window.defaultControl))
        return window.defaultControl;
    return nullptr;
}

bool IsRepeat(LPARAM flags)
{
    return (flags & 0x40000000) != 0;
}

} // namespace

std::vector<CUiControl*> TabStops(const CUiWindow& window)
{
    std::vector<CUiControl*> stops;
    for (CUiControl* root : window.rootControls)
        CollectStops(root, stops);
    std::stable_sort(stops.begin(), stops.end(),
                     [](CUiControl* a, CUiControl* b) { return a->TabOrder() < b->TabOrder(); });
    return stops;
}

void SetKeyboardFocus(CUiWindow& window, CUiControl* control)
{
    if (control == window.focusedControl)
        return;
    CancelKeyPress(window);
    CUiControl* old = window.focusedControl;
    if (old) {
        old->OnBlur();
        old->Invalidate();
    }
    window.focusedControl = control;
    if (control) {
        control->OnFocus();
        control->Invalidate();
    }
    window.accessibility.NotifyFocus(window);
}

void MoveKeyboardFocus(CUiWindow& window, bool backwards)
{
    const std::vector<CUiControl*> stops = TabStops(window);
    if (stops.empty())
        return;
    const auto current = std::find(stops.begin(), stops.end(), window.focusedControl);
    const size_t count = stops.size();
    size_t next = 0;
    if (current == stops.end())
        next = backwards ? count - 1 : 0;
    else
        next = (static_cast<size_t>(current - stops.begin()) + (backwards ? count - 1 : 1)) % count;
    SetKeyboardFocus(window, stops[next]);
}

bool HandleNavigationKey(CUiWindow& window, WPARAM key, LPARAM flags)
{
    if (key == VK_TAB) {
        ShowKeyboardCues(window);
        MoveKeyboardFocus(window, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (key == VK_ESCAPE) {
        // As a dialog's cancel button; a hidden one (the removal runs) leaves Escape unused.
        if (!IsUsableStop(window.cancelControl))
            return false;
        if (!IsRepeat(flags))
            window.cancelControl->DoDefaultAction();
        return true;
    }
    if (key != VK_RETURN && key != VK_SPACE)
        return false;
    CUiControl* target = KeyTarget(window, key);
    if (!target)
        return false;
    ShowKeyboardCues(window);
    // A held key presses once: its repeats do nothing.
    if (IsRepeat(flags))
        return true;
    // Both keys press on their release: a key held down must not open a box and then,
    // through its repeats (which reach the box), answer it.
    CancelKeyPress(window);
    window.keyPressedControl = target;
    window.keyPressedKey = key;
    target->ShowKeyPressed(true);
    return true;
}

bool HandleNavigationKeyUp(CUiWindow& window, WPARAM key)
{
    if (!window.keyPressedControl || key != window.keyPressedKey)
        return false;
    CUiControl* pressed = window.keyPressedControl;
    CancelKeyPress(window);
    if (pressed == KeyTarget(window, key))
        pressed->DoDefaultAction();
    return true;
}

void OnWindowFocus(CUiWindow& window, bool gained)
{
    if (!gained) {
        CancelKeyPress(window);
        InvalidateFocus(window);
        return;
    }
    if (!window.focusedControl && IsUsableStop(window.defaultControl)) {
        SetKeyboardFocus(window, window.defaultControl);
        return;
    }
    InvalidateFocus(window);
    window.accessibility.NotifyFocus(window);
}

void ReleaseHiddenFocus(CUiWindow& window)
{
    if (window.keyPressedControl && !window.keyPressedControl->IsShown())
        CancelKeyPress(window);
    if (window.focusedControl && !window.focusedControl->IsShown())
        SetKeyboardFocus(window, nullptr);
}

bool SystemShowsKeyboardCues()
{
    BOOL always = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

void ShowKeyboardCues(CUiWindow& window)
{
    if (window.focusCuesShown || !window.hwnd)
        return;
    // The convention of dialogs: the top-level window clears UISF_HIDEFOCUS and hears of it
    // through WM_UPDATEUISTATE. The flag is also set here: Wine 8 sends no WM_UPDATEUISTATE
    // back for WM_CHANGEUISTATE.
    SendMessageW(window.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    window.focusCuesShown = true;
    InvalidateFocus(window);
}

void OnUpdateUiState(CUiWindow& window, WPARAM wParam)
{
    if (!(HIWORD(wParam) & UISF_HIDEFOCUS))
        return;
    const bool shown = LOWORD(wParam) == UIS_CLEAR;
    if (LOWORD(wParam) != UIS_CLEAR && LOWORD(wParam) != UIS_SET)
        return;
    if (shown == window.focusCuesShown)
        return;
    window.focusCuesShown = shown;
    InvalidateFocus(window);
}

} // namespace UIE

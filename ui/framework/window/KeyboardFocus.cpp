#include "ui/framework/window/KeyboardFocus.h"

#include "ui/framework/window/InputDispatch.h"
#include "ui/framework/window/UiControl.h"

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

void InvalidateFocus(const CFocusScope& scope)
{
    if (scope.input.focusedControl)
        scope.input.focusedControl->Invalidate();
}

// A shown, enabled tab stop.
bool IsUsableStop(CUiControl* control)
{
    return control && control->TabOrder() >= 0 && control->enabled && control->IsShown();
}

// Ends a key press without pressing: the key went up elsewhere, or the focus moved.
void CancelKeyPress(const CFocusScope& scope)
{
    CUiControl* pressed = scope.keys.keyPressedControl;
    scope.keys.keyPressedControl = nullptr;
    scope.keys.keyPressedKey = 0;
    if (pressed)
        pressed->ShowKeyPressed(false);
}

// The control Enter or Space acts on: the focused tab stop; for Enter, as in a dialog, the
// default control when no tab stop has the focus.
CUiControl* KeyTarget(const CFocusScope& scope, WPARAM key)
{
    if (IsUsableStop(scope.input.focusedControl))
        return scope.input.focusedControl;
    if (key == VK_RETURN && IsUsableStop(scope.keys.defaultControl))
        return scope.keys.defaultControl;
    return nullptr;
}

bool IsRepeat(LPARAM flags)
{
    return (flags & 0x40000000) != 0;
}

} // namespace

std::vector<CUiControl*> TabStops(const std::vector<CUiControl*>& roots)
{
    std::vector<CUiControl*> stops;
    for (CUiControl* root : roots)
        CollectStops(root, stops);
    std::stable_sort(stops.begin(), stops.end(),
                     [](CUiControl* a, CUiControl* b) { return a->TabOrder() < b->TabOrder(); });
    return stops;
}

void SetKeyboardFocus(const CFocusScope& scope, CUiControl* control)
{
    if (control == scope.input.focusedControl)
        return;
    CancelKeyPress(scope);
    CUiControl* old = scope.input.focusedControl;
    if (old) {
        old->OnBlur();
        old->Invalidate();
    }
    scope.input.focusedControl = control;
    if (control) {
        control->OnFocus();
        control->Invalidate();
    }
    scope.notifyFocus();
}

void MoveKeyboardFocus(const CFocusScope& scope, bool backwards)
{
    const std::vector<CUiControl*> stops = TabStops(scope.roots);
    if (stops.empty())
        return;
    const auto current = std::find(stops.begin(), stops.end(), scope.input.focusedControl);
    const size_t count = stops.size();
    size_t next = 0;
    if (current == stops.end())
        next = backwards ? count - 1 : 0;
    else
        next = (static_cast<size_t>(current - stops.begin()) + (backwards ? count - 1 : 1)) % count;
    SetKeyboardFocus(scope, stops[next]);
}

bool HandleNavigationKey(const CFocusScope& scope, WPARAM key, LPARAM flags)
{
    if (key == VK_TAB) {
        ShowKeyboardCues(scope);
        MoveKeyboardFocus(scope, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (key == VK_ESCAPE) {
        // As a dialog's cancel button; a hidden one (the removal runs) leaves Escape unused.
        if (!IsUsableStop(scope.keys.cancelControl))
            return false;
        if (!IsRepeat(flags))
            scope.keys.cancelControl->DoDefaultAction();
        return true;
    }
    if (key != VK_RETURN && key != VK_SPACE)
        return false;
    CUiControl* target = KeyTarget(scope, key);
    if (!target)
        return false;
    ShowKeyboardCues(scope);
    // A held key presses once: its repeats do nothing.
    if (IsRepeat(flags))
        return true;
    // Both keys press on their release: a key held down must not open a box and then,
    // through its repeats (which reach the box), answer it.
    CancelKeyPress(scope);
    scope.keys.keyPressedControl = target;
    scope.keys.keyPressedKey = key;
    target->ShowKeyPressed(true);
    return true;
}

bool HandleNavigationKeyUp(const CFocusScope& scope, WPARAM key)
{
    if (!scope.keys.keyPressedControl || key != scope.keys.keyPressedKey)
        return false;
    CUiControl* pressed = scope.keys.keyPressedControl;
    CancelKeyPress(scope);
    if (pressed == KeyTarget(scope, key))
        pressed->DoDefaultAction();
    return true;
}

void OnWindowFocus(const CFocusScope& scope, bool gained)
{
    if (!gained) {
        CancelKeyPress(scope);
        InvalidateFocus(scope);
        return;
    }
    if (!scope.input.focusedControl && IsUsableStop(scope.keys.defaultControl)) {
        SetKeyboardFocus(scope, scope.keys.defaultControl);
        return;
    }
    InvalidateFocus(scope);
    scope.notifyFocus();
}

void ReleaseHiddenFocus(const CFocusScope& scope)
{
    if (scope.keys.keyPressedControl && !scope.keys.keyPressedControl->IsShown())
        CancelKeyPress(scope);
    if (scope.input.focusedControl && !scope.input.focusedControl->IsShown())
        SetKeyboardFocus(scope, nullptr);
}

bool SystemShowsKeyboardCues()
{
    BOOL always = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

void ShowKeyboardCues(const CFocusScope& scope)
{
    if (scope.keys.focusCuesShown || !scope.hwnd)
        return;
    // The convention of dialogs: the top-level window clears UISF_HIDEFOCUS and hears of it
    // through WM_UPDATEUISTATE. The flag is also set here: Wine 8 sends no WM_UPDATEUISTATE
    // back for WM_CHANGEUISTATE.
    SendMessageW(scope.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    scope.keys.focusCuesShown = true;
    InvalidateFocus(scope);
}

void OnUpdateUiState(const CFocusScope& scope, WPARAM wParam)
{
    if (!(HIWORD(wParam) & UISF_HIDEFOCUS))
        return;
    const bool shown = LOWORD(wParam) == UIS_CLEAR;
    if (LOWORD(wParam) != UIS_CLEAR && LOWORD(wParam) != UIS_SET)
        return;
    if (shown == scope.keys.focusCuesShown)
        return;
    scope.keys.focusCuesShown = shown;
    InvalidateFocus(scope);
}

} // namespace UIE

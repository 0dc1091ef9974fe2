#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace UIE {

class CUiControl;
class CUiInputDispatch;

// The window's keyboard state beside the focused control, which its input state keeps.
struct CKeyboardState {
    // Keyboard cues (the focus ring) shown: after keyboard use, or as WM_UPDATEUISTATE says.
    bool focusCuesShown = false;
    // The button Enter presses when no button has the focus, and the one that takes the
    // focus when the window gets it without a focused control; not owned.
    CUiControl* defaultControl = nullptr;
    // The button Escape presses, as a dialog's cancel button; nothing while it is hidden.
    CUiControl* cancelControl = nullptr;
    // The control a held Enter or Space keeps down until the key's release, and that key;
    // not owned.
    CUiControl* keyPressedControl = nullptr;
    WPARAM keyPressedKey = 0;
};

// What the focus rules work on, as the window hands it to them for one call: its root
// controls, its input state (the focused control), its keyboard state, its handle (null
// before it is made) and how accessibility clients hear of the focus.
struct CFocusScope {
    const std::vector<CUiControl*>& roots;
    CUiInputDispatch& input;
    CKeyboardState& keys;
    HWND hwnd;
    std::function<void()> notifyFocus;
};

// The shown, enabled tab stops of the window in Tab order.
std::vector<CUiControl*> TabStops(const std::vector<CUiControl*>& roots);
// Moves the keyboard focus (null: none): OnBlur on the old control, OnFocus on the new one,
// both repainted, accessibility clients told while the window has the system's focus.
void SetKeyboardFocus(const CFocusScope& scope, CUiControl* control);
// Next (or previous) tab stop, wrapping; without a focused stop the first (or last) one.
void MoveKeyboardFocus(const CFocusScope& scope, bool backwards);
// WM_KEYDOWN: Tab and Shift+Tab move the focus; Escape presses the cancel control; Enter
// (on the focused tab stop, else the default control) and Space (on the focused tab stop)
// only hold it down. Auto-repeat presses nothing. True when the key was used.
bool HandleNavigationKey(const CFocusScope& scope, WPARAM key, LPARAM flags);
// WM_KEYUP: the release of an Enter or Space whose press the window saw presses the
// control it held down, if the key would still choose that control. True when the key
// was used.
bool HandleNavigationKeyUp(const CFocusScope& scope, WPARAM key);
// WM_SETFOCUS and WM_KILLFOCUS: the focus ring follows the window's focus, clients hear
// of the focused control again, and a window without a focused control gives it to its
// default control, as a dialog does.
void OnWindowFocus(const CFocusScope& scope, bool gained);
// A control that is no longer shown keeps neither the focus nor a key press.
void ReleaseHiddenFocus(const CFocusScope& scope);
// Whether the user asked for keyboard cues at all times (SPI_GETKEYBOARDCUES).
bool SystemShowsKeyboardCues();
// The keyboard was used: focus cues from now on.
void ShowKeyboardCues(const CFocusScope& scope);
// WM_UPDATEUISTATE: follows UISF_HIDEFOCUS.
void OnUpdateUiState(const CFocusScope& scope, WPARAM wParam);

} // namespace UIE

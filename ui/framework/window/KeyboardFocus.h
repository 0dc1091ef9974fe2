#pragma once
#include <windows.h>

#include <vector>

namespace UIE {

class CUiControl;
class CUiWindow;

// The shown, enabled tab stops of the window in Tab order.
std::vector<CUiControl*> TabStops(const CUiWindow& window);
// Moves the keyboard focus (null: none): OnBlur on the old control, OnFocus on the new one,
// both repainted, accessibility clients told while the window has the system's focus.
void SetKeyboardFocus(CUiWindow& window, CUiControl* control);
// Next (or previous) tab stop, wrapping; without a focused stop the first (or last) one.
void MoveKeyboardFocus(CUiWindow& window, bool backwards);
// WM_KEYDOWN: Tab and Shift+Tab move the focus; Escape presses the cancel control; Enter
// (on the focused tab stop, else the default control) and Space (on the focused tab stop)
// only hold it down. Auto-repeat presses nothing. True when the key was used.
bool HandleNavigationKey(CUiWindow& window, WPARAM key, LPARAM flags);
// WM_KEYUP: the release of an Enter or Space whose press the window saw presses the
// control it held down, if the key would still choose that control. True when the key
// was used.
bool HandleNavigationKeyUp(CUiWindow& window, WPARAM key);
// WM_SETFOCUS and WM_KILLFOCUS: the focus ring follows the window's focus, clients hear
// of the focused control again, and a window without a focused control gives it to its
// default control, as a dialog does.
void OnWindowFocus(CUiWindow& window, bool gained);
// A control that is no longer shown keeps neither the focus nor a key press.
void ReleaseHiddenFocus(CUiWindow& window);
// Whether the user asked for keyboard cues at all times (SPI_GETKEYBOARDCUES).
bool SystemShowsKeyboardCues();
// The keyboard was used: focus cues from now on.
void ShowKeyboardCues(CUiWindow& window);
// WM_UPDATEUISTATE: follows UISF_HIDEFOCUS.
void OnUpdateUiState(CUiWindow& window, WPARAM wParam);

} // namespace UIE

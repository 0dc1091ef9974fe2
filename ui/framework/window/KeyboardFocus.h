#pragma once
#include <windows.h>

#include <vector>

namespace UIE {

class CUiControl;
class CUiWindow;

// The shown, enabled tab stops of the window in Tab order.
std::vector<CUiControl*> TabStops(const CUiWindow& window);
// Moves the keyboard focus (null: none): OnBlur on the old control, OnFocus on the new one,
// both repainted, accessibility clients told.
void SetKeyboardFocus(CUiWindow& window, CUiControl* control);
// Next (or previous) tab stop, wrapping; without a focused stop the first (or last) one.
void MoveKeyboardFocus(CUiWindow& window, bool backwards);
// Tab, Shift+Tab, and Enter or Space on the focused tab stop; true when the key was used.
bool HandleNavigationKey(CUiWindow& window, WPARAM key, LPARAM flags);
// The keyboard was used: focus cues from now on.
void ShowKeyboardCues(CUiWindow& window);
// WM_UPDATEUISTATE: follows UISF_HIDEFOCUS.
void OnUpdateUiState(CUiWindow& window, WPARAM wParam);

} // namespace UIE

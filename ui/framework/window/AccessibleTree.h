#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace UIE {

class CUiControl;
class CUiWindow;

// What a client was last told about one child of the window's accessible object.
struct AccessibleEntry {
    CUiControl* control = nullptr;
    std::wstring name;
    std::wstring value;
};

struct AccessibleEvent {
    DWORD event = 0;
    LONG childId = 0; // CHILDID_SELF (0) for the client object itself
};

// The shown controls with an accessible role, in drawing order: child id n is element n - 1.
std::vector<CUiControl*> AccessibleChildren(const CUiWindow& window);
// Child id of a control, or 0 when it is not a child now.
LONG AccessibleChildId(const CUiWindow& window, const CUiControl* control);
std::vector<AccessibleEntry> AccessibleState(const CUiWindow& window);
// Events that take a client from before to after: HIDE with the old child ids, SHOW with
// the new ones and a REORDER of the client when the set of children changed; NAMECHANGE and
// VALUECHANGE for children in both.
std::vector<AccessibleEvent> AccessibleChanges(const std::vector<AccessibleEntry>& before,
                                               const std::vector<AccessibleEntry>& after);
// A control's rectangle on the screen, device pixels.
RECT AccessibleScreenRect(const CUiWindow& window, const CUiControl& control);

} // namespace UIE

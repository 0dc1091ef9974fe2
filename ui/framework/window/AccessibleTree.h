#pragma once
#include <windows.h>

#include <vector>

namespace UIE {

class CUiControl;

// The children of a window's accessible object: every control with an accessible role,
// shown or hidden, numbered from 1 in tree order when first seen. Clients (and the
// UI Automation proxy) know a simple element by its child id alone, so an id names the same
// control for the window's life; a hidden control stays a child and says it is invisible.
class CAccessibleIds {
public:
    // Numbers the controls that have gained a role since (a root added late, a label that
    // got its text); the ones numbered keep their ids.
    void Update(const std::vector<CUiControl*>& roots);
    // 0 when the control is not a child.
    LONG IdOf(const CUiControl* control) const;
    // Null when no child has the id.
    CUiControl* ControlOf(LONG id) const;
    LONG Count() const;
    // The window is gone, and its controls with it.
    void Clear();

private:
    std::vector<CUiControl*> controls;
};

// Whether clients see the child: shown with its ancestors and with a role now.
bool AccessiblyShown(CUiControl& control);
// The shown child at a screen point, the one drawn last where children overlap;
// CHILDID_SELF when there is none.
LONG AccessibleIdAt(const CAccessibleIds& ids, HWND window, POINT screenPoint);
// A control's rectangle on the screen, device pixels; window is null before it is made.
RECT AccessibleScreenRect(HWND window, const CUiControl& control);

} // namespace UIE

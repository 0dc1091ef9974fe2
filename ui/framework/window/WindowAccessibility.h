#pragma once
#include "ui/framework/window/AccessibleTree.h"

#include <windows.h>

#include <vector>

namespace UIE {

class CAccessibleClient;
class CUiControl;
class IAccessibleWindow;

// The window's side of MSAA: hands out the client object, numbers its children and tells
// clients what changed. Events are raised by the code that makes the change, once each;
// answering a client (WM_GETOBJECT) raises none, so a reader that asks for the object from
// inside its event hook hears nothing twice. Of the window the calls take its handle (null
// before it is made) and its root controls.
class CWindowAccessibility {
public:
    CWindowAccessibility() = default;
    ~CWindowAccessibility();
    CWindowAccessibility(const CWindowAccessibility&) = delete;
    CWindowAccessibility& operator=(const CWindowAccessibility&) = delete;

    // WM_GETOBJECT: true with the result for OBJID_CLIENT, false for other objects.
    bool OnGetObject(IAccessibleWindow& window, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The children with their fixed ids, brought up to date.
    const CAccessibleIds& Children(const std::vector<CUiControl*>& roots);
    // Tells clients of event on control (null: the client object itself). Nothing is told
    // of a control that is no child, or while the window is hidden.
    void Notify(HWND window, const std::vector<CUiControl*>& roots, DWORD event, const CUiControl* control);
    // The focus event for focused (the client without one), raised only while the window
    // has the keyboard focus: the focus a reader follows is the system's.
    void NotifyFocus(HWND window, const std::vector<CUiControl*>& roots, bool windowFocused,
                     const CUiControl* focused);
    // WM_DESTROY: the object handed out answers CO_E_OBJNOTCONNECTED from now on.
    void Disconnect();

private:
    CAccessibleClient* client = nullptr; // one reference held
    bool comStarted = false;
    CAccessibleIds ids;
};

} // namespace UIE

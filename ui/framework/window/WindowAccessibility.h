#pragma once
#include "ui/framework/window/AccessibleTree.h"

#include <windows.h>

#include <vector>

namespace UIE {

class CAccessibleClient;
class CUiWindow;

// The window's side of MSAA: hands out the client object and tells clients what changed.
class CWindowAccessibility {
public:
    CWindowAccessibility() = default;
    ~CWindowAccessibility();
    CWindowAccessibility(const CWindowAccessibility&) = delete;
    CWindowAccessibility& operator=(const CWindowAccessibility&) = delete;

    // WM_GETOBJECT: true with the result for OBJID_CLIENT, false for other objects.
    bool OnGetObject(CUiWindow& window, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After each message: events for the children shown, hidden, renamed or changed in value
    // since the last call. A hidden window only records the state.
    void NotifyChanges(CUiWindow& window);
    // The keyboard focus moved to the window's focused control.
    void NotifyFocus(CUiWindow& window);
    // WM_DESTROY: the object handed out answers CO_E_OBJNOTCONNECTED from now on.
    void Disconnect();

private:
    CAccessibleClient* client = nullptr; // one reference held
    bool comStarted = false;
    std::vector<AccessibleEntry> told;
};

} // namespace UIE

#include "ui/framework/window/WindowAccessibility.h"

#include "ui/framework/window/AccessibleClient.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindow.h"

#include <oleacc.h>

namespace UIE {

CWindowAccessibility::~CWindowAccessibility()
{
    Disconnect();
}

bool CWindowAccessibility::OnGetObject(CUiWindow& window, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !window.hwnd)
        return false;
    if (!client) {
        // Clients in other processes reach the object through COM on this thread.
        comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        client = new CAccessibleClient(&window);
    }
    result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(client));
    return true;
}

void CWindowAccessibility::NotifyChanges(CUiWindow& window)
{
    if (!window.hwnd)
        return;
    std::vector<AccessibleEntry> now = AccessibleState(window);
    if (window.focusedControl && !window.focusedControl->IsShown())
        SetKeyboardFocus(window, nullptr);
    if (IsWindowVisible(window.hwnd)) {
        for (const AccessibleEvent& change : AccessibleChanges(told, now))
            NotifyWinEvent(change.event, window.hwnd, OBJID_CLIENT, change.childId);
    }
    told = std::move(now);
}

void CWindowAccessibility::NotifyFocus(CUiWindow& window)
{
    if (!window.hwnd || !IsWindowVisible(window.hwnd))
        return;
    const LONG id = AccessibleChildId(window, window.focusedControl);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window.hwnd, OBJID_CLIENT, id ? id : CHILDID_SELF);
}

void CWindowAccessibility::Disconnect()
{
    if (client) {
        client->Disconnect();
        CoDisconnectObject(static_cast<IAccessible*>(client), 0);
        client->Release();
        client = nullptr;
    }
    if (comStarted) {
        CoUninitialize();
        comStarted = false;
    }
    told.clear();
}

} // namespace UIE

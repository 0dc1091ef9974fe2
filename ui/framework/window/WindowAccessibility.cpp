#include "ui/framework/window/WindowAccessibility.h"

#include "ui/framework/window/AccessibleClient.h"
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

const CAccessibleIds& CWindowAccessibility::Children(const CUiWindow& window)
{
    ids.Update(window);
    return ids;
}

void CWindowAccessibility::Notify(CUiWindow& window, DWORD event, const CUiControl* control)
{
    if (!window.hwnd || !IsWindowVisible(window.hwnd))
        return;
    LONG id = CHILDID_SELF;
    if (control) {
        id = Children(window).IdOf(control);
        if (!id)
            return;
    }
    NotifyWinEvent(event, window.hwnd, OBJID_CLIENT, id);
}

void CWindowAccessibility::NotifyFocus(CUiWindow& window)
{
    if (!window.HasKeyboardFocus())
        return;
    CUiControl* focused = window.focusedControl;
    Notify(window, EVENT_OBJECT_FOCUS, focused && Children(window).IdOf(focused) ? focused : nullptr);
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
    ids.Clear();
}

} // namespace UIE

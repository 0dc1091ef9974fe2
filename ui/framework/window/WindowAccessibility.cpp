#include "ui/framework/window/WindowAccessibility.h"

#include "ui/framework/window/AccessibleClient.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindowHost.h"

#include <oleacc.h>

namespace UIE {

CWindowAccessibility::~CWindowAccessibility()
{
    Disconnect();
}

bool CWindowAccessibility::OnGetObject(IAccessibleWindow& window, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !window.Handle())
        return false;
    if (!client) {
        // Clients in other processes reach the object through COM on this thread.
        comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        client = new CAccessibleClient(&window);
    }
    result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(client));
    return true;
}

const CAccessibleIds& CWindowAccessibility::Children(const std::vector<CUiControl*>& roots)
{
    ids.Update(roots);
    return ids;
}

void CWindowAccessibility::Notify(HWND window, const std::vector<CUiControl*>& roots, DWORD event,
                                  const CUiControl* control)
{
    if (!window || !IsWindowVisible(window))
        return;
    LONG id = CHILDID_SELF;
    if (control) {
        id = Children(roots).IdOf(control);
        if (!id)
            return;
    }
    NotifyWinEvent(event, window, OBJID_CLIENT, id);
}

void CWindowAccessibility::NotifyFocus(HWND window, const std::vector<CUiControl*>& roots, bool windowFocused,
                                       const CUiControl* focused)
{
    if (!windowFocused)
        return;
    Notify(window, roots, EVENT_OBJECT_FOCUS, focused && Children(roots).IdOf(focused) ? focused : nullptr);
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

#include "ui/framework/window/AccessibleClient.h"

#include "ui/framework/window/AccessibleTree.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindowHost.h"

#include <string>

namespace UIE {

namespace {

HRESULT ReturnText(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Shown, enabled, and in a window that no modal box has disabled.
bool CanTakeAction(CUiControl& control)
{
    const HWND window = control.window ? control.window->Handle() : nullptr;
    return window && IsWindowEnabled(window) && control.enabled && AccessiblyShown(control);
}

void SetChildId(VARIANT* out, LONG id)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = id;
}

// Whether accSelect's flags ask for the keyboard focus and nothing this object cannot do.
bool AsksForFocusOnly(LONG flags)
{
    return flags == SELFLAG_TAKEFOCUS || flags == (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION);
}

} // namespace

CAccessibleClient::CAccessibleClient(IAccessibleWindow* owner) : window(owner) {}

void CAccessibleClient::Disconnect()
{
    window = nullptr;
}

HRESULT CAccessibleClient::Resolve(const VARIANT& child, CUiControl*& control, bool needsHandle) const
{
    control = nullptr;
    if (!window || (needsHandle && !window->Handle()))
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF)
        return S_OK;
    control = window->AccessibleChildren().ControlOf(child.lVal);
    return control ? S_OK : E_INVALIDARG;
}

HRESULT CAccessibleClient::ResolveInto(const VARIANT& child, VARIANT* out, CUiControl*& control) const
{
    control = nullptr;
    if (!out)
        return E_POINTER;
    VariantInit(out);
    return Resolve(child, control);
}

HRESULT CAccessibleClient::ReturnChildText(const VARIANT& child, BSTR* out, std::wstring (CUiControl::*property)(),
                                           std::wstring (IAccessibleWindow::*selfText)() const) const
{
    if (out)
        *out = nullptr;
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control);
    if (FAILED(valid))
        return valid;
    if (control)
        return ReturnText((control->*property)(), out);
    return ReturnText(selfText ? (window->*selfText)() : std::wstring(), out);
}

HRESULT CAccessibleClient::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CAccessibleClient::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references));
}

ULONG CAccessibleClient::Release()
{
    const LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CAccessibleClient::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CAccessibleClient::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CAccessibleClient::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleClient::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleClient::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!window || !window->Handle())
        return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(window->Handle(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT CAccessibleClient::get_accChildCount(LONG* count)
{
    if (!count)
        return E_POINTER;
    if (!window)
        return CO_E_OBJNOTCONNECTED;
    *count = window->AccessibleChildren().Count();
    return S_OK;
}

HRESULT CAccessibleClient::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control);
    if (FAILED(valid))
        return valid;
    return control ? S_FALSE : E_INVALIDARG; // a simple element: the parent answers for it
}

HRESULT CAccessibleClient::get_accName(VARIANT child, BSTR* name)
{
    return ReturnChildText(child, name, &CUiControl::AccessibleName, &IAccessibleWindow::AccessibleTitle);
}

HRESULT CAccessibleClient::get_accValue(VARIANT child, BSTR* value)
{
    return ReturnChildText(child, value, &CUiControl::AccessibleValue);
}

HRESULT CAccessibleClient::get_accDescription(VARIANT child, BSTR* description)
{
    return ReturnChildText(child, description, &CUiControl::AccessibleDescription);
}

HRESULT CAccessibleClient::get_accRole(VARIANT child, VARIANT* role)
{
    CUiControl* control = nullptr;
    const HRESULT valid = ResolveInto(child, role, control);
    if (FAILED(valid))
        return valid;
    // Readers read a dialog's static text when it opens; a client area they leave silent.
    const DWORD selfRole = window->AccessibleAsDialog() ? ROLE_SYSTEM_DIALOG : ROLE_SYSTEM_CLIENT;
    SetChildId(role, static_cast<LONG>(control ? control->AccessibleRole() : selfRole));
    return S_OK;
}

HRESULT CAccessibleClient::get_accState(VARIANT child, VARIANT* state)
{
    CUiControl* control = nullptr;
    const HRESULT valid = ResolveInto(child, state, control);
    if (FAILED(valid))
        return valid;
    const bool windowFocused = window->HasKeyboardFocus();
    // A modal box owned by the window disables it: nothing in it can be used meanwhile.
    const bool windowEnabled = window->Handle() && IsWindowEnabled(window->Handle());
    LONG flags = 0;
    if (!control) {
        flags = STATE_SYSTEM_FOCUSABLE;
        if (windowFocused && !window->FocusedControl())
            flags |= STATE_SYSTEM_FOCUSED;
        if (!window->Handle() || !IsWindowVisible(window->Handle()))
            flags |= STATE_SYSTEM_INVISIBLE;
        if (!windowEnabled)
            flags |= STATE_SYSTEM_UNAVAILABLE;
    } else {
        flags = control->TabOrder() >= 0 ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_READONLY;
        if (windowFocused && control == window->FocusedControl())
            flags |= STATE_SYSTEM_FOCUSED;
        if (control == window->HoveredControl())
            flags |= STATE_SYSTEM_HOTTRACKED;
        if (!control->enabled || !windowEnabled)
            flags |= STATE_SYSTEM_UNAVAILABLE;
        if (!AccessiblyShown(*control))
            flags |= STATE_SYSTEM_INVISIBLE;
        if (control == window->DefaultControl())
            flags |= STATE_SYSTEM_DEFAULT;
    }
    SetChildId(state, flags);
    return S_OK;
}

HRESULT CAccessibleClient::NoText(const VARIANT& child, BSTR* out) const
{
    if (out)
        *out = nullptr;
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control);
    return FAILED(valid) ? valid : S_FALSE;
}

HRESULT CAccessibleClient::get_accHelp(VARIANT child, BSTR* help)
{
    return NoText(child, help);
}

HRESULT CAccessibleClient::get_accHelpTopic(BSTR* helpFile, VARIANT, LONG* topic)
{
    if (helpFile)
        *helpFile = nullptr;
    if (topic)
        *topic = -1;
    return window ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleClient::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return NoText(child, shortcut);
}

HRESULT CAccessibleClient::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!window)
        return CO_E_OBJNOTCONNECTED;
    if (!window->HasKeyboardFocus())
        return S_FALSE;
    SetChildId(child, window->AccessibleChildren().IdOf(window->FocusedControl()));
    return S_OK;
}

HRESULT CAccessibleClient::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    VariantInit(children);
    return window ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleClient::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return ReturnChildText(child, action, &CUiControl::AccessibleDefaultAction);
}

HRESULT CAccessibleClient::accSelect(LONG flags, VARIANT child)
{
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control);
    if (FAILED(valid))
        return valid;
    // Nothing here can be selected: taking the selection too still means the focus, as
    // clients that click through a list ask for both.
    if (!AsksForFocusOnly(flags) || !control || !CanTakeAction(*control))
        return DISP_E_MEMBERNOTFOUND;
    if (control->TabOrder() < 0)
        return DISP_E_MEMBERNOTFOUND;
    window->FocusControl(control);
    // The focus a reader follows is the system's: the window takes it too, and its
    // WM_SETFOCUS tells clients of the control.
    if (!window->HasKeyboardFocus())
        SetFocus(window->Handle());
    return S_OK;
}

HRESULT CAccessibleClient::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control, true);
    if (FAILED(valid))
        return valid;
    RECT rect{};
    if (control) {
        rect = AccessibleScreenRect(window->Handle(), *control);
    } else {
        GetClientRect(window->Handle(), &rect);
        MapWindowPoints(window->Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT CAccessibleClient::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    CUiControl* control = nullptr;
    const HRESULT valid = ResolveInto(start, end, control);
    if (FAILED(valid))
        return valid;
    // Among the shown children only: a reader walking the window lands on nothing hidden.
    const CAccessibleIds& ids = window->AccessibleChildren();
    LONG from = 0;
    LONG step = 0;
    if (!control && direction == NAVDIR_FIRSTCHILD) {
        from = 1;
        step = 1;
    } else if (!control && direction == NAVDIR_LASTCHILD) {
        from = ids.Count();
        step = -1;
    } else if (control && (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)) {
        step = direction == NAVDIR_NEXT ? 1 : -1;
        from = start.lVal + step;
    }
    for (LONG id = from; step != 0 && id >= 1 && id <= ids.Count(); id += step) {
        if (AccessiblyShown(*ids.ControlOf(id))) {
            SetChildId(end, id);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT CAccessibleClient::accHitTest(LONG x, LONG y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!window || !window->Handle())
        return CO_E_OBJNOTCONNECTED;
    const POINT point{x, y};
    RECT client{};
    GetClientRect(window->Handle(), &client);
    MapWindowPoints(window->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (!PtInRect(&client, point))
        return S_FALSE;
    // Later controls are drawn over earlier ones.
    SetChildId(child, AccessibleIdAt(window->AccessibleChildren(), window->Handle(), point));
    return S_OK;
}

HRESULT CAccessibleClient::accDoDefaultAction(VARIANT child)
{
    CUiControl* control = nullptr;
    const HRESULT valid = Resolve(child, control, true);
    if (FAILED(valid))
        return valid;
    if (!control || control->AccessibleDefaultAction().empty() || !CanTakeAction(*control))
        return DISP_E_MEMBERNOTFOUND;
    // The click may open a modal box; the caller, maybe a screen reader in another process,
    // must not wait for the user to answer it. The window runs it next, as a click; controls
    // live as long as the window's handle, and a task left queued is dropped with it. A box
    // may have opened meanwhile, and its message loop runs the task: it asks again.
    window->PostTask([control] {
        if (CanTakeAction(*control))
            control->DoDefaultAction();
    });
    return S_OK;
}

HRESULT CAccessibleClient::put_accName(VARIANT, BSTR)
{
    return window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleClient::put_accValue(VARIANT, BSTR)
{
    return window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

} // namespace UIE

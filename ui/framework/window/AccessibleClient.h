#pragma once
#include "ui/framework/window/UiWindowHost.h"

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace UIE {

class CUiControl;

// The MSAA object of a window's client area. Its children are simple elements, child id n
// being the n-th shown control with an accessible role in drawing order; each property maps
// the id to the control. After Disconnect every call answers CO_E_OBJNOTCONNECTED.
class CAccessibleClient : public IAccessible {
public:
    explicit CAccessibleClient(IAccessibleWindow* window);
    CAccessibleClient(const CAccessibleClient&) = delete;
    CAccessibleClient& operator=(const CAccessibleClient&) = delete;

    void Disconnect();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    virtual ~CAccessibleClient() = default;
    // The element a child id names, as every property call starts: CO_E_OBJNOTCONNECTED once
    // disconnected (or, with needsHandle, while the window has no handle), E_INVALIDARG for an
    // id that names no child now; control is null for the client itself.
    HRESULT Resolve(const VARIANT& child, CUiControl*& control, bool needsHandle = false) const;
    // Resolve for a call answering in a VARIANT: E_POINTER without one, else cleared first.
    HRESULT ResolveInto(const VARIANT& child, VARIANT* out, CUiControl*& control) const;
    // A property without text here: S_FALSE for a valid child.
    HRESULT NoText(const VARIANT& child, BSTR* out) const;
    // A text property: property's value for a control, selfText's for the client itself
    // (none without it).
    HRESULT ReturnChildText(const VARIANT& child, BSTR* out, std::wstring (CUiControl::*property)(),
                            std::wstring (IAccessibleWindow::*selfText)() const = nullptr) const;

    LONG references = 1;
    IAccessibleWindow* window; // null once disconnected
};

} // namespace UIE

#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace UIE {

class CAccessibleIds;
class CUiControl;

// What a control asks of the window that holds it; the window implements it.
class IUiWindowHost {
public:
    // Null before the window is made and once it is gone.
    virtual HWND Handle() const = 0;
    // Marks area (client device pixels; null: the whole client) stale and asks for its paint.
    virtual void Invalidate(const RECT* area) = 0;
    // Whether the window has the system's keyboard focus.
    virtual bool HasKeyboardFocus() const = 0;
    // Whether control draws the focus ring: focused, cues shown, the window focused.
    virtual bool ShowsFocusRing(const CUiControl& control) const = 0;
    // Tells accessibility clients of event on control (null: the client object itself).
    virtual void NotifyAccessible(DWORD event, const CUiControl* control) = 0;
    // Controls went out of sight: the focus and a held key leave them.
    virtual void OnControlsHidden() = 0;

protected:
    ~IUiWindowHost() = default;
};

// What the window's accessible object reads of the window and asks of it.
class IAccessibleWindow : public IUiWindowHost {
public:
    virtual const CAccessibleIds& AccessibleChildren() = 0;
    // The name of the client object: the window's title.
    virtual std::wstring AccessibleTitle() const = 0;
    virtual bool AccessibleAsDialog() const = 0;
    virtual CUiControl* FocusedControl() const = 0;
    virtual CUiControl* HoveredControl() const = 0;
    virtual CUiControl* DefaultControl() const = 0;
    // Moves the keyboard focus as Tab would.
    virtual void FocusControl(CUiControl* control) = 0;
    // Runs task on the window thread later.
    virtual void PostTask(std::function<void()> task) = 0;

protected:
    ~IAccessibleWindow() = default;
};

} // namespace UIE

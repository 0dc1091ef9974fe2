#pragma once
#include "ui/framework/base/UiRect.h"
#include "ui/framework/window/UiWindowHost.h"

#include <windows.h>

#include <string>
#include <vector>

namespace UIE {

class CUiPaintContext;

// Base of every element drawn inside a framework window. Coordinates are logical
// pixels relative to the parent; a control owns its children.
class CUiControl {
public:
    CUiControl() = default;
    CUiControl(const CUiControl&) = delete;
    CUiControl& operator=(const CUiControl&) = delete;

    virtual ~CUiControl();
    // Desired size; nothing in the uninstaller asks for it.
    virtual SIZE Measure(int widthHint);
    // Stores the rectangle, then lays out the children.
    virtual void SetBounds(const UiRect& bounds);
    virtual void Paint(CUiPaintContext& context);
    // Drawn after the children.
    virtual void PaintOverlay(CUiPaintContext& context);
    virtual void OnMouseEnter();
    virtual void OnMouseMove(int x, int y);
    virtual void OnMouseLeave();
    virtual void OnMouseDown(int x, int y);
    virtual void OnMouseUp(int x, int y);
    virtual void OnDoubleClick(int x, int y);
    // True when the wheel turn was used.
    virtual bool OnMouseWheel(int delta);
    virtual bool WantsHandCursor();
    virtual bool WantsTextCursor();
    // Whether a press below this control makes it the press target.
    virtual bool IsPressable();
    virtual bool CanFocus();
    virtual void OnFocus();
    virtual void OnBlur();
    virtual void OnChar(WPARAM character);
    virtual void OnKeyDown(WPARAM virtualKey);
    virtual void OnTextInput(const std::wstring& text);
    virtual void OnTimer(UINT_PTR timerId);
    // Caret rectangle in client device pixels, for IME placement.
    virtual bool GetCaretRect(RECT& caret);
    virtual bool InterceptMouseDown(CUiControl* pressed, int x, int y, int pressedX, int pressedY);
    virtual bool BlocksHover(int x, int y);
    virtual void OnHoverWithin(bool inside);
    virtual bool WantsHoverWithin();
    // Children keep the rectangles their owner gave them.
    virtual void Layout();
    // How far painting may spill over the control's rectangle, in device pixels.
    virtual int GetClipMargin();
    // How the control shows itself to accessibility clients (MSAA); role 0 keeps it out
    // of the tree, as decoration.
    virtual DWORD AccessibleRole();
    virtual std::wstring AccessibleName();
    virtual std::wstring AccessibleValue();
    // The describedBy control's name: what a reader adds after the name and role.
    virtual std::wstring AccessibleDescription();
    // Name of the default action, empty when there is none.
    virtual std::wstring AccessibleDefaultAction();
    // Runs the default action as a click would; false when there is none.
    virtual bool DoDefaultAction();
    // Position in the keyboard's Tab order (lower first, ties in tree order); -1: not a tab stop.
    virtual int TabOrder();
    // The pressed look while a key (Space) holds the focused control down; none by default.
    virtual void ShowKeyPressed(bool pressed);

    // Takes ownership; sets parent and window on the whole subtree.
    void AddChild(CUiControl* child);
    // Marks the control's device rectangle stale in its window and asks for its repaint:
    // every change to what the control shows must come with this call.
    void Invalidate();
    // Position relative to the window's client area, logical pixels.
    POINT GetAbsolutePosition() const;
    // Rectangle relative to the parent in device pixels, scaled edge by edge.
    UiRect GetDeviceRect() const;
    // Deepest visible, enabled, hit-testable control at a point relative to the parent.
    CUiControl* HitTest(int px, int py);
    // Sets the owning window on this control and every descendant.
    void SetWindowRecursive(IUiWindowHost* owner);
    // Visible together with every ancestor.
    bool IsShown() const;
    // Shows or hides the control: accessibility clients hear of every child that comes or
    // goes, and a control that goes gives up the keyboard focus. The caller invalidates.
    void SetVisible(bool shown);
    // Tells the window's accessibility clients of event on this control.
    void NotifyAccessible(DWORD event);

    CUiControl* parent = nullptr;
    IUiWindowHost* window = nullptr;
    std::vector<CUiControl*> children; // owned
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool enabled = true;
    bool mouseTransparent = false; // never hit itself; its children still are
    CUiControl* describedBy = nullptr; // not owned; the text that describes this control
};

// Gives control its rectangle (logical, relative to parent), makes it parent's child
// and returns it.
template <typename Control>
Control* PlaceChild(CUiControl* parent, Control* control, const UiRect& bounds)
{
    control->SetBounds(bounds);
    parent->AddChild(control);
    return control;
}

// The first of control and its ancestors, nearest first, for which test is true; null
// when none is.
template <typename Test>
CUiControl* FindSelfOrAncestor(CUiControl* control, Test test)
{
    for (; control; control = control->parent)
        if (test(control))
            return control;
    return nullptr;
}

} // namespace UIE

#include "ui/framework/window/UiControl.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/AccessibleTree.h"

#include <oleacc.h>

namespace UIE {

namespace {

// The children clients see in control's subtree.
void CollectShown(CUiControl* control, std::vector<CUiControl*>& shown)
{
    if (AccessiblyShown(*control))
        shown.push_back(control);
    for (CUiControl* child : control->children)
        CollectShown(child, shown);
}

} // namespace

CUiControl::~CUiControl()
{
    for (CUiControl* child : children)
        delete child;
    children.clear();
}

SIZE CUiControl::Measure(int)
{
    return SIZE{width, height};
}

void CUiControl::SetBounds(const UiRect& bounds)
{
    x = bounds.x;
    y = bounds.y;
    width = bounds.width;
    height = bounds.height;
    Layout();
}

void CUiControl::Paint(CUiPaintContext&) {}
void CUiControl::PaintOverlay(CUiPaintContext&) {}
void CUiControl::OnMouseEnter() {}
void CUiControl::OnMouseMove(int, int) {}
void CUiControl::OnMouseLeave() {}
void CUiControl::OnMouseDown(int, int) {}
void CUiControl::OnMouseUp(int, int) {}
void CUiControl::OnDoubleClick(int, int) {}
bool CUiControl::OnMouseWheel(int) { return false; }
bool CUiControl::WantsHandCursor() { return false; }
bool CUiControl::WantsTextCursor() { return false; }
bool CUiControl::IsPressable() { return WantsHandCursor() || WantsTextCursor(); }
bool CUiControl::CanFocus() { return false; }
void CUiControl::OnFocus() {}
void CUiControl::OnBlur() {}
void CUiControl::OnChar(WPARAM) {}
void CUiControl::OnKeyDown(WPARAM) {}
void CUiControl::OnTextInput(const std::wstring&) {}
void CUiControl::OnTimer(UINT_PTR) {}
bool CUiControl::GetCaretRect(RECT&) { return false; }
bool CUiControl::InterceptMouseDown(CUiControl*, int, int, int, int) { return false; }
bool CUiControl::BlocksHover(int, int) { return false; }
void CUiControl::OnHoverWithin(bool) {}
bool CUiControl::WantsHoverWithin() { return false; }
void CUiControl::Layout() {}
int CUiControl::GetClipMargin() { return 1; }
DWORD CUiControl::AccessibleRole() { return 0; }
std::wstring CUiControl::AccessibleName() { return std::wstring(); }
std::wstring CUiControl::AccessibleValue() { return std::wstring(); }
std::wstring CUiControl::AccessibleDescription() { return describedBy ? describedBy->AccessibleName() : std::wstring(); }
std::wstring CUiControl::AccessibleDefaultAction() { return std::wstring(); }
bool CUiControl::DoDefaultAction() { return false; }
int CUiControl::TabOrder() { return -1; }
void CUiControl::ShowKeyPressed(bool) {}

void CUiControl::AddChild(CUiControl* child)
{
    if (!child)
        return;
    child->parent = this;
    child->SetWindowRecursive(window);
    children.push_back(child);
}

void CUiControl::SetWindowRecursive(IUiWindowHost* owner)
{
    window = owner;
    for (CUiControl* child : children)
        child->SetWindowRecursive(owner);
}

bool CUiControl::IsShown() const
{
    for (const CUiControl* control = this; control; control = control->parent)
        if (!control->visible)
            return false;
    return true;
}

POINT CUiControl::GetAbsolutePosition() const
{
    POINT position{0, 0};
    for (const CUiControl* control = this; control; control = control->parent) {
        position.x += control->x;
        position.y += control->y;
    }
    return position;
}

UiRect CUiControl::GetDeviceRect() const
{
    const int left = DpiScale(x);
    const int top = DpiScale(y);
    return UiRect{left, top, DpiScale(x + width) - left, DpiScale(y + height) - top};
}

void CUiControl::Invalidate()
{
    if (!window)
        return;
    const POINT position = GetAbsolutePosition();
    const RECT rect{DpiScale(position.x), DpiScale(position.y), DpiScale(position.x + width),
                    DpiScale(position.y + height)};
    window->Invalidate(&rect);
}

CUiControl* CUiControl::HitTest(int px, int py)
{
    if (!visible || !enabled)
        return nullptr;
    if (px < x || px >= x + width || py < y || py >= y + height)
        return nullptr;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (CUiControl* hit = (*it)->HitTest(px - x, py - y))
            return hit;
    }
    return mouseTransparent ? nullptr : this;
}

void CUiControl::SetVisible(bool shown)
{
    if (visible == shown)
        return;
    std::vector<CUiControl*> changed;
    if (!shown)
        CollectShown(this, changed);
    visible = shown;
    if (shown)
        CollectShown(this, changed);
    if (!window)
        return;
    for (CUiControl* control : changed)
        window->NotifyAccessible(shown ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, control);
    if (!shown)
        window->OnControlsHidden();
}

void CUiControl::NotifyAccessible(DWORD event)
{
    if (window)
        window->NotifyAccessible(event, this);
}

} // namespace UIE

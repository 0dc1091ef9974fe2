#include "ui/framework/window/UiWindow.h"

#include "ui/framework/window/UiControl.h"
#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/KeyboardFocus.h"

#include <algorithm>

namespace UIE {

namespace {

bool Contains(const std::vector<CUiControl*>& list, CUiControl* control)
{
    return std::find(list.begin(), list.end(), control) != list.end();
}

POINT RelativeTo(CUiControl* control, int logicalX, int logicalY)
{
    const POINT absolute = control->GetAbsolutePosition();
    return POINT{logicalX - absolute.x, logicalY - absolute.y};
}

} // namespace

void CUiWindow::AddRootControl(CUiControl* control)
{
    if (!control)
        return;
    control->SetWindowRecursive(this);
    rootControls.push_back(control);
    if (!hwnd)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    OnSize(DpiUnscale(client.right - client.left), DpiUnscale(client.bottom - client.top));
    // A control that appears under a resting pointer is hovered without waiting for a move.
    POINT cursor;
    if (GetCursorPos(&cursor)) {
        ScreenToClient(hwnd, &cursor);
        ProcessPointerMove(cursor.x, cursor.y);
    }
}

CUiControl* CUiWindow::ControlAt(int x, int y, int& localX, int& localY)
{
    for (auto it = rootControls.rbegin(); it != rootControls.rend(); ++it) {
        if (CUiControl* hit = (*it)->HitTest(x, y)) {
            const POINT local = RelativeTo(hit, x, y);
            localX = local.x;
            localY = local.y;
            return hit;
        }
    }
    localX = x;
    localY = y;
    return nullptr;
}

void CUiWindow::ProcessPointerMove(int x, int y)
{
    const int lx = DpiUnscale(x);
    const int ly = DpiUnscale(y);
    if (capturedControl) {
        const POINT local = RelativeTo(capturedControl, lx, ly);
        capturedControl->OnMouseMove(local.x, local.y);
        return;
    }

    int localX = 0;
    int localY = 0;
    CUiControl* hit = ControlAt(lx, ly, localX, localY);

    std::vector<CUiControl*> chain;
    for (CUiControl* control = hit; control; control = control->parent)
        if (control->WantsHoverWithin())
            chain.push_back(control);

    CUiControl* newHovered = hit;
    if (hit) {
        const POINT hitAbsolute = hit->GetAbsolutePosition();
        for (CUiControl* control = hit; control; control = control->parent) {
            const POINT absolute = control->GetAbsolutePosition();
            if (control->BlocksHover(localX + hitAbsolute.x - absolute.x, localY + hitAbsolute.y - absolute.y)) {
                newHovered = nullptr;
                break;
            }
        }
    }

    if (newHovered != hoveredControl) {
        if (hoveredControl)
            hoveredControl->OnMouseLeave();
        hoveredControl = newHovered;
        if (hoveredControl)
            hoveredControl->OnMouseEnter();
    }
    if (hoveredControl)
        hoveredControl->OnMouseMove(localX, localY);

    for (CUiControl* control : hoverWithin)
        if (!Contains(chain, control))
            control->OnHoverWithin(false);
    for (CUiControl* control : chain)
        if (!Contains(hoverWithin, control))
            control->OnHoverWithin(true);
    hoverWithin = std::move(chain);
}

void CUiWindow::ProcessPointerLeave()
{
    if (hoveredControl) {
        CUiControl* left = hoveredControl;
        hoveredControl = nullptr;
        left->OnMouseLeave();
    }
    std::vector<CUiControl*> within;
    within.swap(hoverWithin);
    for (CUiControl* control : within)
        control->OnHoverWithin(false);
}

void CUiWindow::ProcessButtonDown(int x, int y)
{
    const int lx = DpiUnscale(x);
    const int ly = DpiUnscale(y);
    int localX = 0;
    int localY = 0;
    CUiControl* hit = ControlAt(lx, ly, localX, localY);

    CUiControl* pressTarget = hit;
    for (CUiControl* control = hit; control; control = control->parent) {
        if (control->IsPressable()) {
            pressTarget = control;
            break;
        }
    }

    CUiControl* newFocus = nullptr;
    for (CUiControl* control = hit; control; control = control->parent) {
        if (control->CanFocus()) {
            newFocus = control;
            break;
        }
    }
    SetKeyboardFocus(*this, newFocus);

    if (!hit)
        return;

    const POINT hitAbsolute = hit->GetAbsolutePosition();
    for (CUiControl* control = hit; control; control = control->parent) {
        const POINT absolute = control->GetAbsolutePosition();
        if (control->InterceptMouseDown(hit, localX + hitAbsolute.x - absolute.x, localY + hitAbsolute.y - absolute.y,
                                        localX, localY)) {
            capturedControl = control;
            SetCapture(hwnd);
            hit->OnMouseDown(localX, localY);
            return;
        }
        if (control->WantsHandCursor())
            break;
    }

    SetCapture(hwnd);
    // SetCapture may report the loss of an earlier capture, which clears the field.
    capturedControl = pressTarget;
    if (pressTarget == hit) {
        hit->OnMouseDown(localX, localY);
    } else {
        const POINT local = RelativeTo(pressTarget, lx, ly);
        pressTarget->OnMouseDown(local.x, local.y);
    }
}

void CUiWindow::ProcessButtonUp(int x, int y)
{
    CUiControl* target = capturedControl;
    if (!target)
        return;
    ReleaseCapture();
    capturedControl = nullptr;
    const POINT local = RelativeTo(target, DpiUnscale(x), DpiUnscale(y));
    target->OnMouseUp(local.x, local.y);
}

void CUiWindow::ProcessDoubleClick(int x, int y)
{
    int localX = 0;
    int localY = 0;
    if (CUiControl* hit = ControlAt(DpiUnscale(x), DpiUnscale(y), localX, localY))
        hit->OnDoubleClick(localX, localY);
}

void CUiWindow::ProcessWheel(int x, int y, int delta)
{
    int localX = 0;
    int localY = 0;
    for (CUiControl* control = ControlAt(DpiUnscale(x), DpiUnscale(y), localX, localY); control;
         control = control->parent) {
        if (control->OnMouseWheel(delta))
            break;
    }
}

} // namespace UIE

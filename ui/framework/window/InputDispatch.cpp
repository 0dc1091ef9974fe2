#include "ui/framework/window/InputDispatch.h"

#include "ui/framework/window/UiControl.h"

#include <algorithm>

namespace UIE {

namespace {

bool Contains(const std::vector<CUiControl*>& list, CUiControl* control)
{
    return std::find(list.begin(), list.end(), control) != list.end();
}

POINT RelativeTo(const CUiControl* control, int logicalX, int logicalY)
{
    const POINT absolute = control->GetAbsolutePosition();
    return POINT{logicalX - absolute.x, logicalY - absolute.y};
}

// Gives a role (hover, focus) to next: the old holder hears that it lost it first.
void Reassign(CUiControl*& holder, CUiControl* next, void (CUiControl::*lost)(), void (CUiControl::*gained)())
{
    if (next == holder)
        return;
    if (holder)
        (holder->*lost)();
    holder = next;
    if (holder)
        (holder->*gained)();
}

} // namespace

CUiControl* CUiInputDispatch::ControlAt(const std::vector<CUiControl*>& roots, int x, int y, int& localX,
                                        int& localY)
{
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
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

void CUiInputDispatch::PointerMove(const std::vector<CUiControl*>& roots, int x, int y)
{
    if (capturedControl) {
        const POINT local = RelativeTo(capturedControl, x, y);
        capturedControl->OnMouseMove(local.x, local.y);
        return;
    }

    int localX = 0;
    int localY = 0;
    CUiControl* hit = ControlAt(roots, x, y, localX, localY);

    std::vector<CUiControl*> chain;
    FindSelfOrAncestor(hit, [&](CUiControl* control) {
        if (control->WantsHoverWithin())
            chain.push_back(control);
        return false;
    });
    const bool blocked = FindSelfOrAncestor(hit, [&](CUiControl* control) {
        const POINT local = RelativeTo(control, x, y);
        return control->BlocksHover(local.x, local.y);
    }) != nullptr;

    Reassign(hoveredControl, blocked ? nullptr : hit, &CUiControl::OnMouseLeave, &CUiControl::OnMouseEnter);
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

void CUiInputDispatch::PointerLeave()
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

void CUiInputDispatch::ButtonDown(const std::vector<CUiControl*>& roots, HWND captureWindow, int x, int y)
{
    int localX = 0;
    int localY = 0;
    CUiControl* hit = ControlAt(roots, x, y, localX, localY);

    CUiControl* pressable = FindSelfOrAncestor(hit, [](CUiControl* control) { return control->IsPressable(); });
    CUiControl* pressTarget = pressable ? pressable : hit;

    CUiControl* newFocus = FindSelfOrAncestor(hit, [](CUiControl* control) { return control->CanFocus(); });
    if (setFocus)
        setFocus(newFocus);
    else
        Reassign(focusedControl, newFocus, &CUiControl::OnBlur, &CUiControl::OnFocus);

    if (!hit)
        return;

    // Asks the hit control and its ancestors, up to the first clickable one, to take the press.
    bool intercepted = false;
    CUiControl* stop = FindSelfOrAncestor(hit, [&](CUiControl* control) {
        const POINT local = RelativeTo(control, x, y);
        intercepted = control->InterceptMouseDown(hit, local.x, local.y, localX, localY);
        return intercepted || control->WantsHandCursor();
    });
    CUiControl* interceptor = intercepted ? stop : nullptr;
    if (interceptor) {
        capturedControl = interceptor;
        if (captureWindow)
            SetCapture(captureWindow);
        hit->OnMouseDown(localX, localY);
        return;
    }

    if (captureWindow)
        SetCapture(captureWindow);
    // SetCapture may report the loss of an earlier capture, which clears the field.
    capturedControl = pressTarget;
    const POINT local = RelativeTo(pressTarget, x, y);
    pressTarget->OnMouseDown(local.x, local.y);
}

void CUiInputDispatch::ButtonUp(HWND captureWindow, int x, int y)
{
    CUiControl* target = capturedControl;
    if (!target)
        return;
    if (captureWindow)
        ReleaseCapture();
    capturedControl = nullptr;
    const POINT local = RelativeTo(target, x, y);
    target->OnMouseUp(local.x, local.y);
}

void CUiInputDispatch::DoubleClick(const std::vector<CUiControl*>& roots, int x, int y)
{
    int localX = 0;
    int localY = 0;
    if (CUiControl* hit = ControlAt(roots, x, y, localX, localY))
        hit->OnDoubleClick(localX, localY);
}

void CUiInputDispatch::Wheel(const std::vector<CUiControl*>& roots, int x, int y, int delta)
{
    int localX = 0;
    int localY = 0;
    CUiControl* hit = ControlAt(roots, x, y, localX, localY);
    FindSelfOrAncestor(hit, [delta](CUiControl* control) { return control->OnMouseWheel(delta); });
}

} // namespace UIE

#include "ui/framework/window/AccessibleTree.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/UiControl.h"

#include <oleacc.h>

#include <algorithm>

namespace UIE {

namespace {

void Collect(CUiControl* control, std::vector<CUiControl*>& found)
{
    if (control->AccessibleRole() != 0 && std::find(found.begin(), found.end(), control) == found.end())
        found.push_back(control);
    for (CUiControl* child : control->children)
        Collect(child, found);
}

} // namespace

void CAccessibleIds::Update(const std::vector<CUiControl*>& roots)
{
    for (CUiControl* root : roots)
        Collect(root, controls);
}

LONG CAccessibleIds::IdOf(const CUiControl* control) const
{
    if (!control)
        return 0;
    const auto found = std::find(controls.begin(), controls.end(), control);
    return found == controls.end() ? 0 : static_cast<LONG>(found - controls.begin() + 1);
}

CUiControl* CAccessibleIds::ControlOf(LONG id) const
{
    if (id < 1 || static_cast<size_t>(id) > controls.size())
        return nullptr;
    return controls[static_cast<size_t>(id) - 1];
}

LONG CAccessibleIds::Count() const
{
    return static_cast<LONG>(controls.size());
}

void CAccessibleIds::Clear()
{
    controls.clear();
}

bool AccessiblyShown(CUiControl& control)
{
    return control.IsShown() && control.AccessibleRole() != 0;
}

LONG AccessibleIdAt(const CAccessibleIds& ids, HWND window, POINT screenPoint)
{
    for (LONG id = ids.Count(); id >= 1; --id) {
        CUiControl& control = *ids.ControlOf(id);
        const RECT rect = AccessibleScreenRect(window, control);
        if (AccessiblyShown(control) && PtInRect(&rect, screenPoint))
            return id;
    }
    return CHILDID_SELF;
}

RECT AccessibleScreenRect(HWND window, const CUiControl& control)
{
    const POINT position = control.GetAbsolutePosition();
    RECT rect{DpiScale(position.x), DpiScale(position.y), DpiScale(position.x + control.width),
              DpiScale(position.y + control.height)};
    POINT origin{0, 0};
    if (window)
        ClientToScreen(window, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    return rect;
}

} // namespace UIE

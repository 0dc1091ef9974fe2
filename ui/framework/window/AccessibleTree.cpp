#include "ui/framework/window/AccessibleTree.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/window/UiWindow.h"

#include <oleacc.h>

#include <algorithm>

namespace UIE {

namespace {

void Collect(CUiControl* control, std::vector<CUiControl*>& found)
{
    if (!control->visible)
        return;
    if (control->AccessibleRole() != 0)
        found.push_back(control);
    for (CUiControl* child : control->children)
        Collect(child, found);
}

LONG IdIn(const std::vector<AccessibleEntry>& entries, const CUiControl* control)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].control == control)
            return static_cast<LONG>(i + 1);
    return 0;
}

} // namespace

std::vector<CUiControl*> AccessibleChildren(const CUiWindow& window)
{
    std::vector<CUiControl*> found;
    for (CUiControl* root : window.rootControls)
        Collect(root, found);
    return found;
}

LONG AccessibleChildId(const CUiWindow& window, const CUiControl* control)
{
    if (!control)
        return 0;
    const std::vector<CUiControl*> children = AccessibleChildren(window);
    const auto found = std::find(children.begin(), children.end(), control);
    return found == children.end() ? 0 : static_cast<LONG>(found - children.begin() + 1);
}

std::vector<AccessibleEntry> AccessibleState(const CUiWindow& window)
{
    std::vector<AccessibleEntry> state;
    for (CUiControl* control : AccessibleChildren(window))
        state.push_back(AccessibleEntry{control, control->AccessibleName(), control->AccessibleValue()});
    return state;
}

std::vector<AccessibleEvent> AccessibleChanges(const std::vector<AccessibleEntry>& before,
                                               const std::vector<AccessibleEntry>& after)
{
    std::vector<AccessibleEvent> events;
    bool reordered = before.size() != after.size();
    for (size_t i = 0; i < before.size(); ++i) {
        if (!IdIn(after, before[i].control)) {
            events.push_back(AccessibleEvent{EVENT_OBJECT_HIDE, static_cast<LONG>(i + 1)});
            reordered = true;
        }
    }
    for (size_t i = 0; i < after.size(); ++i) {
        const LONG id = static_cast<LONG>(i + 1);
        const LONG oldId = IdIn(before, after[i].control);
        if (!oldId) {
            events.push_back(AccessibleEvent{EVENT_OBJECT_SHOW, id});
            reordered = true;
            continue;
        }
        if (oldId != id)
            reordered = true;
        const AccessibleEntry& old = before[oldId - 1];
        if (old.name != after[i].name)
            events.push_back(AccessibleEvent{EVENT_OBJECT_NAMECHANGE, id});
        if (old.value != after[i].value)
            events.push_back(AccessibleEvent{EVENT_OBJECT_VALUECHANGE, id});
    }
    if (reordered)
        events.push_back(AccessibleEvent{EVENT_OBJECT_REORDER, CHILDID_SELF});
    return events;
}

RECT AccessibleScreenRect(const CUiWindow& window, const CUiControl& control)
{
    const POINT position = control.GetAbsolutePosition();
    RECT rect{DpiScale(position.x), DpiScale(position.y), DpiScale(position.x + control.width),
              DpiScale(position.y + control.height)};
    POINT origin{0, 0};
    if (window.hwnd)
        ClientToScreen(window.hwnd, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    return rect;
}

} // namespace UIE

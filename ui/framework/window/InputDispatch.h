#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace UIE {

class CUiControl;

// The window's input state (hovered, captured and focused controls, the hover-within
// containers) and the rules that turn pointer input into control events. Points are
// logical client coordinates; roots is the window's root list, later roots on top.
class CUiInputDispatch {
public:
    // The control under a point and the point relative to it; null (and the point
    // unchanged) when no root answers.
    static CUiControl* ControlAt(const std::vector<CUiControl*>& roots, int x, int y, int& localX, int& localY);

    void PointerMove(const std::vector<CUiControl*>& roots, int x, int y);
    void PointerLeave();
    // Takes the system capture for captureWindow unless it is null.
    void ButtonDown(const std::vector<CUiControl*>& roots, HWND captureWindow, int x, int y);
    void ButtonUp(HWND captureWindow, int x, int y);
    void DoubleClick(const std::vector<CUiControl*>& roots, int x, int y);
    void Wheel(const std::vector<CUiControl*>& roots, int x, int y, int delta);

    // How a press moves the keyboard focus; without one the field changes and the two
    // controls hear OnBlur and OnFocus.
    std::function<void(CUiControl*)> setFocus;
    CUiControl* focusedControl = nullptr;
    CUiControl* hoveredControl = nullptr;
    CUiControl* capturedControl = nullptr;
    bool leaveTracking = false; // a WM_MOUSELEAVE has been asked for and not yet received
    std::vector<CUiControl*> hoverWithin; // innermost first
};

} // namespace UIE

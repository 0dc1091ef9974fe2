#pragma once

namespace UIE {

// The state of a clickable control apart from its drawing: hover follows the pointer,
// a press lasts until the release or until the pointer leaves, and a release inside
// the control after a press is a click. Controls mix it in and redraw after each call.
struct ButtonBehavior {
    void Enter();
    void Leave();
    void Press();
    // Ends any press; true when the release at (x, y), relative to a control of
    // width × height, is a click. Without needsPress any release inside clicks.
    bool Release(int x, int y, int width, int height, bool needsPress = true);

    bool isHovered = false;
    bool isPressed = false;
};

} // namespace UIE

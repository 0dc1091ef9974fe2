#include "ui/framework/controls/ButtonBehavior.h"

namespace UIE {

void ButtonBehavior::Enter()
{
    isHovered = true;
}

void ButtonBehavior::Leave()
{
    isHovered = false;
    isPressed = false;
}

void ButtonBehavior::Press()
{
    isPressed = true;
}

bool ButtonBehavior::Release(int x, int y, int width, int height, bool needsPress)
{
    const bool wasPressed = isPressed;
    isPressed = false;
    const bool inside = x >= 0 && x < width && y >= 0 && y < height;
    return inside && (wasPressed || !needsPress);
}

} // namespace UIE

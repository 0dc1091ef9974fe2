#include "ui/setup/PushButton.h"

#include <oleacc.h>

#include <utility>

namespace SetupUi {

CPushButton::CPushButton(std::function<void()> clickHandler, int order)
    : onClick(std::move(clickHandler)), tabOrder(order)
{
}

void CPushButton::OnMouseEnter()
{
    Enter();
    Invalidate();
}

void CPushButton::OnMouseLeave()
{
    Leave();
    Invalidate();
}

DWORD CPushButton::AccessibleRole()
{
    return ROLE_SYSTEM_PUSHBUTTON;
}

std::wstring CPushButton::AccessibleDefaultAction()
{
    return L"按下";
}

bool CPushButton::DoDefaultAction()
{
    if (!IsShown())
        return false;
    Click();
    return true;
}

int CPushButton::TabOrder()
{
    return tabOrder;
}

void CPushButton::ShowKeyPressed(bool pressed)
{
    isPressed = pressed;
    Invalidate();
}

void CPushButton::Click()
{
    if (onClick)
        onClick();
}

} // namespace SetupUi

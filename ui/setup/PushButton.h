#pragma once
#include "ui/framework/controls/ButtonBehavior.h"
#include "ui/framework/window/UiControl.h"

#include <functional>
#include <string>

namespace SetupUi {

// What the window's buttons share apart from their looks: hover redraws, and they show
// themselves to accessibility clients as push buttons pressed by their default action.
class CPushButton : public UIE::CUiControl, public UIE::ButtonBehavior {
public:
    CPushButton(std::function<void()> clickHandler, int tabOrder);
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    DWORD AccessibleRole() override;
    std::wstring AccessibleDefaultAction() override;
    // Clicks while shown.
    bool DoDefaultAction() override;
    int TabOrder() override;
    void ShowKeyPressed(bool pressed) override;

    std::function<void()> onClick;

protected:
    // Runs the click handler, if there is one.
    void Click();

private:
    int tabOrder;
};

} // namespace SetupUi

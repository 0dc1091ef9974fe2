#pragma once
#include "ui/framework/controls/ButtonBehavior.h"
#include "ui/framework/window/UiControl.h"

#include <functional>
#include <string>

namespace SetupUi {

// The filled, rounded primary button with a centred white caption.
class CActionButton : public UIE::CUiControl, public UIE::ButtonBehavior {
public:
    CActionButton(std::wstring caption, std::function<void()> clickHandler);
    void Paint(UIE::CUiPaintContext& context) override;
    bool WantsHandCursor() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseDown(int x, int y) override;
    // Clicks when the press began here, the release is inside and the button is enabled.
    void OnMouseUp(int x, int y) override;
    DWORD AccessibleRole() override;
    std::wstring AccessibleName() override;
    std::wstring AccessibleDefaultAction() override;
    // Clicks while enabled and shown.
    bool DoDefaultAction() override;
    int TabOrder() override;

    std::wstring text;
    std::function<void()> onClick;
};

} // namespace SetupUi

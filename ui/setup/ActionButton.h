#pragma once
#include "ui/setup/PushButton.h"

#include <functional>
#include <string>

namespace SetupUi {

// The filled, rounded primary button with a centred white caption; first in the Tab order.
class CActionButton : public CPushButton {
public:
    CActionButton(std::wstring caption, std::function<void()> clickHandler);
    void Paint(UIE::CUiPaintContext& context) override;
    bool WantsHandCursor() override;
    void OnMouseDown(int x, int y) override;
    // Clicks when the press began here, the release is inside and the button is enabled.
    void OnMouseUp(int x, int y) override;
    std::wstring AccessibleName() override;
    // Clicks while enabled and shown.
    bool DoDefaultAction() override;

    std::wstring text;
};

} // namespace SetupUi

#pragma once
#include "ui/framework/window/UiControl.h"

#include <cstdint>
#include <functional>

namespace SetupUi {

// A small caption button drawing a close (kind 0) or minimise (kind 1) glyph.
class CChromeButton : public UIE::CUiControl {
public:
    CChromeButton(uint8_t glyphKind, std::function<void()> clickHandler);
    void Paint(UIE::CUiPaintContext& context) override;
    bool WantsHandCursor() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    // Clicks whenever the release is inside; there is no pressed state.
    void OnMouseUp(int x, int y) override;
    DWORD AccessibleRole() override;
    // "关闭" or "最小化".
    std::wstring AccessibleName() override;
    std::wstring AccessibleDefaultAction() override;
    // Clicks while shown.
    bool DoDefaultAction() override;
    // After the window's content, as caption buttons come last.
    int TabOrder() override;

    uint8_t kind;
    bool isHovered = false;
    std::function<void()> onClick;
};

} // namespace SetupUi

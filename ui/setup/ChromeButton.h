#pragma once
#include "ui/framework/controls/ButtonBehavior.h"
#include "ui/framework/window/UiControl.h"

#include <cstdint>
#include <functional>

namespace SetupUi {

// The glyph a caption button draws.
enum class ChromeGlyph : uint8_t {
    Close = 0,
    Minimize = 1,
};

// A small caption button drawing a close or minimise glyph.
class CChromeButton : public UIE::CUiControl, public UIE::ButtonBehavior {
public:
    CChromeButton(ChromeGlyph glyphKind, std::function<void()> clickHandler);
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

    ChromeGlyph kind;
    std::function<void()> onClick;
};

} // namespace SetupUi

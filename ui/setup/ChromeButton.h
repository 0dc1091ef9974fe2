#pragma once
#include "ui/setup/PushButton.h"

#include <cstdint>
#include <functional>
#include <string>

namespace SetupUi {

// The glyph a caption button draws.
enum class ChromeGlyph : uint8_t {
    Close = 0,
    Minimize = 1,
};

// A small caption button drawing a close or minimise glyph. It comes after the window's
// content in the Tab order, as caption buttons come last.
class CChromeButton : public CPushButton {
public:
    CChromeButton(ChromeGlyph glyphKind, std::function<void()> clickHandler);
    void Paint(UIE::CUiPaintContext& context) override;
    bool WantsHandCursor() override;
    // Clicks whenever the release is inside; there is no pressed state.
    void OnMouseUp(int x, int y) override;
    // "关闭" or "最小化".
    std::wstring AccessibleName() override;

    ChromeGlyph kind;
};

} // namespace SetupUi

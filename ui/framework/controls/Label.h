#pragma once
#include "ui/framework/drawing/Text.h"
#include "ui/framework/window/UiControl.h"

#include <string>

namespace UIE {

// One line of GDI text, vertically centred, ending in an ellipsis when too long.
class CUiLabel : public CUiControl {
public:
    CUiLabel();
    void Paint(CUiPaintContext& context) override;
    // Static text named by its text; an empty label is not exposed.
    DWORD AccessibleRole() override;
    std::wstring AccessibleName() override;
    // Sets the text, repaints the window (the text may have been wider) and tells
    // accessibility clients of the new name.
    void SetText(std::wstring newText);

    std::wstring text;
    int fontSize = 13;      // logical pixels
    bool isBold = false;
    COLORREF textColor;     // GDI colour; the theme's text colour by default
    TextAlignment alignment = TextAlignment::Left;
};

} // namespace UIE

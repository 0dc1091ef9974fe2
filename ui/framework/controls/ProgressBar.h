#pragma once
#include "ui/framework/window/UiControl.h"

namespace UIE {

// A pill-shaped track with a bar growing from the left; value is a percentage.
class CUiProgressBar : public CUiControl {
public:
    void Paint(CUiPaintContext& context) override;
    DWORD AccessibleRole() override;
    // The name of the control that labels the bar, as a label before a native bar names it.
    std::wstring AccessibleName() override;
    // The value as a percentage text, "0%" to "100%".
    std::wstring AccessibleValue() override;
    // A tab stop (after the buttons) when focusable is set.
    int TabOrder() override;
    // Sets value and repaints the bar; accessibility clients are told while it is shown
    // (a hidden bar's value is read when it comes).
    void SetValue(int percent);

    int value = 0;
    CUiControl* labelledBy = nullptr; // not owned; the bar's name comes from it
    // Takes the keyboard focus while shown, so a reader speaks its name and value.
    bool focusable = false;

private:
    void PaintSystemColours(CUiPaintContext& context, int trackWidth, int trackHeight, float radius);
};

// Width of the bar inside a track of trackWidth device pixels: 0 when nothing is drawn.
int ProgressFillWidth(int trackWidth, int value);

} // namespace UIE

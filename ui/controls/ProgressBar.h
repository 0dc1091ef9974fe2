#pragma once
#include "ui/controls/UiControl.h"

namespace UIE {

// A pill-shaped track with a bar growing from the left; value is a percentage.
class CUiProgressBar : public CUiControl {
public:
    void Paint(CUiPaintContext& context) override;

    int value = 0;
};

// Width of the bar inside a track of trackWidth device pixels: 0 when nothing is drawn.
int ProgressFillWidth(int trackWidth, int value);

} // namespace UIE

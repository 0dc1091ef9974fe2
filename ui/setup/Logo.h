#pragma once
#include "ui/framework/images/UiImage.h"

#include <string>

namespace SetupUi {

// The product's logo. Its wordmark is dark grey and vanishes on a dark high-contrast
// background, so there the control shows the product's name as text in the window text
// colour instead of the picture.
class CLogo : public UIE::CUiImage {
public:
    void Paint(UIE::CUiPaintContext& context) override;
    // In high contrast the name may run on to the right, over the banner's empty place.
    int GetClipMargin() override;
};

} // namespace SetupUi

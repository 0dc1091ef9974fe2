#include "ui/controls/ProgressBar.h"

#include "ui/controls/Primitives.h"
#include "ui/controls/Theme.h"
#include "ui/window/Dpi.h"

#include <algorithm>

namespace UIE {

int ProgressFillWidth(int trackWidth, int value)
{
    const long long fill = static_cast<long long>(trackWidth) * value / 100;
    if (fill <= 0)
        return 0;
    return static_cast<int>(std::min<long long>(fill, trackWidth));
}

void CUiProgressBar::Paint(CUiPaintContext& context)
{
    const int trackWidth = DpiScale(width);
    const int trackHeight = DpiScale(height);
    const float radius = trackHeight * 0.5f;
    FillRoundRect(context, UiRect{0, 0, trackWidth, trackHeight}, 0xFFEFEFEF, radius);
    const int fill = ProgressFillWidth(trackWidth, value);
    if (fill <= 0)
        return;
    FillRoundRectGradient(context, UiRect{0, 0, fill, trackHeight}, UiTheme.progressStart, UiTheme.progressEnd,
                          Gdiplus::LinearGradientModeHorizontal, radius);
}

} // namespace UIE

#include "ui/framework/controls/ProgressBar.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"

#include <oleacc.h>

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
    if (HighContrastOn()) {
        PaintSystemColours(context, trackWidth, trackHeight, radius);
        return;
    }
    FillRoundRect(context, UiRect{0, 0, trackWidth, trackHeight}, 0xFFEFEFEF, radius);
    const int fill = ProgressFillWidth(trackWidth, value);
    if (fill <= 0)
        return;
    FillRoundRectGradient(context, UiRect{0, 0, fill, trackHeight}, UiTheme.progressStart, UiTheme.progressEnd,
                          Gdiplus::LinearGradientModeHorizontal, radius);
}

void CUiProgressBar::PaintSystemColours(CUiPaintContext& context, int trackWidth, int trackHeight, float radius)
{
    FillRoundRect(context, UiRect{0, 0, trackWidth, trackHeight}, SystemColourArgb(COLOR_WINDOW), radius);
    const int fill = ProgressFillWidth(trackWidth, value);
    if (fill > 0)
        FillRoundRect(context, UiRect{0, 0, fill, trackHeight}, SystemColourArgb(COLOR_HIGHLIGHT), radius);
    DrawRoundRectOutline(context, UiRect{0, 0, trackWidth, trackHeight}, SystemColourArgb(COLOR_WINDOWTEXT), radius,
                         DpiScale(1));
}

DWORD CUiProgressBar::AccessibleRole()
{
    return ROLE_SYSTEM_PROGRESSBAR;
}

std::wstring CUiProgressBar::AccessibleName()
{
    return labelledBy ? labelledBy->AccessibleName() : std::wstring();
}

void CUiProgressBar::SetValue(int percent)
{
    if (percent == value)
        return;
    value = percent;
    Invalidate();
    if (IsShown())
        NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
}

int CUiProgressBar::TabOrder()
{
    return focusable ? 2 : -1;
}

std::wstring CUiProgressBar::AccessibleValue()
{
    // Digits by hand: std::to_wstring would link the wide printf engine into the program.
    int percent = std::min(std::max(value, 0), 100);
    std::wstring text = L"%";
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + percent % 10));
        percent /= 10;
    } while (percent > 0);
    return text;
}

} // namespace UIE

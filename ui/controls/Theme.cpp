#include "ui/controls/Theme.h"

namespace UIE {

UiThemeColors UiTheme;
std::wstring uiFontFace;
Gdiplus::FontFamily* defaultFontFamily = nullptr;

} // namespace UIE

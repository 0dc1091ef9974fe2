#include "ui/framework/drawing/Theme.h"

namespace UIE {

UiThemeColors UiTheme;
std::wstring uiFontFace;
Gdiplus::FontFamily* defaultFontFamily = nullptr;

} // namespace UIE

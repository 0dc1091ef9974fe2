#include "ui/framework/drawing/Theme.h"

namespace UIE {

UiThemeColors UiTheme;
std::wstring uiFontFace;
std::unique_ptr<Gdiplus::FontFamily> defaultFontFamily;

} // namespace UIE

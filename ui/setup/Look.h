#pragma once
#include "ui/framework/drawing/Theme.h"

#include <cstdint>

namespace SetupUi {

// The uninstaller's accent (ARGB): the action button and the progress bar.
inline constexpr uint32_t kAccentColour = 0xFFFF7467;
// The theme the application stores before its window exists.
inline constexpr UIE::UiThemeColors kTheme{0xFFFFFFFF, kAccentColour, kAccentColour, 0xFF333333};
// The window's size in logical pixels.
inline constexpr int kWindowWidth = 520;
inline constexpr int kWindowHeight = 374;

} // namespace SetupUi

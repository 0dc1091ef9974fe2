#pragma once
#include "ui/framework/base/Gdiplus.h"

#include <cstdint>
#include <memory>
#include <string>

namespace UIE {

// Process-wide colours (ARGB), stored by the application before any window exists;
// the defaults are plain greys.
struct UiThemeColors {
    uint32_t windowBackground = 0xFFFFFFFF;
    uint32_t progressStart = 0xFF808080;
    uint32_t progressEnd = 0xFF808080;
    uint32_t primaryText = 0xFF000000;
    bool highContrast = false; // SPI_GETHIGHCONTRAST: painters use the system colours
};

extern UiThemeColors UiTheme;
// Face name of every GDI font; chosen once at start-up.
extern std::wstring uiFontFace;
// Family for GDI+ text; owned by the application's start-up and shutdown.
extern std::unique_ptr<Gdiplus::FontFamily> defaultFontFamily;

} // namespace UIE

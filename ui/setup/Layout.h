#pragma once
#include "ui/framework/base/UiRect.h"
#include "ui/setup/Look.h"

namespace SetupUi {

// Where the window's content stands, in logical pixels of the client area. The screen
// tests read these lines too (gui_layout in tools/lib/gui.sh): keep one rectangle per
// line, as "inline constexpr UIE::UiRect kName{x, y, width, height};".
namespace Layout {

inline constexpr UIE::UiRect kBanner{0, 0, 520, 260};
inline constexpr UIE::UiRect kLogo{16, 16, 140, 24};
// The close button; the minimise button takes its place while files are removed.
inline constexpr UIE::UiRect kCaptionButton{484, 16, 20, 20};
inline constexpr UIE::UiRect kUninstallButton{194, 280, 132, 36};
inline constexpr UIE::UiRect kDescription{24, 334, 472, 22};
inline constexpr UIE::UiRect kStatus{24, 292, 472, 22};
inline constexpr UIE::UiRect kProgressBar{24, 326, 472, 8};

// The corner of the banner that does not drag: the caption button with a margin of 8 to
// its left and as much below it as above it, out to the right edge, so a click that
// just misses the button does not move the window.
inline constexpr int kCaptionBlockMargin = 8;
inline constexpr UIE::UiRect kCaptionBlock{kCaptionButton.x - kCaptionBlockMargin, 0,
                                           kWindowWidth - (kCaptionButton.x - kCaptionBlockMargin),
                                           kCaptionButton.y * 2 + kCaptionButton.height};

} // namespace Layout
} // namespace SetupUi

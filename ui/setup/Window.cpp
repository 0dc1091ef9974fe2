#include "ui/setup/Window.h"

#include "resources/Product.h"
#include "resources/Resources.h"
#include "ui/framework/base/Dpi.h"
#include "ui/setup/Layout.h"
#include "ui/setup/Look.h"

namespace SetupUi {

LRESULT DragRegionHitTest(int x, int y, int dpi, bool enabled)
{
    // The band is the banner's height; the caption block reaches past the window's right
    // edge, so a wider window keeps its buttons' corner out of the band.
    const UIE::UiRect& band = Layout::kBanner;
    const UIE::UiRect& block = Layout::kCaptionBlock;
    if (!enabled || y >= UIE::DpiScaleAt(band.y + band.height, dpi))
        return -1;
    const bool inButtonBlock =
        x >= UIE::DpiScaleAt(block.x, dpi) && y < UIE::DpiScaleAt(block.y + block.height, dpi);
    return inButtonBlock ? -1 : HTCAPTION;
}

CWindow::CWindow()
{
    title = std::wstring(L"卸载") + kProductName;
    logicalSize = SIZE{kWindowWidth, kWindowHeight};
    iconResourceId = IDI_APP_ICON;
    dragRegionEnabled = true;
    accessibleAsDialog = true;
}

LRESULT CWindow::HitTestNonClient(int x, int y)
{
    return DragRegionHitTest(x, y, UIE::GetDpiInfo().dpi, dragRegionEnabled);
}

} // namespace SetupUi

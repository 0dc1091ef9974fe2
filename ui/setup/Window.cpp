#include "ui/setup/Window.h"

#include "resources/Product.h"
#include "resources/Resources.h"
#include "ui/framework/base/Dpi.h"
#include "ui/setup/Look.h"

namespace SetupUi {

LRESULT DragRegionHitTest(int x, int y, int dpi, bool enabled)
{
    if (!enabled || y >= UIE::DpiScaleAt(260, dpi))
        return -1;
    const bool inButtonBlock = x >= UIE::DpiScaleAt(476, dpi) && y < UIE::DpiScaleAt(52, dpi);
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

#include "ui/framework/images/UiImage.h"

#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/base/Dpi.h"

#include <oleacc.h>

#include <algorithm>

namespace UIE {

CUiImage::CUiImage()
{
    mouseTransparent = true;
}

Gdiplus::RectF PlaceImage(float width, float height, float imageWidth, float imageHeight, int32_t fit)
{
    const float sx = width / imageWidth;
    const float sy = height / imageHeight;
    const float scale = fit == Cover ? std::max(sx, sy) : std::min(sx, sy);
    const float dw = scale * imageWidth;
    const float dh = scale * imageHeight;
    return Gdiplus::RectF((width - dw) * 0.5f, (height - dh) * 0.5f, dw, dh);
}

void CUiImage::Paint(CUiPaintContext& context)
{
    const int w = DpiScale(width);
    const int h = DpiScale(height);
    const float radius = static_cast<float>(DpiScale(cornerRadius < 0 ? 8 : cornerRadius));
    FillRoundRect(context, UiRect{0, 0, w, h}, background, radius);
    if (!image)
        return;
    const auto imageWidth = static_cast<float>(image->GetWidth());
    const auto imageHeight = static_cast<float>(image->GetHeight());
    if (imageWidth < 1 || imageHeight < 1)
        return;
    const Gdiplus::RectF destination =
        PlaceImage(static_cast<float>(w), static_cast<float>(h), imageWidth, imageHeight, fit);

    Gdiplus::Graphics* graphics = GetGraphics(context);
    const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
    if (radius > 0) {
        Gdiplus::GraphicsPath path;
        AddRoundRectPath(path, Gdiplus::RectF(0, 0, static_cast<float>(w), static_cast<float>(h)), radius);
        graphics->SetClip(&path, Gdiplus::CombineModeReplace);
    } else {
        graphics->SetClip(destination, Gdiplus::CombineModeReplace);
    }
    graphics->DrawImage(image, destination, 0, 0, imageWidth, imageHeight, Gdiplus::UnitPixel);
    graphics->EndContainer(container);
    ReleaseGraphics(context);
}

DWORD CUiImage::AccessibleRole()
{
    return accessibleName.empty() ? 0 : ROLE_SYSTEM_GRAPHIC;
}

std::wstring CUiImage::AccessibleName()
{
    return accessibleName;
}

} // namespace UIE

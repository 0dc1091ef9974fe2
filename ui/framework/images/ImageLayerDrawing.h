#pragma once
#include "ui/framework/base/Gdiplus.h"
#include "ui/framework/images/ImageCache.h"

namespace UIE {

// The one GDI+ drawing of an image control's picture, clipped to the rounded corners
// (radius > 0) or to destination. Painting and the kept layers both go through it, so a
// layer holds exactly what a direct paint would put on the target.
void DrawClippedImage(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, int width, int height, float radius,
                      const Gdiplus::RectF& destination);

// Draws an image control once into a new layer, which shares the back buffer's
// coordinates, and hands it to the image cache; null when GDI refuses or the source is
// not the cache's. An opaque background with square corners around a contained image is
// baked into a layer compatible with target when its fill is seen to cover the control
// exactly; otherwise the layer holds the image alone, premultiplied, in a DIB section.
CUiImageLayer* MakeImageLayer(const ImageLayerKey& key, HDC target, const Gdiplus::RectF& destination);

} // namespace UIE

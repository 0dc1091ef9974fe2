#include "controls/PaintTestSupport.h"

#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/base/Dpi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace painttest {

namespace {

// GDI+ and the UI globals as the application sets them up, and torn down in the
// application's order: cached bitmaps and fonts go before GDI+ does.
class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
        UIE::uiFontFace = L"宋体";
        UIE::defaultFontFamily = new Gdiplus::FontFamily(UIE::uiFontFace.c_str(), nullptr);
        UIE::UiTheme = UIE::UiThemeColors{0xFFFFFFFF, 0xFFFF7467, 0xFFFF7467, 0xFF333333};
        UIE::GetDpiInfo().dpi = 96;
    }

    void TearDown() override
    {
        UIE::CUiImageCache::Instance().Clear();
        UIE::ReleaseGdiplusFontCache();
        delete UIE::defaultFontFamily;
        UIE::defaultFontFamily = nullptr;
        Gdiplus::GdiplusShutdown(token);
    }

private:
    ULONG_PTR token = 0;
};

::testing::Environment* const uiEnvironment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace

Canvas::Canvas(int w, int h, COLORREF fill) : width(w), height(h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<uint32_t*>(pixels);
    previous = SelectObject(dc, bitmap);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void Canvas::Fill(COLORREF colour)
{
    GdiFlush();
    const uint32_t rgb = Rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    for (int i = 0; i < width * height; ++i)
        bits[i] = rgb;
}

uint32_t Canvas::At(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is off the canvas";
        return 0;
    }
    return bits[y * width + x] & 0xFFFFFF;
}

void Canvas::CopyFrom(HDC source)
{
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
}

CanvasContext::CanvasContext(Canvas& canvas)
{
    context.Reset(canvas.Dc(), canvas.Width(), canvas.Height());
    SetBkMode(canvas.Dc(), TRANSPARENT);
}

CanvasContext::~CanvasContext()
{
    UIE::ReleaseGraphics(context);
    context.hdc = nullptr;
}

DpiScope::DpiScope(int dpi)
{
    UIE::GetDpiInfo().dpi = dpi;
}

DpiScope::~DpiScope()
{
    UIE::GetDpiInfo().dpi = 96;
}

void ProbeControl::Paint(UIE::CUiPaintContext& context)
{
    ++paintCount;
    if (onPaint)
        onPaint(context);
}

UIE::CUiControl* Place(UIE::CUiControl* control, int x, int y, int width, int height)
{
    control->x = x;
    control->y = y;
    control->width = width;
    control->height = height;
    return control;
}

int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > worst)
            worst = d;
    }
    return worst;
}

std::string Hex(uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof(text), "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::wstring SourceFilePath(const char* relative)
{
    std::string unix = std::string(ZMX_SOURCE_DIR) + "/" + relative;
    std::wstring path = L"Z:";
    for (char c : unix)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

} // namespace painttest

#include "controls/PaintTestSupport.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/setup/Look.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace painttest {

namespace {

// GDI+ and the UI globals as the application sets them up, and torn down in the
// application's order: cached bitmaps and fonts go before GDI+ does.
class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        gdiplus = std::make_unique<UIE::CGdiplusSession>();
        ASSERT_TRUE(gdiplus->Started());
        UIE::uiFontFace = L"宋体";
        UIE::defaultFontFamily = std::make_unique<Gdiplus::FontFamily>(UIE::uiFontFace.c_str(), nullptr);
        UIE::UiTheme = SetupUi::kTheme;
        UIE::GetDpiInfo().dpi = 96;
    }

    void TearDown() override
    {
        UIE::CUiImageCache::Instance().Clear();
        UIE::ReleaseGdiplusFontCache();
        UIE::defaultFontFamily.reset();
        gdiplus.reset();
    }

private:
    std::unique_ptr<UIE::CGdiplusSession> gdiplus;
};

::testing::Environment* const uiEnvironment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace

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

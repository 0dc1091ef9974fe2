#include "controls/PaintTestSupport.h"

#include "app/UninstallerApp.h"
#include "ui/framework/base/Dpi.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/PaintContext.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"
#include "ui/framework/window/PaintPipeline.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace painttest;

namespace {

constexpr unsigned kBanner = 102;
constexpr unsigned kLogo = 103;

HMODULE Self()
{
    return GetModuleHandleW(nullptr);
}

class ImageLayerTest : public ::testing::Test {
protected:
    void SetUp() override { cache.Clear(); }
    void TearDown() override { cache.Clear(); }
    UIE::CUiImageCache& cache = UIE::CUiImageCache::Instance();
};

class ImageLayerCache : public ImageLayerTest {};

// A paint target of either kind the image control meets: a 32-bit DIB section (what the
// other paint tests draw into) or a bitmap compatible with the screen (what the window's
// back buffer is). GDI+ draws into the two by different roads, so both are checked.
class Target {
public:
    Target(bool dib, int w, int h) : width(w), height(h)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        if (dib) {
            BITMAPINFO info = Info();
            void* bits = nullptr;
            bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        } else {
            bitmap = CreateCompatibleBitmap(screen, width, height);
        }
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc, bitmap);
    }
    ~Target()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    HDC Dc() const { return dc; }

    // A backdrop in which every pixel differs from its neighbours, so that a blend onto
    // the wrong pixels or with the wrong weights shows.
    void Backdrop()
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] =
                    Rgb((x * 7 + y * 3) & 0xFF, (x * 5 + y * 11) & 0xFF, (x * 13 + y * 2) & 0xFF);
        BITMAPINFO info = Info();
        GdiFlush();
        SelectObject(dc, previous);
        SetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        SelectObject(dc, bitmap);
    }

    std::vector<uint32_t> Pixels() const
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        BITMAPINFO info = Info();
        GdiFlush();
        SelectObject(dc, previous);
        GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        SelectObject(dc, bitmap);
        for (uint32_t& pixel : pixels)
            pixel &= 0xFFFFFF;
        return pixels;
    }

    // Paints the control's tree as the pipeline does, optionally for one invalid rectangle.
    void Paint(UIE::CUiControl& control, const RECT* paintRect = nullptr)
    {
        UIE::CUiPaintContext context;
        context.Reset(dc, width, height);
        SetBkMode(dc, TRANSPARENT);
        if (paintRect) {
            context.paintRect = *paintRect;
            context.hasPaintRect = true;
        }
        UIE::PaintControlTree(&control, context);
        context.hdc = nullptr;
    }

    const int width;
    const int height;

private:
    BITMAPINFO Info() const
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

struct ImageSetup {
    const char* name;
    unsigned resource;
    int x, y, width, height;
    int32_t fit;
    int32_t radius;
    uint32_t background;
};

void Configure(UIE::CUiImage& image, const ImageSetup& setup, Gdiplus::Bitmap* bitmap)
{
    Place(&image, setup.x, setup.y, setup.width, setup.height);
    image.image = bitmap;
    image.fit = setup.fit;
    image.cornerRadius = setup.radius;
    image.background = setup.background;
}

// The same pixels in a bitmap the cache does not own: the control draws that one straight
// through GDI+, as it always did.
std::unique_ptr<Gdiplus::Bitmap> Unowned(Gdiplus::Bitmap* source)
{
    return std::unique_ptr<Gdiplus::Bitmap>(source->Clone(0, 0, static_cast<INT>(source->GetWidth()),
                                                          static_cast<INT>(source->GetHeight()),
                                                          source->GetPixelFormat()));
}

int CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, int& firstX,
                     int& firstY)
{
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            if (count++ == 0) {
                firstX = static_cast<int>(i % width);
                firstY = static_cast<int>(i / width);
            }
        }
    return count;
}

UIE::ImageLayerKey KeyOf(Gdiplus::Bitmap* bitmap, int width, int height, int originX, int originY)
{
    UIE::ImageLayerKey key;
    key.source = bitmap;
    key.width = width;
    key.height = height;
    key.fit = UIE::Contain;
    key.radius = 0;
    key.background = 0;
    key.originX = originX;
    key.originY = originY;
    key.margin = 1;
    key.dibTarget = false;
    return key;
}

} // namespace

TEST_F(ImageLayerCache, AHitReturnsTheSameLayerAndAnotherSizeAnother)
{
    Gdiplus::Bitmap* logo = cache.LoadResourceImage(Self(), kLogo);
    ASSERT_NE(logo, nullptr);
    UIE::CUiImage image;
    Configure(image, {"logo", kLogo, 16, 16, 140, 24, UIE::Contain, 0, 0}, logo);
    Target target(false, 200, 60);

    image.PrepareLayer(target.Dc(), 16, 16, 96);
    ASSERT_EQ(cache.LayerCount(), 1u);
    const UIE::CUiImageLayer* first = cache.FindLayer(KeyOf(logo, 140, 24, 16, 16));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, UIE::CUiImageLayer::Blended);
    image.PrepareLayer(target.Dc(), 16, 16, 96);
    target.Paint(image);
    EXPECT_EQ(cache.LayerCount(), 1u) << "the paint at (16, 16) finds the prepared layer";
    EXPECT_EQ(cache.FindLayer(KeyOf(logo, 140, 24, 16, 16)), first);

    image.width = 100;
    target.Paint(image);
    EXPECT_EQ(cache.LayerCount(), 2u);
    const UIE::CUiImageLayer* narrower = cache.FindLayer(KeyOf(logo, 100, 24, 16, 16));
    ASSERT_NE(narrower, nullptr);
    EXPECT_NE(narrower, first);

    DpiScope dpi(192);
    image.width = 140;
    image.PrepareLayer(target.Dc(), 32, 32, 192);
    EXPECT_EQ(cache.LayerCount(), 3u);
    EXPECT_NE(cache.FindLayer(KeyOf(logo, 280, 48, 32, 32)), nullptr);
    EXPECT_EQ(cache.FindLayer(KeyOf(logo, 140, 24, 16, 16)), first) << "the others stay";
}

TEST_F(ImageLayerCache, OnlyTheCachesOwnBitmapsGetLayersAndClearDropsThem)
{
    Gdiplus::Bitmap* banner = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(banner, nullptr);
    const auto copy = Unowned(banner);
    UIE::CUiImage image;
    Configure(image, {"banner", kBanner, 0, 0, 100, 50, UIE::Contain, 0, 0}, copy.get());
    Target target(true, 110, 60);
    target.Paint(image);
    EXPECT_EQ(cache.LayerCount(), 0u);

    image.image = banner;
    target.Paint(image);
    EXPECT_EQ(cache.LayerCount(), 1u);
    cache.Clear();
    EXPECT_EQ(cache.LayerCount(), 0u);
    EXPECT_EQ(cache.Size(), 0u);
}

TEST_F(ImageLayerCache, AnOpaqueBackgroundIsBakedInOnlyWhereItCoversTheControl)
{
    Gdiplus::Bitmap* banner = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(banner, nullptr);
    Target target(false, 600, 300);
    const struct {
        ImageSetup setup;
        UIE::CUiImageLayer::Kind kind;
    } cases[] = {
        {{"white, square", kBanner, 0, 0, 520, 260, UIE::Contain, 0, 0xFFFFFFFF}, UIE::CUiImageLayer::Opaque},
        {{"transparent", kBanner, 0, 0, 520, 260, UIE::Contain, 0, 0x00000000}, UIE::CUiImageLayer::Blended},
        {{"half alpha", kBanner, 0, 0, 520, 260, UIE::Contain, 0, 0x80FFFFFF}, UIE::CUiImageLayer::Blended},
        {{"rounded", kBanner, 0, 0, 520, 260, UIE::Contain, 8, 0xFFFFFFFF}, UIE::CUiImageLayer::Blended},
        {{"cover", kBanner, 0, 0, 200, 200, UIE::Cover, 0, 0xFFFFFFFF}, UIE::CUiImageLayer::Blended},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.setup.name);
        cache.Clear();
        banner = cache.LoadResourceImage(Self(), kBanner);
        UIE::CUiImage image;
        Configure(image, entry.setup, banner);
        target.Paint(image);
        ASSERT_EQ(cache.LayerCount(), 1u);
        UIE::ImageLayerKey key = KeyOf(banner, entry.setup.width, entry.setup.height, 0, 0);
        key.fit = entry.setup.fit;
        key.radius = entry.setup.radius;
        key.background = entry.setup.background;
        const UIE::CUiImageLayer* layer = cache.FindLayer(key);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->kind, entry.kind);
    }
}

// A blended layer's alpha is what GDI+ computed for the picture, not whatever a device
// bitmap keeps in its fourth byte: opaque where the picture is, transparent black where it
// is clear and around it.
TEST_F(ImageLayerCache, ABlendedLayerHoldsThePicturesAlpha)
{
    Gdiplus::Bitmap* logo = cache.LoadResourceImage(Self(), kLogo);
    ASSERT_NE(logo, nullptr);
    UIE::CUiImage image;
    Configure(image, {"logo", kLogo, 16, 16, 140, 24, UIE::Contain, 0, 0}, logo);
    Target target(false, 200, 60);
    image.PrepareLayer(target.Dc(), 16, 16, 96);
    const UIE::CUiImageLayer* layer = cache.FindLayer(KeyOf(logo, 140, 24, 16, 16));
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->kind, UIE::CUiImageLayer::Blended);
    ASSERT_NE(layer->bits, nullptr);

    // The logo is drawn at half its size: layer pixel (16 + x, 16 + y) comes from the
    // source's pixels around (2x, 2y). Where those all have one alpha, so has the layer.
    Gdiplus::Rect all(0, 0, 280, 48);
    Gdiplus::BitmapData source{};
    ASSERT_EQ(logo->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &source), Gdiplus::Ok);
    const auto sourceAlpha = [&source](int x, int y) {
        return static_cast<const uint32_t*>(source.Scan0)[y * source.Stride / 4 + x] >> 24;
    };
    int seen[2] = {0, 0};
    for (int y = 1; y < 23; ++y)
        for (int x = 1; x < 139; ++x) {
            const uint32_t alpha = sourceAlpha(2 * x, 2 * y);
            bool uniform = alpha == 0 || alpha == 0xFF;
            for (int i = 0; uniform && i < 36; ++i)
                uniform = sourceAlpha(2 * x - 2 + i % 6, 2 * y - 2 + i / 6) == alpha;
            if (!uniform)
                continue;
            ++seen[alpha ? 1 : 0];
            const uint32_t pixel = layer->bits[static_cast<size_t>(16 + y) * layer->width + 16 + x];
            EXPECT_EQ(alpha ? pixel >> 24 : pixel, alpha) << Hex(pixel) << " at " << 16 + x << ", " << 16 + y;
        }
    logo->UnlockBits(&source);
    EXPECT_GT(seen[0], 0) << "clear spots";
    EXPECT_GT(seen[1], 0) << "opaque spots";
    EXPECT_EQ(layer->bits[15 * layer->width + 15], 0u) << "the clip margin stays transparent black";
}

// An image on the window's background fills with the colour the paint pipeline fills
// with, high contrast's system colour included, and is kept opaque in either.
TEST_F(ImageLayerCache, OnTheWindowBackgroundItFillsWithThePipelinesColour)
{
    Gdiplus::Bitmap* banner = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(banner, nullptr);
    UIE::CUiImage image;
    Configure(image, {"banner", kBanner, 0, 0, 520, 260, UIE::Contain, 0, 0x00000000}, banner);
    image.onWindowBackground = true;
    Target target(false, 530, 270);
    const bool saved = UIE::UiTheme.highContrast;
    for (const bool highContrast : {false, true}) {
        SCOPED_TRACE(highContrast ? "high contrast" : "theme");
        UIE::UiTheme.highContrast = highContrast;
        target.Paint(image);
        UIE::ImageLayerKey key = KeyOf(banner, 520, 260, 0, 0);
        key.background = highContrast ? UIE::SystemColourArgb(COLOR_WINDOW) : UIE::UiTheme.windowBackground;
        const UIE::CUiImageLayer* layer = cache.FindLayer(key);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->kind, UIE::CUiImageLayer::Opaque);
    }
    UIE::UiTheme.highContrast = saved;
}

// The start-up helper draws the artwork before the content exists; the window's first
// paint must find those layers and draw nothing anew.
TEST_F(ImageLayerCache, PreparedArtworkIsWhatTheWindowsFirstPaintUses)
{
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        DpiScope scope(dpi);
        cache.Clear();
        UninstallerApp::PrepareArtwork(Self(), dpi);
        EXPECT_EQ(cache.Size(), 2u);
        ASSERT_EQ(cache.LayerCount(), 2u);

        UninstallerApp app;
        app.instance = Self();
        ASSERT_TRUE(app.window.Create(app.instance));
        // The window reads the display's own DPI as it is created.
        UIE::GetDpiInfo().dpi = dpi;
        app.BuildContent();
        RECT client{};
        GetClientRect(app.window.hwnd, &client);
        HDC dc = GetDC(app.window.hwnd);
        UIE::PaintIntoBackBuffer(app.window.backBuffer, app.window.paintContext, app.window.rootControls, dc, client.right, client.bottom, client);
        ReleaseDC(app.window.hwnd, dc);
        EXPECT_EQ(cache.LayerCount(), 2u);
        DestroyWindow(app.window.hwnd);
    }
}

// The fast path must show exactly what GDI+ drew before: for each DPI, both kinds of
// target and every road through the control (opaque layer, blended layer with and without
// a background fill, rounded corners, cover, an odd origin), the pixels of a paint from a
// cached layer equal those of the same control drawing an unowned copy of the bitmap.
class ImageLayerPixels : public ImageLayerTest {
protected:
    void Check(int dpi, bool dib);
};

TEST_F(ImageLayerPixels, AreThoseOfTheDirectGdiplusDrawing)
{
    for (const int dpi : {96, 120, 144, 168, 192})
        for (const bool dib : {true, false}) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, " << (dib ? "DIB section" : "screen bitmap"));
            Check(dpi, dib);
        }
}

void ImageLayerPixels::Check(int dpi, bool dib)
{
    DpiScope scope(dpi);
    const ImageSetup setups[] = {
        {"banner on white", kBanner, 0, 0, 520, 260, UIE::Contain, 0, 0xFFFFFFFF},
        {"logo on nothing", kLogo, 16, 16, 140, 24, UIE::Contain, 0, 0x00000000},
        {"logo on a veil", kLogo, 13, 7, 140, 24, UIE::Contain, 0, 0x80FF2040},
        {"banner rounded", kBanner, 5, 3, 300, 200, UIE::Contain, -1, 0xFFE8E8E8},
        {"banner cover", kBanner, 21, 9, 130, 130, UIE::Cover, 0, 0x00000000},
    };
    for (const ImageSetup& setup : setups) {
        SCOPED_TRACE(setup.name);
        Gdiplus::Bitmap* owned = cache.LoadResourceImage(Self(), setup.resource);
        ASSERT_NE(owned, nullptr);
        const auto unowned = Unowned(owned);
        const int w = UIE::DpiScale(setup.x + setup.width) + 4;
        const int h = UIE::DpiScale(setup.y + setup.height) + 4;

        Target direct(dib, w, h);
        direct.Backdrop();
        UIE::CUiImage reference;
        Configure(reference, setup, unowned.get());
        direct.Paint(reference);

        Target layered(dib, w, h);
        layered.Backdrop();
        UIE::CUiImage image;
        Configure(image, setup, owned);
        layered.Paint(image);
        const size_t layers = cache.LayerCount();
        EXPECT_GE(layers, 1u);

        int x = 0, y = 0;
        const std::vector<uint32_t> want = direct.Pixels();
        EXPECT_EQ(CountDifferences(layered.Pixels(), want, w, x, y), 0)
            << "first at (" << x << ", " << y << ")";

        // A repaint of a small rectangle over a fresh backdrop shows the same there.
        layered.Backdrop();
        const RECT part{UIE::DpiScale(setup.x) + 7, UIE::DpiScale(setup.y) + 5, UIE::DpiScale(setup.x) + 47,
                        UIE::DpiScale(setup.y) + 25};
        layered.Paint(image, &part);
        EXPECT_EQ(cache.LayerCount(), layers) << "the repaint reuses the layer";
        const std::vector<uint32_t> repainted = layered.Pixels();
        int wrong = 0;
        for (int py = part.top; py < part.bottom; ++py)
            for (int px = part.left; px < part.right; ++px) {
                const size_t i = static_cast<size_t>(py) * w + px;
                wrong += repainted[i] != want[i] ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0);
    }
}

#include "controls/PaintTestSupport.h"

#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"

#include <gtest/gtest.h>

#include <memory>

using namespace painttest;

namespace {

constexpr uint32_t kImageBackground = 0xE8E8E8;
constexpr unsigned kBanner = 102;
constexpr unsigned kLogo = 103;
constexpr unsigned kMissing = 999;

HMODULE Self()
{
    return GetModuleHandleW(nullptr);
}

// Every test starts and ends with an empty process-wide cache.
class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override { cache.Clear(); }
    void TearDown() override { cache.Clear(); }
    UIE::CUiImageCache& cache = UIE::CUiImageCache::Instance();
};

class ImageCacheLoad : public ImageCacheTest {};
class ImagePaint : public ImageCacheTest {};

// An opaque image of three vertical bands: red, blue, green (quarter, half, quarter).
std::unique_ptr<Gdiplus::Bitmap> Bands(int width, int height)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Gdiplus::ARGB colour = x < width / 4 ? 0xFFFF0000 : x < width * 3 / 4 ? 0xFF0000FF : 0xFF00FF00;
            bitmap->SetPixel(x, y, Gdiplus::Color(colour));
        }
    return bitmap;
}

void PaintImage(Canvas& canvas, UIE::CUiImage& image)
{
    CanvasContext context(canvas);
    UIE::PaintControlTree(&image, *context);
}

UIE::CUiImage& Configure(UIE::CUiImage& image, int x, int y, int width, int height, Gdiplus::Bitmap* bitmap,
                     int32_t fit = UIE::Contain, int32_t radius = 0)
{
    Place(&image, x, y, width, height);
    image.image = bitmap;
    image.fit = fit;
    image.cornerRadius = radius;
    return image;
}

void ExpectRect(const Gdiplus::RectF& rect, float x, float y, float width, float height)
{
    EXPECT_FLOAT_EQ(rect.X, x);
    EXPECT_FLOAT_EQ(rect.Y, y);
    EXPECT_FLOAT_EQ(rect.Width, width);
    EXPECT_FLOAT_EQ(rect.Height, height);
}

} // namespace

TEST_F(ImageCacheLoad, ResourceIsDecodedOnceAndKeptById)
{
    Gdiplus::Bitmap* banner = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->GetWidth(), 1040u);
    EXPECT_EQ(banner->GetHeight(), 520u);
    EXPECT_EQ(cache.Size(), 1u);
    // kernel32 has no such RCDATA: the second answer cannot come from the resources.
    EXPECT_EQ(cache.LoadResourceImage(GetModuleHandleW(L"kernel32.dll"), kBanner), banner);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST_F(ImageCacheLoad, MissingResourceGivesNoneAndCachesNothing)
{
    EXPECT_EQ(cache.LoadResourceImage(Self(), kMissing), nullptr);
    EXPECT_EQ(cache.LoadScaledResourceImage(kMissing, 30, 30), nullptr);
    EXPECT_EQ(cache.Size(), 0u);
    EXPECT_EQ(cache.LoadResourceImage(GetModuleHandleW(L"kernel32.dll"), kBanner), nullptr);
    EXPECT_EQ(cache.Size(), 0u);
}

TEST_F(ImageCacheLoad, ScaledCopiesAreKeyedByDeviceSize)
{
    Gdiplus::Bitmap* small = cache.LoadScaledResourceImage(kBanner, 30, 30);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->GetWidth(), 30u);
    EXPECT_EQ(small->GetHeight(), 30u);
    EXPECT_EQ(small->GetPixelFormat(), PixelFormat32bppPARGB);
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.LoadScaledResourceImage(kBanner, 30, 30), small);
    // The source was kept at its own size: kernel32 has no such resource to decode.
    Gdiplus::Bitmap* source = cache.LoadResourceImage(GetModuleHandleW(L"kernel32.dll"), kBanner);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetWidth(), 1040u);

    DpiScope dpi(144);
    Gdiplus::Bitmap* larger = cache.LoadScaledResourceImage(kBanner, 30, 30);
    ASSERT_NE(larger, nullptr);
    EXPECT_NE(larger, small);
    EXPECT_EQ(larger->GetWidth(), 45u);
    EXPECT_EQ(larger->GetHeight(), 45u);
    EXPECT_EQ(cache.Size(), 3u);
    EXPECT_EQ(cache.LoadScaledResourceImage(kBanner, 30, 30), larger);
    // 45 device pixels asked for directly at 96 DPI are the same copy.
    DpiScope back(96);
    EXPECT_EQ(cache.LoadScaledResourceImage(kBanner, 45, 45), larger);
    EXPECT_EQ(cache.LoadScaledResourceImage(kBanner, 30, 30), small);
    EXPECT_EQ(cache.Size(), 3u);
}

TEST_F(ImageCacheLoad, SizesBelowOnePixelBecomeOne)
{
    Gdiplus::Bitmap* dot = cache.LoadScaledResourceImage(kLogo, 0, 0);
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->GetWidth(), 1u);
    EXPECT_EQ(dot->GetHeight(), 1u);
    EXPECT_EQ(cache.LoadScaledResourceImage(kLogo, 1, 1), dot);
    EXPECT_EQ(cache.LoadScaledResourceImage(kLogo, -3, 0), dot);
    Gdiplus::Bitmap* line = cache.LoadScaledResourceImage(kLogo, -4, 20);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetWidth(), 1u);
    EXPECT_EQ(line->GetHeight(), 20u);
}

TEST_F(ImageCacheLoad, ScaledCopyStretchesTheWholeImage)
{
    // 280 × 48 into 28 × 48: the aspect ratio is not kept.
    Gdiplus::Bitmap* source = cache.LoadResourceImage(Self(), kLogo);
    ASSERT_NE(source, nullptr);
    Gdiplus::Bitmap* copy = cache.LoadScaledResourceImage(kLogo, 28, 48);
    ASSERT_NE(copy, nullptr);
    int opaqueRows = 0;
    for (int y = 0; y < 48; ++y) {
        Gdiplus::Color colour;
        copy->GetPixel(1, y, &colour);
        opaqueRows += colour.GetA() > 128 ? 1 : 0;
    }
    int sourceRows = 0;
    for (int y = 0; y < 48; ++y) {
        Gdiplus::Color colour;
        source->GetPixel(10, y, &colour);
        sourceRows += colour.GetA() > 128 ? 1 : 0;
    }
    EXPECT_GT(sourceRows, 10);
    EXPECT_NEAR(opaqueRows, sourceRows, 6) << "the mark keeps its full height";
}

TEST_F(ImageCacheLoad, ClearDropsEverythingAndTheNextLoadDecodesAgain)
{
    ASSERT_NE(cache.LoadResourceImage(Self(), kBanner), nullptr);
    ASSERT_NE(cache.LoadScaledResourceImage(kBanner, 30, 30), nullptr);
    cache.Clear();
    EXPECT_EQ(cache.Size(), 0u);
    EXPECT_EQ(cache.LoadResourceImage(GetModuleHandleW(L"kernel32.dll"), kBanner), nullptr);

    Gdiplus::Bitmap* again = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetWidth(), 1040u);
    Gdiplus::Color colour;
    EXPECT_EQ(again->GetPixel(520, 200, &colour), Gdiplus::Ok);
    EXPECT_EQ(cache.LoadResourceImage(GetModuleHandleW(L"kernel32.dll"), kBanner), again);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST_F(ImageCacheLoad, FileImageIsDecodedOnceAndScaledPerDpi)
{
    const std::wstring path = SourceFilePath("resources/logo.png");
    Gdiplus::Bitmap* icon = cache.LoadScaledFileImage(path);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetWidth(), 30u);
    EXPECT_EQ(icon->GetHeight(), 30u);
    EXPECT_EQ(icon->GetPixelFormat(), PixelFormat32bppPARGB);
    EXPECT_EQ(cache.Size(), 2u) << "the decoded file and its copy";
    EXPECT_EQ(cache.LoadScaledFileImage(path), icon);

    DpiScope dpi(192);
    Gdiplus::Bitmap* larger = cache.LoadScaledFileImage(path);
    ASSERT_NE(larger, nullptr);
    EXPECT_EQ(larger->GetWidth(), 60u);
    EXPECT_NE(larger, icon);
    EXPECT_EQ(cache.LoadScaledFileImage(path), larger);
    EXPECT_EQ(cache.Size(), 3u) << "the decoded file is reused";
}

TEST_F(ImageCacheLoad, UnreadableFileGivesNoneAndCachesNothing)
{
    EXPECT_EQ(cache.LoadScaledFileImage(SourceFilePath("resources/no-such-image.png")), nullptr);
    EXPECT_EQ(cache.LoadScaledFileImage(SourceFilePath("resources/Resources.h")), nullptr);
    EXPECT_EQ(cache.Size(), 0u);
}

TEST_F(ImageCacheLoad, FilePathLikeAResourceKeyIsNotServedTheResource)
{
    ASSERT_NE(cache.LoadResourceImage(Self(), kBanner), nullptr);
    EXPECT_EQ(cache.LoadScaledFileImage(L"res://102"), nullptr);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST(ImagePlacement, ContainFitsTheWholeImageCentred)
{
    ExpectRect(UIE::PlaceImage(100, 100, 200, 100, UIE::Contain), 0, 25, 100, 50);
    ExpectRect(UIE::PlaceImage(100, 100, 50, 100, UIE::Contain), 25, 0, 50, 100);
    ExpectRect(UIE::PlaceImage(1040, 520, 1040, 520, UIE::Contain), 0, 0, 1040, 520);
    ExpectRect(UIE::PlaceImage(100, 100, 200, 100, 7), 0, 25, 100, 50);
}

TEST(ImagePlacement, CoverFillsTheBoxAndOverflowsCentred)
{
    ExpectRect(UIE::PlaceImage(100, 100, 200, 100, UIE::Cover), -50, 0, 200, 100);
    ExpectRect(UIE::PlaceImage(100, 100, 50, 100, UIE::Cover), 0, -50, 100, 200);
}

TEST_F(ImagePaint, BannerAt192DpiIsDrawnPixelForPixel)
{
    DpiScope dpi(192);
    Gdiplus::Bitmap* banner = cache.LoadResourceImage(Self(), kBanner);
    ASSERT_NE(banner, nullptr);
    Gdiplus::Bitmap reference(SourceFilePath("resources/banner.png").c_str());
    ASSERT_EQ(reference.GetLastStatus(), Gdiplus::Ok);

    UIE::CUiImage image;
    Configure(image, 0, 0, 520, 260, banner);
    Canvas canvas(1050, 530);
    PaintImage(canvas, image);

    int opaque = 0;
    int translucent = 0;
    for (int y = 1; y < 520; y += 13) {
        for (int x = 3; x < 1040; x += 17) {
            Gdiplus::Color expected;
            reference.GetPixel(x, y, &expected);
            const uint32_t actual = canvas.At(x, y);
            const int a = expected.GetA();
            uint32_t want = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int source = (expected.GetValue() >> shift) & 0xFF;
                const int below = (kImageBackground >> shift) & 0xFF;
                want |= static_cast<uint32_t>((source * a + below * (255 - a) + 127) / 255) << shift;
            }
            if (a == 255) {
                ++opaque;
                ASSERT_EQ(Hex(actual), Hex(want)) << "(" << x << ", " << y << ")";
            } else {
                ++translucent;
                ASSERT_LE(ChannelDistance(actual, want), 3)
                    << "(" << x << ", " << y << ") alpha " << a << ": " << Hex(actual) << " vs " << Hex(want);
            }
        }
    }
    EXPECT_GT(opaque, 1000);
    EXPECT_GT(translucent, 10);
    EXPECT_EQ(Hex(canvas.At(1045, 100)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(500, 525)), Hex(kWhite));
}

TEST_F(ImagePaint, ContainInASquareLeavesEqualBandsAboveAndBelow)
{
    const auto bands = Bands(200, 100);
    UIE::CUiImage image;
    Configure(image, 0, 0, 100, 100, bands.get());
    Canvas canvas(100, 100);
    PaintImage(canvas, image);

    int above = 0;
    while (above < 100 && canvas.At(50, above) == kImageBackground)
        ++above;
    int below = 0;
    while (below < 100 && canvas.At(50, 99 - below) == kImageBackground)
        ++below;
    EXPECT_GE(above, 24);
    EXPECT_LE(above, 25);
    EXPECT_EQ(above, below);
    EXPECT_EQ(Hex(canvas.At(50, 50)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(5, 50)), Hex(0xFF0000));
    EXPECT_EQ(Hex(canvas.At(94, 50)), Hex(0x00FF00));
}

TEST_F(ImagePaint, CoverIsCutAtTheControlsClip)
{
    const auto bands = Bands(200, 100);
    UIE::CUiImage image;
    Configure(image, 50, 0, 100, 100, bands.get(), UIE::Cover);
    Canvas canvas(200, 100);
    PaintImage(canvas, image);

    // The image spans x = 0..199 but the control with its one-pixel margin only 49..150.
    EXPECT_EQ(Hex(canvas.At(47, 50)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(48, 50)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(151, 50)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(152, 50)), Hex(kWhite));
    EXPECT_LE(ChannelDistance(canvas.At(49, 50), 0xFF0000), 8) << Hex(canvas.At(49, 50));
    EXPECT_LE(ChannelDistance(canvas.At(150, 50), 0x00FF00), 8) << Hex(canvas.At(150, 50));
    EXPECT_EQ(Hex(canvas.At(52, 50)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(100, 0)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(100, 99)), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(147, 50)), Hex(0x0000FF));
}

TEST_F(ImagePaint, MissingImagePaintsTheBackgroundOnly)
{
    UIE::CUiImage image;
    Configure(image, 5, 5, 40, 40, cache.LoadResourceImage(Self(), kMissing));
    ASSERT_EQ(image.image, nullptr);
    Canvas canvas(50, 50);
    PaintImage(canvas, image);
    for (const POINT p : {POINT{5, 5}, POINT{44, 44}, POINT{25, 25}, POINT{44, 5}})
        EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(kImageBackground)) << p.x << ", " << p.y;
    for (const POINT p : {POINT{4, 4}, POINT{45, 45}, POINT{25, 45}, POINT{45, 25}})
        EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(kWhite)) << p.x << ", " << p.y;
}

TEST_F(ImagePaint, NegativeRadiusRoundsCornersByEightLogicalPixels)
{
    for (const int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        DpiScope scope(dpi);
        const int k = dpi / 96;
        UIE::CUiImage image;
        Configure(image, 5, 5, 40, 40, nullptr, UIE::Contain, -1);
        Canvas canvas(50 * k, 50 * k);
        PaintImage(canvas, image);
        const int left = 5 * k;
        EXPECT_EQ(Hex(canvas.At(left, left)), Hex(kWhite));
        // This pixel lies wholly outside a corner arc of radius 8 logical pixels but
        // mostly inside one of half that.
        const int in = left + (k == 1 ? 1 : 3);
        EXPECT_LE(ChannelDistance(canvas.At(in, in), kWhite), 6) << Hex(canvas.At(in, in));
        EXPECT_EQ(Hex(canvas.At(left + 20 * k, left)), Hex(kImageBackground));
        EXPECT_EQ(Hex(canvas.At(left, left + 20 * k)), Hex(kImageBackground));
    }
}

TEST_F(ImagePaint, RoundedCornersClipTheImageToo)
{
    const auto bands = Bands(100, 100);
    UIE::CUiImage image;
    Configure(image, 0, 0, 100, 100, bands.get(), UIE::Contain, -1);
    Canvas canvas(100, 100);
    PaintImage(canvas, image);
    EXPECT_EQ(Hex(canvas.At(0, 0)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(99, 99)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas.At(0, 50)), Hex(0xFF0000));
    EXPECT_EQ(Hex(canvas.At(50, 0)), Hex(0x0000FF));
}

TEST_F(ImagePaint, TransparentBackgroundLeavesWhatIsBelow)
{
    UIE::CUiImage image;
    Configure(image, 0, 0, 20, 20, nullptr);
    image.background = 0x00000000;
    Canvas canvas(20, 20, RGB(0x12, 0x34, 0x56));
    PaintImage(canvas, image);
    EXPECT_EQ(Hex(canvas.At(10, 10)), Hex(0x123456));
}

TEST_F(ImagePaint, PaintingLeavesNoGraphicsBehind)
{
    const auto bands = Bands(20, 20);
    UIE::CUiImage image;
    Configure(image, 0, 0, 20, 20, bands.get());
    Canvas canvas(20, 20);
    CanvasContext context(canvas);
    UIE::GetGraphics(*context);
    image.Paint(*context);
    EXPECT_EQ(context->graphics, nullptr);
}

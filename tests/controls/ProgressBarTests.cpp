#include "controls/PaintTestSupport.h"

#include "ui/framework/controls/ProgressBar.h"

#include <gtest/gtest.h>

#include <memory>

using namespace painttest;

namespace {

constexpr uint32_t kBar = 0xFF7467;
constexpr uint32_t kTrack = 0xEFEFEF;
constexpr int kLeft = 10; // the bar sits inside a white margin so spills would show
constexpr int kTop = 10;

// Paints a bar of (width × height) logical pixels at (kLeft, kTop) device pixels.
std::unique_ptr<Canvas> PaintBar(int width, int height, int value)
{
    UIE::CUiProgressBar bar;
    bar.x = kLeft;
    bar.y = kTop;
    bar.width = width;
    bar.height = height;
    bar.value = value;
    const UIE::UiRect device = bar.GetDeviceRect();
    auto canvas = std::make_unique<Canvas>(device.x + device.width + kLeft, device.y + device.height + kTop);
    CanvasContext context(*canvas);
    UIE::PaintControlTree(&bar, *context);
    return canvas;
}

bool LooksLikeBar(uint32_t pixel)
{
    return ChannelDistance(pixel, kBar) < ChannelDistance(pixel, kTrack);
}

// Pixels of the middle row, counted from the bar's left edge, that are more bar than track.
int BarPixelsInRow(const Canvas& canvas, int row, int trackWidth)
{
    int count = 0;
    for (int x = 0; x < trackWidth; ++x)
        count += LooksLikeBar(canvas.At(kLeft + x, row)) ? 1 : 0;
    return count;
}

bool AnyBarPixel(const Canvas& canvas)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (ChannelDistance(canvas.At(x, y), kBar) < 40)
                return true;
    return false;
}

} // namespace

TEST(ProgressBarPaint, TenPercentOfA472PixelTrackIs47Pixels)
{
    const auto canvas = PaintBar(472, 8, 10);
    const int row = kTop + 4;
    EXPECT_EQ(BarPixelsInRow(*canvas, row, 472), 47);
    for (const int x : {2, 20, 44})
        EXPECT_EQ(Hex(canvas->At(kLeft + x, row)), Hex(kBar)) << "x " << x;
    for (const int x : {47, 48, 200, 469})
        EXPECT_EQ(Hex(canvas->At(kLeft + x, row)), Hex(kTrack)) << "x " << x;
    EXPECT_EQ(Hex(canvas->At(kLeft + 472, row)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas->At(kLeft + 200, kTop + 8)), Hex(kWhite));
}

TEST(ProgressBarPaint, NothingOrLessThanAPixelDrawsTheTrackOnly)
{
    for (const int value : {0, -5, -1000})
        EXPECT_FALSE(AnyBarPixel(*PaintBar(472, 8, value))) << "value " << value;
    // 50 × 1 / 100 is below one pixel.
    EXPECT_FALSE(AnyBarPixel(*PaintBar(50, 8, 1)));
    const auto track = PaintBar(472, 8, 0);
    EXPECT_EQ(Hex(track->At(kLeft + 236, kTop + 4)), Hex(kTrack));
}

TEST(ProgressBarPaint, OverfullValueFillsExactlyTheTrack)
{
    const auto track = PaintBar(472, 8, 0);
    const auto full = PaintBar(472, 8, 250);
    const int row = kTop + 4;
    EXPECT_EQ(BarPixelsInRow(*full, row, 472), 472);
    EXPECT_EQ(Hex(full->At(kLeft + 236, row)), Hex(kBar));
    EXPECT_EQ(Hex(full->At(kLeft + 469, row)), Hex(kBar));
    // Wherever the track leaves the background alone, so does the full bar.
    for (int y = 0; y < full->Height(); ++y) {
        for (int x = 0; x < full->Width(); ++x) {
            if (track->At(x, y) == kWhite) {
                ASSERT_EQ(Hex(full->At(x, y)), Hex(kWhite)) << "(" << x << ", " << y << ")";
            }
        }
    }
}

TEST(ProgressBarPaint, ScalesWithTheDpi)
{
    DpiScope dpi(192);
    const auto canvas = PaintBar(472, 8, 10);
    EXPECT_EQ(canvas->Width(), 20 + 944 + 10);
    EXPECT_EQ(canvas->Height(), 20 + 16 + 10);
    // The bar's own left and top are scaled too: (20, 20).
    const int left = 20;
    const int top = 20;
    int bar = 0;
    for (int x = 0; x < 944; ++x)
        bar += LooksLikeBar(canvas->At(left + x, top + 8)) ? 1 : 0;
    EXPECT_EQ(bar, 94); // 944 × 10 / 100 = 94.4
    EXPECT_EQ(Hex(canvas->At(left + 500, top)), Hex(kTrack));
    EXPECT_EQ(Hex(canvas->At(left + 500, top + 15)), Hex(kTrack));
    EXPECT_EQ(Hex(canvas->At(left + 500, top + 16)), Hex(kWhite));
    EXPECT_EQ(Hex(canvas->At(left + 943, top + 8)), Hex(kTrack));
    EXPECT_EQ(Hex(canvas->At(left + 944, top + 8)), Hex(kWhite));
    // A corner radius of 8 leaves this pixel outside the pill; one of 4 would cover it.
    EXPECT_LE(ChannelDistance(canvas->At(left + 1, top + 1), kWhite), 4) << Hex(canvas->At(left + 1, top + 1));
    EXPECT_EQ(Hex(canvas->At(left + 472, top)), Hex(kTrack));
}

#include "controls/PaintTestSupport.h"

#include "ui/framework/controls/Label.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace painttest;

namespace {

constexpr int kMargin = 10; // canvas border around the label, where nothing may be drawn

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    uint32_t darkest = kWhite;
    bool Any() const { return right >= 0; }
};

bool IsInk(uint32_t pixel)
{
    return ChannelDistance(pixel, kWhite) > 60;
}

Ink FindInk(const Canvas& canvas, int fromX = 0, int toX = -1)
{
    Ink ink;
    if (toX < 0)
        toX = canvas.Width() - 1;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = fromX; x <= toX; ++x) {
            const uint32_t pixel = canvas.At(x, y);
            if (!IsInk(pixel))
                continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            if (ChannelDistance(pixel, kWhite) > ChannelDistance(ink.darkest, kWhite))
                ink.darkest = pixel;
        }
    return ink;
}

std::unique_ptr<Canvas> PaintLabel(const std::wstring& text, int width, int height,
                                   UIE::TextAlignment alignment = UIE::TextAlignment::Left,
                                   COLORREF colour = RGB(0x33, 0x33, 0x33))
{
    UIE::CUiLabel label;
    label.text = text;
    label.alignment = alignment;
    label.textColor = colour;
    label.fontSize = 12;
    Place(&label, kMargin, kMargin, width, height);
    const UIE::UiRect device = label.GetDeviceRect();
    auto canvas = std::make_unique<Canvas>(device.x + device.width + kMargin, device.y + device.height + kMargin);
    CanvasContext context(*canvas);
    UIE::PaintControlTree(&label, *context);
    return canvas;
}

} // namespace

TEST(LabelPaint, TextIsDrawnInsideTheRectInItsColour)
{
    const COLORREF blue = RGB(0x20, 0x40, 0xC0);
    const auto canvas = PaintLabel(L"卸载将删除安装目录中的程序文件", 300, 22, UIE::TextAlignment::Left, blue);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    EXPECT_GE(ink.left, kMargin);
    EXPECT_LE(ink.left, kMargin + 3) << "left aligned";
    EXPECT_LT(ink.right, kMargin + 300);
    EXPECT_GE(ink.top, kMargin);
    EXPECT_LT(ink.bottom, kMargin + 22);
    EXPECT_LE(ChannelDistance(ink.darkest, Rgb(0x20, 0x40, 0xC0)), 40) << Hex(ink.darkest);
}

TEST(LabelPaint, EmptyTextDrawsNothing)
{
    EXPECT_FALSE(FindInk(*PaintLabel(L"", 300, 22)).Any());
}

TEST(LabelPaint, CentredTextHasEqualMargins)
{
    const auto canvas = PaintLabel(L"Qelvo视频", 300, 22, UIE::TextAlignment::Center);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    const int leftGap = ink.left - kMargin;
    const int rightGap = kMargin + 299 - ink.right;
    EXPECT_LE(std::abs(leftGap - rightGap), 3) << leftGap << " vs " << rightGap;
    EXPECT_GT(leftGap, 50);
}

TEST(LabelPaint, RightAlignedTextEndsAtTheRightEdge)
{
    const auto canvas = PaintLabel(L"Qelvo视频", 300, 22, UIE::TextAlignment::Right);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    EXPECT_GE(ink.right, kMargin + 299 - 3);
    EXPECT_LT(ink.right, kMargin + 300);
}

TEST(LabelPaint, TextIsVerticallyCentredOnOneLine)
{
    const auto canvas = PaintLabel(L"第一行\n第二行\r\n第三行", 300, 60);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    EXPECT_LE(ink.bottom - ink.top, 16) << "one line of 12-pixel text";
    const int topGap = ink.top - kMargin;
    const int bottomGap = kMargin + 59 - ink.bottom;
    EXPECT_LE(std::abs(topGap - bottomGap), 4) << topGap << " vs " << bottomGap;
}

TEST(LabelPaint, LongTextEndsInAnEllipsis)
{
    const auto canvas = PaintLabel(L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 100, 22);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    EXPECT_LT(ink.right, kMargin + 100);
    EXPECT_GT(ink.right, kMargin + 80) << "the line is used up to near its end";
    // The last glyph is a row of dots: a narrow band, not a full-height letter.
    const Ink tail = FindInk(*canvas, ink.right - 1, ink.right);
    EXPECT_LE(tail.bottom - tail.top, 3) << "rows " << tail.top << ".." << tail.bottom;
    const Ink letters = FindInk(*canvas, ink.left, ink.left + 8);
    EXPECT_GE(letters.bottom - letters.top, 6);
}

TEST(LabelPaint, AmpersandIsDrawnAsIs)
{
    // With prefix processing "A&B" would come out as "AB" with an underlined B.
    const Ink withAmpersand = FindInk(*PaintLabel(L"A&B", 300, 22));
    const Ink without = FindInk(*PaintLabel(L"AB", 300, 22));
    ASSERT_TRUE(withAmpersand.Any());
    ASSERT_TRUE(without.Any());
    EXPECT_GE((withAmpersand.right - withAmpersand.left) - (without.right - without.left), 4);
}

TEST(LabelPaint, WidthFollowsTheDpi)
{
    DpiScope dpi(192);
    const auto canvas = PaintLabel(L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 100, 22);
    const Ink ink = FindInk(*canvas);
    ASSERT_TRUE(ink.Any());
    EXPECT_GE(ink.left, 2 * kMargin);
    EXPECT_GT(ink.right, 2 * kMargin + 160);
    EXPECT_LT(ink.right, 2 * kMargin + 200);
    EXPECT_GT(ink.bottom - ink.top, 12) << "24-pixel text";
}

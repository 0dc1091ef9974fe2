#include "controls/PaintTestSupport.h"

#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace painttest;

namespace {

constexpr uint32_t kButton = 0xFF7467;
constexpr uint32_t kDisabled = 0xD8D8D8;

struct ClickCounter {
    int clicks = 0;
    std::function<void()> Handler()
    {
        return [this] { ++clicks; };
    }
};

SetupUi::CActionButton* MakeButton(ClickCounter& counter)
{
    auto* button = new SetupUi::CActionButton(L"立即卸载", counter.Handler());
    Place(button, 0, 0, 132, 36);
    return button;
}

// Paints a 132 × 36 button at the canvas origin and reads a pixel clear of the
// caption and of the rounded corners.
uint32_t PaintedBodyColour(SetupUi::CActionButton& button)
{
    Canvas canvas(140, 40);
    CanvasContext context(canvas);
    UIE::PaintControlTree(&button, *context);
    return canvas.At(20, 6);
}

// Straight-alpha blend of a veil over an opaque colour, per channel.
uint32_t Veil(uint32_t base, uint32_t veil, int alpha)
{
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int b = (base >> shift) & 0xFF;
        const int v = (veil >> shift) & 0xFF;
        const int c = (v * alpha + b * (255 - alpha) + 127) / 255;
        result |= static_cast<uint32_t>(c) << shift;
    }
    return result;
}

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

InkBox FindInk(const Canvas& canvas, uint32_t background, int threshold)
{
    InkBox box;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (ChannelDistance(canvas.At(x, y), background) > threshold) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

} // namespace

TEST(ActionButtonClick, ReleaseInsideAfterAPressClicks)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    button->OnMouseEnter();
    button->OnMouseDown(10, 10);
    EXPECT_TRUE(button->isPressed);
    button->OnMouseUp(131, 35);
    EXPECT_EQ(counter.clicks, 1);
    EXPECT_FALSE(button->isPressed);

    button->OnMouseUp(10, 10); // no press before it
    EXPECT_EQ(counter.clicks, 1);
}

TEST(ActionButtonClick, ReleaseOutsideOrOnTheFarEdgeDoesNotClick)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    for (const POINT release : {POINT{132, 10}, POINT{10, 36}, POINT{-1, 10}, POINT{10, -1}, POINT{400, 300}}) {
        button->OnMouseDown(10, 10);
        button->OnMouseUp(release.x, release.y);
        EXPECT_FALSE(button->isPressed);
    }
    EXPECT_EQ(counter.clicks, 0);
}

TEST(ActionButtonClick, LeavingClearsThePress)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    button->OnMouseEnter();
    button->OnMouseDown(10, 10);
    button->OnMouseLeave();
    EXPECT_FALSE(button->isHovered);
    EXPECT_FALSE(button->isPressed);
    button->OnMouseUp(10, 10);
    EXPECT_EQ(counter.clicks, 0);
}

TEST(ActionButtonClick, DisabledButtonNeverClicksAndShowsTheArrow)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    button->enabled = false;
    EXPECT_FALSE(button->WantsHandCursor());
    button->OnMouseDown(10, 10);
    button->OnMouseUp(10, 10);
    EXPECT_EQ(counter.clicks, 0);
    EXPECT_FALSE(button->isPressed);

    button->enabled = true;
    EXPECT_TRUE(button->WantsHandCursor());
    button->OnMouseDown(10, 10);
    button->enabled = false; // disabled while held down
    button->OnMouseUp(10, 10);
    EXPECT_EQ(counter.clicks, 0);
}

TEST(ActionButtonClick, EmptyHandlerIsHarmless)
{
    SetupUi::CActionButton button(L"x", nullptr);
    Place(&button, 0, 0, 10, 10);
    button.OnMouseDown(1, 1);
    button.OnMouseUp(1, 1);
    EXPECT_FALSE(button.isPressed);
}

TEST(ActionButtonPaint, HoverAndPressVeilTheFill)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    const uint32_t normal = PaintedBodyColour(*button);
    button->isHovered = true;
    const uint32_t hovered = PaintedBodyColour(*button);
    button->isPressed = true;
    const uint32_t pressed = PaintedBodyColour(*button);

    EXPECT_EQ(Hex(normal), Hex(kButton));
    EXPECT_LE(ChannelDistance(hovered, Veil(kButton, 0xFFFFFF, 0x10)), 2) << Hex(hovered);
    EXPECT_LE(ChannelDistance(pressed, Veil(kButton, 0x000000, 0x14)), 2) << Hex(pressed);
    EXPECT_NE(hovered, normal);
    EXPECT_NE(pressed, hovered);
}

TEST(ActionButtonPaint, DisabledIsGreyWithoutVeils)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    button->enabled = false;
    EXPECT_EQ(Hex(PaintedBodyColour(*button)), Hex(kDisabled));
    button->isHovered = true;
    EXPECT_EQ(Hex(PaintedBodyColour(*button)), Hex(kDisabled));
    button->isPressed = true;
    EXPECT_EQ(Hex(PaintedBodyColour(*button)), Hex(kDisabled));
}

TEST(ActionButtonPaint, CaptionIsWhiteAndCentred)
{
    ClickCounter counter;
    std::unique_ptr<SetupUi::CActionButton> button(MakeButton(counter));
    Canvas canvas(132, 36);
    CanvasContext context(canvas);
    UIE::PaintControlTree(button.get(), *context);
    // Only the caption differs from the fill inside the rounded corners' reach.
    Canvas inner(132 - 12, 36 - 12);
    BitBlt(inner.Dc(), 0, 0, inner.Width(), inner.Height(), canvas.Dc(), 6, 6, SRCCOPY);
    const InkBox ink = FindInk(inner, kButton, 40);
    ASSERT_GE(ink.right, 0) << "no caption drawn";
    const int leftGap = ink.left + 6;
    const int rightGap = 131 - (ink.right + 6);
    EXPECT_LE(std::abs(leftGap - rightGap), 2) << leftGap << " vs " << rightGap;
    const int topGap = ink.top + 6;
    const int bottomGap = 35 - (ink.bottom + 6);
    EXPECT_LE(std::abs(topGap - bottomGap), 3) << topGap << " vs " << bottomGap;
    bool white = false;
    for (int y = ink.top; y <= ink.bottom && !white; ++y)
        for (int x = ink.left; x <= ink.right && !white; ++x)
            white = ChannelDistance(inner.At(x, y), kWhite) <= 8;
    EXPECT_TRUE(white) << "the caption is white";
}

TEST(ChromeButton, ClicksOnAnyReleaseInside)
{
    ClickCounter counter;
    SetupUi::CChromeButton button(SetupUi::ChromeGlyph::Close, counter.Handler());
    Place(&button, 484, 16, 20, 20);
    EXPECT_TRUE(button.WantsHandCursor());
    button.OnMouseUp(0, 0);
    button.OnMouseUp(19, 19);
    EXPECT_EQ(counter.clicks, 2);
    button.OnMouseUp(20, 5);
    button.OnMouseUp(5, 20);
    button.OnMouseUp(-1, 5);
    EXPECT_EQ(counter.clicks, 2);
    SetupUi::CChromeButton empty(SetupUi::ChromeGlyph::Minimize, nullptr);
    Place(&empty, 0, 0, 20, 20);
    empty.OnMouseUp(5, 5); // no handler: nothing to call, nothing to crash
}

TEST(ChromeButton, WideButtonDrawsItsGlyphInTheCentredSquare)
{
    SetupUi::CChromeButton button(SetupUi::ChromeGlyph::Close, nullptr);
    Place(&button, 0, 0, 60, 20);
    Canvas canvas(60, 20);
    CanvasContext context(canvas);
    UIE::PaintControlTree(&button, *context);
    const InkBox ink = FindInk(canvas, kWhite, 30);
    ASSERT_GE(ink.right, 0) << "no glyph drawn";
    // The cross spans grid 7..17 of a 20-pixel square that starts at x = 20.
    EXPECT_GE(ink.left, 24);
    EXPECT_LE(ink.right, 35);
    EXPECT_LE(std::abs((ink.left + ink.right) - 59), 2);
    EXPECT_LE(std::abs((ink.right - ink.left) - (ink.bottom - ink.top)), 1) << "a square cross";
    EXPECT_GE(ink.top, 4);
    EXPECT_LE(ink.bottom, 15);
}

TEST(ChromeButton, HoverDarkensTheBackgroundAndGlyphsDiffer)
{
    SetupUi::CChromeButton close(SetupUi::ChromeGlyph::Close, nullptr);
    SetupUi::CChromeButton minimize(SetupUi::ChromeGlyph::Minimize, nullptr);
    Place(&close, 0, 0, 20, 20);
    Place(&minimize, 0, 0, 20, 20);
    Canvas canvas(20, 20);
    {
        CanvasContext context(canvas);
        UIE::PaintControlTree(&close, *context);
    }
    EXPECT_EQ(Hex(canvas.At(10, 2)), Hex(kWhite)) << "transparent when idle";
    EXPECT_NE(Hex(canvas.At(7, 7)), Hex(kWhite)) << "the cross reaches towards the corner";

    canvas.Fill(RGB(0xFF, 0xFF, 0xFF));
    {
        CanvasContext context(canvas);
        UIE::PaintControlTree(&minimize, *context);
    }
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(kWhite)) << "the minimise bar stays on the middle line";
    EXPECT_NE(Hex(canvas.At(10, 10)), Hex(kWhite));

    canvas.Fill(RGB(0xFF, 0xFF, 0xFF));
    close.isHovered = true;
    {
        CanvasContext context(canvas);
        UIE::PaintControlTree(&close, *context);
    }
    EXPECT_LE(ChannelDistance(canvas.At(10, 2), Veil(kWhite, 0, 0x14)), 2) << Hex(canvas.At(10, 2));
}

// What the shown window's WM_PAINT draws again and what it copies from the kept frame:
// controls that count their paints, the window's pixels and its back buffer.
#include "WindowTestSupport.h"

#include "helpers/Canvas.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/window/UiWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

using windowtest::Place;
using zmxtest::Canvas;

namespace {

constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 0xFF);
constexpr COLORREF kGreen = RGB(0, 0x80, 0);

uint32_t Rgb(COLORREF colour)
{
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8)
        | GetBValue(colour);
}

// Fills its rectangle with one colour, or blends a colour over it, and counts its paints.
class Swatch : public UIE::CUiControl {
public:
    explicit Swatch(uint32_t argb) : argb(argb) {}
    void Paint(UIE::CUiPaintContext& context) override
    {
        ++paints;
        const UIE::UiRect area{0, 0, UIE::DpiScale(width), UIE::DpiScale(height)};
        if ((argb >> 24) == 0xFF)
            UIE::FillRectGdi(context, area, UIE::ArgbToColorRef(argb));
        else
            UIE::FillRoundRect(context, area, argb, 0);
    }
    uint32_t argb;
    int paints = 0;
};

uint32_t Opaque(COLORREF colour)
{
    return 0xFF000000u | Rgb(colour);
}

// The shown window with three swatches: a and b overlap, c lies apart.
class Repaint : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateWindowWithRoot());
        a = Place(root, new Swatch(Opaque(kRed)), 20, 20, 100, 60);
        b = Place(root, new Swatch(Opaque(kGreen)), 100, 60, 80, 60);
        c = Place(root, new Swatch(Opaque(kGreen)), 300, 200, 60, 60);
        ShowWindow(window.hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(window.hwnd);
        // Whatever the system still has to say about the new window, before counting.
        windowtest::PumpUntil([] { return false; }, 200);
        ResetCounts();
    }
    void TearDown() override { TearDownWindow(); }

    void ResetCounts() { a->paints = b->paints = c->paints = 0; }
    std::string Counts() const
    {
        return std::to_string(a->paints) + " " + std::to_string(b->paints) + " " + std::to_string(c->paints);
    }
    void Show() { UpdateWindow(window.hwnd); }

    // The client area as the window shows it, and the kept frame.
    uint32_t Shown(int x, int y)
    {
        Canvas canvas(x + 1, y + 1);
        const HDC dc = GetDC(window.hwnd);
        canvas.CopyFrom(dc);
        ReleaseDC(window.hwnd, dc);
        return canvas.At(x, y);
    }
    uint32_t Kept(int x, int y)
    {
        Canvas canvas(x + 1, y + 1);
        canvas.CopyFrom(window.backBuffer.Dc());
        return canvas.At(x, y);
    }

    Swatch* a = nullptr;
    Swatch* b = nullptr;
    Swatch* c = nullptr;
};

TEST_F(Repaint, SystemRepaintsWithNothingChangedCopyTheKeptFrame)
{
    RECT client{};
    GetClientRect(window.hwnd, &client);
    const RECT part{10, 10, 150, 100};
    const struct {
        const char* name;
        std::function<void()> ask;
    } requests[] = {
        {"whole client", [&] { InvalidateRect(window.hwnd, nullptr, FALSE); }},
        {"part of it", [&] { InvalidateRect(window.hwnd, &part, TRUE); }},
        {"non-client paint", [&] { Send(WM_NCPAINT, 1, 0); }},
        {"restore at the same size", [&] { Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom)); }},
        {"settings, nothing for the window", [&] { Send(WM_SETTINGCHANGE, SPI_SETMOUSESPEED, 0); }},
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.name);
        ResetCounts();
        request.ask();
        Show();
        EXPECT_EQ(Counts(), "0 0 0");
        EXPECT_EQ(Shown(50, 50), Rgb(kRed));
        EXPECT_EQ(Shown(150, 100), Rgb(kGreen)) << "b over a";
        EXPECT_EQ(Shown(330, 230), Rgb(kGreen));
        EXPECT_EQ(Shown(250, 150), Rgb(RGB(0xFF, 0xFF, 0xFF)));
    }
}

TEST_F(Repaint, ControlsInvalidateRepaintsItAndTheControlsMeetingIt)
{
    a->argb = Opaque(kBlue);
    a->Invalidate();
    Show();
    EXPECT_EQ(Counts(), "1 1 0");
    EXPECT_EQ(Shown(50, 50), Rgb(kBlue));
    EXPECT_EQ(Shown(110, 70), Rgb(kGreen)) << "b is still drawn over a";
    EXPECT_EQ(Kept(50, 50), Rgb(kBlue));

    // Once drawn, it is the kept frame.
    ResetCounts();
    InvalidateRect(window.hwnd, nullptr, FALSE);
    Show();
    EXPECT_EQ(Counts(), "0 0 0");
    EXPECT_EQ(Shown(50, 50), Rgb(kBlue));
}

TEST_F(Repaint, RedrawStaysWithinTheStaleRectangle)
{
    // A translucent swatch over a: drawn twice on itself it would darken.
    auto* veil = Place(root, new Swatch(0x80FF0000), 60, 40, 120, 20);
    window.Invalidate(nullptr);
    Show();
    const uint32_t veiled = Kept(150, 50);
    ASSERT_NE(veiled, Rgb(kRed));

    // a's rectangle ends at x = 120: the veil is painted again, but only within it.
    a->Invalidate();
    Show();
    EXPECT_EQ(veil->paints, 2);
    EXPECT_EQ(Kept(150, 50), veiled);
    EXPECT_EQ(Shown(150, 50), veiled);
}

TEST_F(Repaint, StaleAreaOutsideTheUpdateRectangleIsDrawnByALaterPaint)
{
    a->argb = Opaque(kBlue);
    a->Invalidate();
    // The system asks for the left half of a only.
    ValidateRect(window.hwnd, nullptr);
    const RECT left{20, 20, 70, 80};
    InvalidateRect(window.hwnd, &left, FALSE);
    Show();
    EXPECT_EQ(Shown(40, 50), Rgb(kBlue));

    const RECT right{70, 20, 120, 80};
    InvalidateRect(window.hwnd, &right, FALSE);
    Show();
    EXPECT_EQ(Shown(90, 50), Rgb(kBlue)) << "the right half was stale all along";
    EXPECT_EQ(Kept(90, 50), Rgb(kBlue));
}

TEST_F(Repaint, WindowStateChangesRedrawEverything)
{
    zmxtest::ThemeScope theme;
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"the window's own invalidation", [&] { window.Invalidate(nullptr); }},
        {"a new size", [&] {
             SetWindowPos(window.hwnd, nullptr, 0, 0, 560, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         }},
        {"a layout at another size", [&] { Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 300)); }},
        {"system colours", [&] { Send(WM_SYSCOLORCHANGE, 0, 0); }},
        // Wine always reports high contrast off: the window believes it on, and hears otherwise.
        {"high contrast switched", [&] {
             UIE::UiTheme.highContrast = true;
             Send(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
         }},
        {"a new root control", [&] { window.AddRootControl(new UIE::CUiControl()); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        Show();
        ResetCounts();
        change.change();
        Show();
        EXPECT_EQ(Counts(), "1 1 1");
        EXPECT_EQ(Shown(50, 50), Rgb(kRed));
    }
}

} // namespace

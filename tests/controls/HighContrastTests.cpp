// High contrast: every painter switches to the system colours, so text and button faces
// follow the user's scheme. Wine 8 keeps SPI_SETHIGHCONTRAST to itself (SPI_GETHIGHCONTRAST
// always reports it off), so the tests switch the theme's flag the way RefreshHighContrast
// would after reading the setting.
#include "controls/PaintTestSupport.h"

#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/drawing/HighContrast.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/UiImage.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/setup/Logo.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/framework/window/UiWindow.h"

#include <gtest/gtest.h>

#include <memory>

using namespace painttest;

namespace {

uint32_t System(int index)
{
    return UIE::SystemColourArgb(index) & 0xFFFFFF;
}

class HighContrastScope {
public:
    explicit HighContrastScope(bool on) : saved(UIE::UiTheme.highContrast) { UIE::UiTheme.highContrast = on; }
    ~HighContrastScope() { UIE::UiTheme.highContrast = saved; }
    HighContrastScope(const HighContrastScope&) = delete;
    HighContrastScope& operator=(const HighContrastScope&) = delete;

private:
    bool saved;
};

// Pixels of the canvas exactly of colour.
int Count(const Canvas& canvas, uint32_t colour)
{
    int n = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            n += canvas.At(x, y) == colour;
    return n;
}

void Paint(UIE::CUiControl& control, Canvas& canvas)
{
    CanvasContext context(canvas);
    UIE::PaintControlTree(&control, *context);
}

// A dark high-contrast scheme (as "High Contrast Black"), set through SetSysColors and put
// back afterwards: the outline and the text share one colour, as in the system's schemes.
class DarkScheme {
public:
    DarkScheme()
    {
        for (size_t i = 0; i < kCount; ++i)
            saved[i] = GetSysColor(kIndexes[i]);
        const COLORREF dark[kCount] = {RGB(0, 0, 0),          RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0),
                                       RGB(0xFF, 0xFF, 0xFF), RGB(0x1A, 0xEB, 0xFF), RGB(0, 0, 0),
                                       RGB(0x3F, 0xF2, 0x3F)};
        applied = SetSysColors(static_cast<int>(kCount), kIndexes, dark) != FALSE;
    }
    ~DarkScheme() { SetSysColors(static_cast<int>(kCount), kIndexes, saved); }
    DarkScheme(const DarkScheme&) = delete;
    DarkScheme& operator=(const DarkScheme&) = delete;
    bool applied = false;

private:
    static constexpr size_t kCount = 7;
    static constexpr INT kIndexes[kCount] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE, COLOR_BTNTEXT,
                                             COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
    COLORREF saved[kCount] = {};
};
constexpr INT DarkScheme::kIndexes[];

// A shown window with the keyboard focus, its cues on, for painting a focused control.
class FocusedWindow {
public:
    FocusedWindow()
    {
        window.logicalSize = SIZE{200, 100};
        if (!window.Create(GetModuleHandleW(nullptr)))
            return;
        ShowWindow(window.hwnd, SW_SHOW);
        SetForegroundWindow(window.hwnd);
        SetFocus(window.hwnd);
        window.keyboard.focusCuesShown = true;
    }
    bool Ready() const { return window.hwnd && window.HasKeyboardFocus(); }
    // Gives control to the window as its root and the focus to it.
    void Focus(UIE::CUiControl* control)
    {
        window.AddRootControl(control);
        UIE::SetKeyboardFocus(window, control);
    }

    UIE::CUiWindow window;
};

} // namespace

TEST(HighContrast, ActionButtonUsesTheSystemFaceOutlineAndText)
{
    HighContrastScope scope(true);
    SetupUi::CActionButton button(L"立即卸载", nullptr);
    Place(&button, 0, 0, 132, 36);
    Canvas canvas(140, 40, RGB(0x80, 0x40, 0x20));
    Paint(button, canvas);
    EXPECT_EQ(Hex(canvas.At(20, 8)), Hex(System(COLOR_BTNFACE)));
    EXPECT_EQ(Hex(canvas.At(66, 0)), Hex(System(COLOR_BTNTEXT)));
    EXPECT_EQ(Count(canvas, 0xFF7467), 0) << "the brand colour is gone";
    // The caption in the button text colour on the face.
    Canvas bare(140, 40, RGB(0x80, 0x40, 0x20));
    button.text.clear();
    Paint(button, bare);
    EXPECT_GT(Count(canvas, System(COLOR_BTNTEXT)), Count(bare, System(COLOR_BTNTEXT)) + 20);

    // Hovered: the highlight face.
    button.isHovered = true;
    Canvas hot(140, 40);
    Paint(button, hot);
    EXPECT_EQ(Hex(hot.At(20, 8)), Hex(System(COLOR_HIGHLIGHT)));
}

TEST(HighContrast, ChromeButtonGetsAFaceUnderItsGlyph)
{
    HighContrastScope scope(true);
    SetupUi::CChromeButton button(SetupUi::ChromeGlyph::Close, nullptr);
    Place(&button, 0, 0, 20, 20);
    Canvas canvas(20, 20, RGB(0xF0, 0xF4, 0xFA));
    Paint(button, canvas);
    EXPECT_EQ(Hex(canvas.At(3, 10)), Hex(System(COLOR_BTNFACE)));
    EXPECT_EQ(Hex(canvas.At(10, 0)), Hex(System(COLOR_BTNTEXT)));
    EXPECT_GT(Count(canvas, System(COLOR_BTNTEXT)), 20 + 10) << "outline and glyph";
}

TEST(HighContrast, LabelTextTakesTheWindowTextColour)
{
    struct Case {
        bool on;
        uint32_t colour;
    };
    UIE::CUiLabel label;
    label.text = L"卸载将删除安装目录中的程序文件";
    label.textColor = 0x8C8784;
    label.fontSize = 12;
    Place(&label, 0, 0, 220, 22);
    const Case cases[] = {{false, 0x84878C}, {true, System(COLOR_WINDOWTEXT)}};
    for (const Case& c : cases) {
        HighContrastScope scope(c.on);
        Canvas canvas(220, 22, c.colour == 0 ? RGB(0xFF, 0xFF, 0xFF) : RGB(0xFF, 0xFF, 0xFF));
        Paint(label, canvas);
        EXPECT_GT(Count(canvas, c.colour), 10) << "high contrast " << c.on << ", " << Hex(c.colour);
    }
}

TEST(HighContrast, ProgressBarFillsWithTheHighlightInsideAnOutline)
{
    HighContrastScope scope(true);
    UIE::CUiProgressBar bar;
    bar.value = 50;
    Place(&bar, 0, 0, 200, 8);
    Canvas canvas(200, 8, RGB(0x80, 0x40, 0x20));
    Paint(bar, canvas);
    EXPECT_EQ(Hex(canvas.At(50, 4)), Hex(System(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Hex(canvas.At(150, 4)), Hex(System(COLOR_WINDOW)));
    EXPECT_EQ(Hex(canvas.At(150, 0)), Hex(System(COLOR_WINDOWTEXT)));
    EXPECT_EQ(Count(canvas, 0xFF7467), 0);
}

// A bright banner would defeat a dark scheme: it is left out, the logo is not.
TEST(HighContrast, DecorationIsLeftOutAndThePictureThatMeansSomethingStays)
{
    Gdiplus::Bitmap picture(40, 20, PixelFormat32bppARGB);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            picture.SetPixel(x, y, Gdiplus::Color(0xFF, 0xF0, 0xE0, 0x30));
    struct Case {
        bool highContrast;
        bool decoration;
        bool drawn;
    };
    const Case cases[] = {{true, true, false}, {true, false, true}, {false, true, true}, {false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("high contrast ") + (c.highContrast ? "on" : "off") + ", decoration "
                     + (c.decoration ? "yes" : "no"));
        HighContrastScope scope(c.highContrast);
        UIE::CUiImage image;
        image.image = &picture;
        image.background = 0x00000000;
        image.cornerRadius = 0;
        image.hiddenInHighContrast = c.decoration;
        Place(&image, 0, 0, 40, 20);
        Canvas canvas(40, 20, RGB(0x10, 0x20, 0x30));
        Paint(image, canvas);
        EXPECT_EQ(Count(canvas, 0xF0E030) > 400, c.drawn);
        if (!c.drawn) {
            EXPECT_EQ(Count(canvas, 0x102030), 40 * 20) << "nothing drawn over what was there";
        }
    }
}

TEST(HighContrast, RefreshFollowsTheSystemSetting)
{
    HighContrastScope scope(true);
    HIGHCONTRASTW setting = {};
    setting.cbSize = sizeof(setting);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0));
    const bool on = (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
    EXPECT_TRUE(UIE::RefreshHighContrast() != on);
    EXPECT_EQ(UIE::HighContrastOn(), on);
    EXPECT_FALSE(UIE::RefreshHighContrast());
}

// In a scheme where the outline and the text share a colour, the focus ring is a band of
// the caption's colour inside the outline with a gap of the face between, on the resting
// and the hovered face alike; without the focus that band is the face.
TEST(HighContrast, FocusRingStandsApartFromTheOutline)
{
    DarkScheme scheme;
    ASSERT_TRUE(scheme.applied);
    struct Case {
        const char* what;
        bool action;
        bool hot;
        int face, ink;
    };
    const Case cases[] = {{"action button", true, false, COLOR_BTNFACE, COLOR_BTNTEXT},
                          {"hovered action button", true, true, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT},
                          {"chrome button", false, false, COLOR_BTNFACE, COLOR_BTNTEXT},
                          {"hovered chrome button", false, true, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FocusedWindow host;
        ASSERT_TRUE(host.Ready());
        // After the window's creation, which reads the system's setting (off under Wine).
        HighContrastScope scope(true);
        auto* panel = new UIE::CUiControl();
        SetupUi::CPushButton* button = nullptr;
        if (c.action)
            button = Place(panel, new SetupUi::CActionButton(L"立即卸载", nullptr), 0, 0, 132, 36);
        else
            button = Place(panel, new SetupUi::CChromeButton(SetupUi::ChromeGlyph::Close, nullptr), 0, 0, 20, 20);
        button->isHovered = c.hot;
        host.Focus(panel);
        const int w = c.action ? 132 : 20, h = c.action ? 36 : 20;

        Canvas unfocused(w, h);
        Paint(*button, unfocused);
        UIE::SetKeyboardFocus(host.window, button);
        Canvas focused(w, h);
        Paint(*button, focused);
        // Along the middle row from the left edge: outline, gap, a band of two, face.
        const int y = h / 2;
        const uint32_t face = System(c.face), ink = System(c.ink);
        EXPECT_EQ(Hex(unfocused.At(2, y)), Hex(face));
        EXPECT_EQ(Hex(focused.At(1, y)), Hex(face)) << "no gap between the outline and the ring";
        EXPECT_EQ(Hex(focused.At(2, y)), Hex(ink));
        EXPECT_EQ(Hex(focused.At(3, y)), Hex(ink));
        EXPECT_EQ(Hex(focused.At(4, y)), Hex(face));
        EXPECT_EQ(Hex(focused.At(w - 3, y)), Hex(ink));
        EXPECT_EQ(Hex(focused.At(w / 2, 2)), Hex(ink)) << "the ring's top";
    }
}

// The logo's wordmark is dark grey; on a dark scheme's background it would vanish with the
// only product name on screen, so in high contrast the name is text in the window text colour.
TEST(HighContrast, ProductNameIsTextInTheWindowTextColour)
{
    DarkScheme scheme;
    ASSERT_TRUE(scheme.applied);
    UIE::CUiImageCache& cache = UIE::CUiImageCache::Instance();
    Gdiplus::Bitmap* picture = cache.LoadResourceImage(GetModuleHandleW(nullptr), 103);
    ASSERT_NE(picture, nullptr);
    const uint32_t text = System(COLOR_WINDOWTEXT);
    struct Seen {
        int text;
        int dark;
    };
    auto paint = [&](int width, Gdiplus::Bitmap* image) {
        SetupUi::CLogo logo;
        logo.image = image;
        logo.background = 0x00000000;
        logo.cornerRadius = 0;
        logo.accessibleName = L"Qelvo视频格式转换器";
        Place(&logo, 0, 0, width, 24);
        Canvas canvas(440, 24, RGB(0, 0, 0));
        Paint(logo, canvas);
        Seen seen{Count(canvas, text), 0};
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                const uint32_t p = canvas.At(x, y);
                seen.dark += p != 0 && ((p >> 16) & 0xFF) < 0x70 && ((p >> 8) & 0xFF) < 0x70 && (p & 0xFF) < 0x70;
            }
        return seen;
    };
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "high contrast" : "normal");
        HighContrastScope scope(on);
        const Seen seen = paint(140, picture);
        const Seen bare = paint(140, nullptr);
        if (on) {
            EXPECT_GT(seen.text, 150) << "the name in the window text colour";
            EXPECT_EQ(seen.dark, bare.dark) << "no dark picture on the dark background";
        } else {
            EXPECT_GT(seen.dark, bare.dark + 150) << "the picture as it is";
        }
    }
    cache.Clear();
}

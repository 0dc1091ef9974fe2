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

// The uninstall window's content as BuildContent makes it, with the artwork taken from the
// built Uninstall.exe: each child's kind and first visibility, and what must hold of any
// layout (inside the window, apart within a layout, out of the drag band, in Tab order).
#include "app/UninstallerApp.h"
#include "helpers/TestSupport.h"

#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/setup/Logo.h"
#include "ui/setup/Look.h"
#include "ui/setup/Window.h"
#include "ui/framework/base/Dpi.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"
#include "ui/framework/window/KeyboardFocus.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

enum class Kind { Image, Chrome, Action, Label, Bar };

struct Row {
    const char* name;
    Kind kind;
    bool visible;
};

// Every child of the root panel, in drawing order, as the window shows it at start.
const Row kRows[] = {
    {"banner", Kind::Image, true},
    {"logo", Kind::Image, true},
    {"closeButton", Kind::Chrome, true},
    {"minimizeButton", Kind::Chrome, false},
    {"uninstallButton", Kind::Action, true},
    {"descriptionLabel", Kind::Label, true},
    {"statusLabel", Kind::Label, false},
    {"progressBar", Kind::Bar, false},
};

// A control's rectangle in device pixels at dpi, each edge scaled as the window scales it.
RECT DeviceRect(const UIE::CUiControl* control, int dpi)
{
    return RECT{UIE::DpiScaleAt(control->x, dpi), UIE::DpiScaleAt(control->y, dpi),
                UIE::DpiScaleAt(control->x + control->width, dpi),
                UIE::DpiScaleAt(control->y + control->height, dpi)};
}

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Overlap(const UIE::CUiControl* a, const UIE::CUiControl* b)
{
    return a->x < b->x + b->width && b->x < a->x + a->width && a->y < b->y + b->height &&
           b->y < a->y + a->height;
}

bool IsKind(UIE::CUiControl* control, Kind kind)
{
    switch (kind) {
    case Kind::Image:
        return dynamic_cast<UIE::CUiImage*>(control) != nullptr;
    case Kind::Chrome:
        return dynamic_cast<SetupUi::CChromeButton*>(control) != nullptr;
    case Kind::Action:
        return dynamic_cast<SetupUi::CActionButton*>(control) != nullptr;
    case Kind::Label:
        return dynamic_cast<UIE::CUiLabel*>(control) != nullptr;
    case Kind::Bar:
        return dynamic_cast<UIE::CUiProgressBar*>(control) != nullptr;
    }
    return false;
}

// BuildContent on a window without a handle, loading its artwork from the real exe.
class WindowContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdiplus = std::make_unique<UIE::CGdiplusSession>();
        ASSERT_TRUE(gdiplus->Started());
        exe = LoadLibraryExW(zmxtest::UninstallExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(exe, nullptr);
        savedTheme = UIE::UiTheme;
        UIE::UiTheme.primaryText = 0xFF333333;
        app = new UninstallerApp();
        app->instance = exe;
        app->BuildContent();
        ASSERT_EQ(app->window.rootControls.size(), 1u);
        panel = app->window.rootControls[0];
    }

    void TearDown() override
    {
        delete app;
        UIE::CUiImageCache::Instance().Clear();
        UIE::UiTheme = savedTheme;
        if (exe)
            FreeLibrary(exe);
        gdiplus.reset();
    }

    template <typename Control>
    Control* Child(size_t index) const
    {
        return index < panel->children.size() ? dynamic_cast<Control*>(panel->children[index]) : nullptr;
    }

    // The flow's two layouts: what the window shows before the click and while removing,
    // each with its tab stops in the order Tab visits them.
    struct FlowLayout {
        const char* name;
        bool busy;
        std::vector<UIE::CUiControl*> controls;
        std::vector<UIE::CUiControl*> tabStops;
    };
    std::vector<FlowLayout> FlowLayouts() const
    {
        const WindowControls& c = app->Controls();
        return {{"idle", false, {c.uninstallButton, c.descriptionLabel, c.closeButton}, {c.uninstallButton, c.closeButton}},
                {"busy", true, {c.minimizeButton, c.statusLabel, c.progressBar}, {c.minimizeButton, c.progressBar}}};
    }

    std::unique_ptr<UIE::CGdiplusSession> gdiplus;
    HMODULE exe = nullptr;
    UIE::UiThemeColors savedTheme;
    UninstallerApp* app = nullptr;
    UIE::CUiControl* panel = nullptr;
};

TEST_F(WindowContent, ChildrenFollowTheLayoutTableInOrder)
{
    EXPECT_EQ(panel->parent, nullptr);
    EXPECT_TRUE(panel->visible);
    EXPECT_FALSE(panel->mouseTransparent);
    ASSERT_EQ(panel->children.size(), std::size(kRows));
    for (size_t i = 0; i < std::size(kRows); ++i) {
        const Row& row = kRows[i];
        UIE::CUiControl* control = panel->children[i];
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(IsKind(control, row.kind));
        EXPECT_EQ(control->parent, panel);
        EXPECT_EQ(control->visible, row.visible);
        EXPECT_TRUE(control->enabled);
        EXPECT_TRUE(control->children.empty());
    }
}

TEST_F(WindowContent, EveryControlLiesInsideTheWindow)
{
    ASSERT_EQ(panel->children.size(), std::size(kRows));
    for (size_t i = 0; i < std::size(kRows); ++i) {
        const UIE::CUiControl* control = panel->children[i];
        SCOPED_TRACE(kRows[i].name);
        EXPECT_GT(control->width, 0);
        EXPECT_GT(control->height, 0);
        EXPECT_GE(control->x, 0);
        EXPECT_GE(control->y, 0);
        EXPECT_LE(control->x + control->width, SetupUi::kWindowWidth);
        EXPECT_LE(control->y + control->height, SetupUi::kWindowHeight);
    }
}

TEST_F(WindowContent, ControlsOfOneLayoutAndTheLogoDoNotOverlap)
{
    UIE::CUiControl* logo = panel->children[1];
    for (const FlowLayout& layout : FlowLayouts()) {
        SCOPED_TRACE(layout.name);
        std::vector<UIE::CUiControl*> shown = layout.controls;
        shown.push_back(logo);
        for (size_t i = 0; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(Overlap(shown[i], shown[j])) << "controls " << i << " and " << j;
    }
}

// The band drags only where the pictures are: no pixel over a button, label or bar, and
// none below the banner, at any scale. The logo takes no clicks, so it drags.
TEST_F(WindowContent, OnlyThePicturesLieInTheDragBand)
{
    for (int dpi : {96, 120, 144, 168, 192}) {
        SCOPED_TRACE(dpi);
        const RECT banner = DeviceRect(panel->children[0], dpi);
        const RECT logo = DeviceRect(panel->children[1], dpi);
        std::vector<RECT> others;
        for (size_t i = 2; i < panel->children.size(); ++i)
            others.push_back(DeviceRect(panel->children[i], dpi));
        int misplaced = 0;
        const int width = UIE::DpiScaleAt(SetupUi::kWindowWidth, dpi);
        const int height = UIE::DpiScaleAt(SetupUi::kWindowHeight, dpi);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (SetupUi::DragRegionHitTest(x, y, dpi, true) != HTCAPTION)
                    continue;
                bool overControl = false;
                for (const RECT& r : others)
                    overControl = overControl || Contains(r, x, y);
                if (overControl || !Contains(banner, x, y))
                    ++misplaced;
            }
        EXPECT_EQ(misplaced, 0);
        EXPECT_EQ(SetupUi::DragRegionHitTest((logo.left + logo.right) / 2, (logo.top + logo.bottom) / 2, dpi, true),
                  HTCAPTION);
    }
}

// Each layout's tab stops are its buttons and its bar: the action button before the
// caption button, the caption button before the bar.
TEST_F(WindowContent, EachLayoutTabsThroughItsOwnStops)
{
    for (const FlowLayout& layout : FlowLayouts()) {
        SCOPED_TRACE(layout.name);
        app->ShowLayout(layout.busy);
        EXPECT_EQ(UIE::TabStops(app->window.rootControls), layout.tabStops);
    }
}

TEST_F(WindowContent, ApplicationNamesEachChildOfThePanel)
{
    const WindowControls& c = app->Controls();
    // In the order of kRows, after the two pictures.
    const UIE::CUiControl* const named[] = {c.closeButton,      c.minimizeButton, c.uninstallButton,
                                            c.descriptionLabel, c.statusLabel,    c.progressBar};
    ASSERT_EQ(panel->children.size(), std::size(kRows));
    for (size_t i = 0; i < std::size(named); ++i)
        EXPECT_EQ(named[i], panel->children[i + 2]) << kRows[i + 2].name;
}

TEST_F(WindowContent, ImagesShowTheBannerAndTheLogoWhole)
{
    struct Expected {
        size_t index;
        unsigned width, height; // pixels of the artwork
    };
    for (const Expected& e : {Expected{0, 1040, 520}, Expected{1, 280, 48}}) {
        auto* image = Child<UIE::CUiImage>(e.index);
        ASSERT_NE(image, nullptr) << e.index;
        EXPECT_EQ(static_cast<int>(image->fit), static_cast<int>(UIE::Contain)) << e.index;
        ASSERT_NE(image->image, nullptr) << e.index;
        EXPECT_EQ(image->image->GetWidth(), e.width);
        EXPECT_EQ(image->image->GetHeight(), e.height);
    }
}

TEST_F(WindowContent, ButtonsHaveTheirGlyphsAndCaption)
{
    auto* close = Child<SetupUi::CChromeButton>(2);
    auto* minimize = Child<SetupUi::CChromeButton>(3);
    auto* uninstall = Child<SetupUi::CActionButton>(4);
    ASSERT_NE(close, nullptr);
    ASSERT_NE(minimize, nullptr);
    ASSERT_NE(uninstall, nullptr);
    EXPECT_EQ(static_cast<int>(close->kind), 0);    // close glyph
    EXPECT_EQ(static_cast<int>(minimize->kind), 1); // minimise glyph
    EXPECT_TRUE(static_cast<bool>(close->onClick));
    EXPECT_TRUE(static_cast<bool>(minimize->onClick));
    EXPECT_EQ(uninstall->text, L"立即卸载");
    EXPECT_TRUE(static_cast<bool>(uninstall->onClick));
}

TEST_F(WindowContent, LabelsHaveTheirTextsSizesColoursAndAlignment)
{
    struct Expected {
        size_t index;
        const wchar_t* text;
        COLORREF colour; // 0x00BBGGRR
        int alignment;   // 0 left, 1 centre
    };
    const Expected labels[] = {
        {5, L"卸载将删除安装目录中的程序文件", 0x8C8784, 1},
        {6, L"正在卸载，请稍候……", 0x333333, 0},
    };
    for (const Expected& e : labels) {
        auto* label = Child<UIE::CUiLabel>(e.index);
        ASSERT_NE(label, nullptr) << e.index;
        EXPECT_EQ(label->text, e.text) << e.index;
        EXPECT_EQ(label->fontSize, 12) << e.index;
        EXPECT_FALSE(label->isBold) << e.index;
        EXPECT_EQ(label->textColor, e.colour) << e.index;
        EXPECT_EQ(static_cast<int>(label->alignment), e.alignment) << e.index;
    }
}

TEST_F(WindowContent, ProgressBarStartsEmpty)
{
    auto* bar = Child<UIE::CUiProgressBar>(7);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value, 0);
}

} // namespace

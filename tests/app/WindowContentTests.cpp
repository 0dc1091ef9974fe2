// The uninstall window's content as BuildContent makes it, row by row against the
// layout the window must have, with the artwork taken from the built Uninstall.exe.
#include "app/UninstallerApp.h"
#include "helpers/TestSupport.h"

#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

enum class Kind { Image, Chrome, Action, Label, Bar };

struct Row {
    const char* name;
    Kind kind;
    int x, y, width, height;
    bool visible;
};

// Every child of the root panel, in drawing order, as the window shows it at start.
const Row kRows[] = {
    {"banner", Kind::Image, 0, 0, 520, 260, true},
    {"logo", Kind::Image, 16, 16, 140, 24, true},
    {"closeButton", Kind::Chrome, 484, 16, 20, 20, true},
    {"minimizeButton", Kind::Chrome, 484, 16, 20, 20, false},
    {"uninstallButton", Kind::Action, 194, 280, 132, 36, true},
    {"descriptionLabel", Kind::Label, 24, 334, 472, 22, true},
    {"statusLabel", Kind::Label, 24, 292, 472, 22, false},
    {"progressBar", Kind::Bar, 24, 326, 472, 8, false},
};

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
        EXPECT_EQ(control->x, row.x);
        EXPECT_EQ(control->y, row.y);
        EXPECT_EQ(control->width, row.width);
        EXPECT_EQ(control->height, row.height);
        EXPECT_EQ(control->visible, row.visible);
        EXPECT_TRUE(control->enabled);
        EXPECT_TRUE(control->children.empty());
    }
}

TEST_F(WindowContent, ApplicationPointsAtTheSixControlsOfTheFlow)
{
    ASSERT_EQ(panel->children.size(), std::size(kRows));
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->closeButton), panel->children[2]);
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->minimizeButton), panel->children[3]);
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->uninstallButton), panel->children[4]);
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->descriptionLabel), panel->children[5]);
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->statusLabel), panel->children[6]);
    EXPECT_EQ(static_cast<UIE::CUiControl*>(app->progressBar), panel->children[7]);
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

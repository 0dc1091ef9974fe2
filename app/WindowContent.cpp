#include "app/UninstallerApp.h"

#include "resources/Resources.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"

namespace {

template <typename Control>
Control* Place(UIE::CUiControl* panel, Control* control, int x, int y, int width, int height)
{
    return UIE::PlaceChild(panel, control, UIE::UiRect{x, y, width, height});
}

UIE::CUiImage* MakeImage(HINSTANCE instance, unsigned resourceId)
{
    auto* image = new UIE::CUiImage();
    image->fit = UIE::Contain;
    image->cornerRadius = 0;
    // The artwork has its own alpha; a grey box behind the logo would show on the banner.
    image->background = 0x00000000;
    image->image = UIE::CUiImageCache::Instance().LoadResourceImage(instance, resourceId);
    return image;
}

UIE::CUiLabel* MakeLabel(const wchar_t* text)
{
    auto* label = new UIE::CUiLabel();
    label->text = text;
    label->fontSize = 12;
    label->isBold = false;
    return label;
}

} // namespace

void UninstallerApp::BuildContent()
{
    auto* panel = new UIE::CUiControl();

    auto* banner = MakeImage(instance, IDR_BANNER_PNG);
    Place(panel, banner, 0, 0, 520, 260);
    auto* logo = MakeImage(instance, IDR_LOGO_PNG);
    logo->accessibleName = L"Qelvo视频格式转换器";
    Place(panel, logo, 16, 16, 140, 24);

    closeButton = Place(panel, new SetupUi::CChromeButton(SetupUi::ChromeGlyph::Close, [this] {
        if (window.hwnd)
            PostMessageW(window.hwnd, WM_CLOSE, 0, 0);
    }), 484, 16, 20, 20);
    minimizeButton = Place(panel, new SetupUi::CChromeButton(SetupUi::ChromeGlyph::Minimize, [this] {
        ShowWindow(window.hwnd, SW_MINIMIZE);
    }), 484, 16, 20, 20);
    minimizeButton->visible = false;

    uninstallButton = Place(panel, new SetupUi::CActionButton(L"立即卸载", [this] { ConfirmAndStart(); }),
                            194, 280, 132, 36);

    descriptionLabel = Place(panel, MakeLabel(L"卸载将删除安装目录中的程序文件"), 24, 334, 472, 22);
    descriptionLabel->textColor = 0x8C8784;
    descriptionLabel->alignment = UIE::TextAlignment::Center;

    statusLabel = Place(panel, MakeLabel(L"正在卸载，请稍候……"), 24, 292, 472, 22);
    statusLabel->visible = false;

    progressBar = Place(panel, new UIE::CUiProgressBar(), 24, 326, 472, 8);
    progressBar->value = 0;
    progressBar->visible = false;

    window.AddRootControl(panel);
}

#include "app/UninstallerApp.h"

#include "base/WindowDc.h"
#include "resources/Resources.h"
#include "ui/framework/base/Dpi.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/images/UiImage.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/setup/Layout.h"
#include "ui/setup/Logo.h"

#include <memory>

namespace {

// One of the window's two pictures: its resource and place. The banner lies
// on the window's background, so it may paint that itself: the image control can then
// keep it as one opaque picture and copy it on a repaint. The logo lies on the banner
// and has its own alpha; a box behind it would show.
struct Artwork {
    unsigned resourceId;
    UIE::UiRect bounds;
    bool onWindowBackground;
};

const Artwork kBanner{IDR_BANNER_PNG, SetupUi::Layout::kBanner, true};
const Artwork kLogo{IDR_LOGO_PNG, SetupUi::Layout::kLogo, false};

template <typename Image = UIE::CUiImage>
Image* MakeImage(HINSTANCE instance, const Artwork& artwork)
{
    auto* image = new Image();
    image->x = artwork.bounds.x;
    image->y = artwork.bounds.y;
    image->width = artwork.bounds.width;
    image->height = artwork.bounds.height;
    image->fit = UIE::Contain;
    image->cornerRadius = 0;
    image->background = 0x00000000;
    image->onWindowBackground = artwork.onWindowBackground;
    image->image = UIE::CUiImageCache::Instance().LoadResourceImage(instance, artwork.resourceId);
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

void UninstallerApp::DecodeArtwork(HINSTANCE instance)
{
    for (const Artwork* artwork : {&kBanner, &kLogo})
        UIE::CUiImageCache::Instance().LoadResourceImage(instance, artwork->resourceId);
}

void UninstallerApp::PrepareArtwork(HINSTANCE instance, int dpi)
{
    // The root panel lies at the client area's origin, so a picture's place in the
    // back buffer is its own rectangle's scaled top-left corner.
    const Base::WindowDc screen(nullptr);
    for (const Artwork* artwork : {&kBanner, &kLogo}) {
        const std::unique_ptr<UIE::CUiImage> image(MakeImage(instance, *artwork));
        image->PrepareLayer(screen.get(), UIE::DpiScaleAt(artwork->bounds.x, dpi),
                            UIE::DpiScaleAt(artwork->bounds.y, dpi), dpi);
    }
}

void UninstallerApp::BuildContent()
{
    namespace Layout = SetupUi::Layout;
    using UIE::PlaceChild;
    auto* panel = new UIE::CUiControl();

    auto* banner = MakeImage(instance, kBanner);
    banner->hiddenInHighContrast = true;
    panel->AddChild(banner);
    auto* logo = MakeImage<SetupUi::CLogo>(instance, kLogo);
    logo->accessibleName = L"Qelvo视频格式转换器";
    panel->AddChild(logo);

    auto* closeButton = PlaceChild(panel, new SetupUi::CChromeButton(SetupUi::ChromeGlyph::Close, [this] {
        if (window.hwnd)
            PostMessageW(window.hwnd, WM_CLOSE, 0, 0);
    }), Layout::kCaptionButton);
    auto* minimizeButton = PlaceChild(panel, new SetupUi::CChromeButton(SetupUi::ChromeGlyph::Minimize, [this] {
        ShowWindow(window.hwnd, SW_MINIMIZE);
    }), Layout::kCaptionButton);
    minimizeButton->visible = false;

    auto* uninstallButton = PlaceChild(panel, new SetupUi::CActionButton(L"立即卸载", [this] { ConfirmAndStart(); }),
                                       Layout::kUninstallButton);

    auto* descriptionLabel = PlaceChild(panel, MakeLabel(L"卸载将删除安装目录中的程序文件"), Layout::kDescription);
    descriptionLabel->textColor = 0x8C8784;
    descriptionLabel->alignment = UIE::TextAlignment::Center;
    // Readers speak the button's description with it when the window opens on it.
    uninstallButton->describedBy = descriptionLabel;

    auto* statusLabel = PlaceChild(panel, MakeLabel(L"正在卸载，请稍候……"), Layout::kStatus);
    statusLabel->visible = false;

    auto* progressBar = PlaceChild(panel, new UIE::CUiProgressBar(), Layout::kProgressBar);
    progressBar->value = 0;
    progressBar->visible = false;
    progressBar->labelledBy = statusLabel;
    progressBar->focusable = true;

    // As in a dialog: Enter presses it, and it has the focus when the window opens;
    // Escape presses the close button while it is shown.
    window.keyboard.defaultControl = uninstallButton;
    window.keyboard.cancelControl = closeButton;
    controls = {closeButton, minimizeButton, uninstallButton, descriptionLabel, statusLabel, progressBar};

    window.AddRootControl(panel);
}

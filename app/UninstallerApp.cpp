#include "app/UninstallerApp.h"

#include "ui/framework/base/Dpi.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/setup/Look.h"

namespace {

void ChooseUiFont()
{
    if (UIE::defaultFontFamily)
        return;
    {
        const Gdiplus::FontFamily probe(L"微软雅黑", nullptr);
        UIE::uiFontFace = probe.GetLastStatus() == Gdiplus::Ok ? L"微软雅黑" : L"宋体";
    }
    UIE::defaultFontFamily = std::make_unique<Gdiplus::FontFamily>(UIE::uiFontFace.c_str(), nullptr);
    if (UIE::defaultFontFamily->GetLastStatus() != Gdiplus::Ok)
        UIE::defaultFontFamily.reset(Gdiplus::FontFamily::GenericSansSerif()->Clone());
}

} // namespace

UninstallerApp::~UninstallerApp()
{
    WaitForWorker();
    // Prepared for a directory that was then refused.
    if (gdiplusToken)
        ReleaseUiResources();
}

void UninstallerApp::PrepareUi(HINSTANCE module)
{
    if (gdiplusToken)
        return;
    instance = module;
    // Before anything reads the DPI, on this thread or the helper's.
    UIE::MakeProcessDpiAware();
    gdiplusToken = std::make_unique<UIE::CGdiplusSession>();
    // Before the helper starts: it draws the banner on the window's background colour.
    UIE::UiTheme = SetupUi::kTheme;
    // Decoding the artwork and drawing it at the screen's size takes longer than
    // checking the directory and creating the window together, so a helper starts on it
    // first. The decoding needs no display; the helper asks for the DPI only after it,
    // when this thread has usually paid for the first, slow question to the display.
    // The process-wide value belongs to the window thread.
    StartWorkerThread(artwork, [module] {
        DecodeArtwork(module);
        // Without an answer the first paint draws the layers at the DPI it finds.
        if (const int dpi = UIE::ReadDpi(nullptr))
            PrepareArtwork(module, dpi);
    });
}

void UninstallerApp::WaitForArtwork()
{
    if (artwork.joinable())
        artwork.join();
}

void UninstallerApp::ReleaseUiResources()
{
    WaitForArtwork();
    UIE::CUiImageCache::Instance().Clear();
    UIE::ReleaseGdiplusFontCache();
    UIE::defaultFontFamily.reset();
    gdiplusToken.reset();
}

void UninstallerApp::WaitForWorker()
{
    if (worker.joinable())
        worker.join();
}

int UninstallerApp::Run(HINSTANCE instanceHandle, int showCommand, const AcceptedFolder& dir)
{
    PrepareUi(instanceHandle);
    installDir = dir;
    UIE::RefreshDpi(nullptr);
    ChooseUiFont();
    const bool created = window.Create(instance);
    // The content is built from the cache only after the helper has finished, so the
    // first frame is always complete; without a helper the content decodes and draws the
    // artwork on the way.
    WaitForArtwork();
    if (!created) {
        ReleaseUiResources();
        return 1;
    }
    BuildContent();
    window.messageHook = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return HandleHookMessage(message, wParam, lParam);
    };
    ShowWindow(window.hwnd, showCommand);
    UpdateWindow(window.hwnd);
    // The launcher that started this copy has let it take the foreground; without asking,
    // the window may open behind the one the user clicked in.
    if (ShowCommandTakesForeground(showCommand))
        SetForegroundWindow(window.hwnd);

    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A window closed from outside during a removal must not leave the worker
    // running against a dying object.
    WaitForWorker();
    ReleaseUiResources();
    return static_cast<int>(message.wParam);
}

LRESULT UninstallerApp::HandleHookMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    // A logoff or restart halfway through the tree would leave a product that neither
    // runs nor uninstalls: refuse while busy (the reason was given in SetBusy). When the
    // session ends anyway, the process may be ended once this returns, so the removal
    // finishes first; its result is posted and never shown.
    if (message == WM_QUERYENDSESSION && Busy())
        return FALSE;
    if (message == WM_ENDSESSION && wParam) {
        WaitForWorker();
        return 0;
    }
    // Alt+F4, the system menu and the taskbar ask through SC_CLOSE; while files are
    // being removed the window stays until the result has been reported.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && Busy())
        return 0;
    return -1;
}

bool ShowCommandTakesForeground(int showCommand)
{
    switch (showCommand) {
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_SHOWMAXIMIZED:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        return true;
    default:
        return false;
    }
}

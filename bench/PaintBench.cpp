// Times repaints of the uninstaller's idle window, built in this process exactly as
// UninstallerApp::Run builds it, at the DPI of the prefix it runs in (tools/bench
// uses the 192-DPI prefix). Prints "name value" lines, times in milliseconds:
//   full_repaint     InvalidateRect + UpdateWindow: the repaint the system asks for
//                    (uncovering, restoring) with nothing changed, which copies the kept frame
//   full_redraw      the window's own Invalidate of the whole client + UpdateWindow: the
//                    whole WM_PAINT pipeline with every control drawn again
//   into_back_buffer PaintIntoBackBuffer over the whole client area (drawing only)
//   blit             one BitBlt of the back buffer to the window, the same size
//   first_paint      the first full paint after the content was built
//   without_<part>   PaintIntoBackBuffer with one top-level part hidden, to show
//                    what each part costs
//   hover_<button>   the WM_PAINT that follows the pointer's entering a button (the
//                    close button lies on the banner, the uninstall button on the plain
//                    background); hover_<button>_invalid_px and hover_<button>_px give
//                    the area that the hover invalidated and the button's own area
#include "BenchClock.h"

#include "app/UninstallerApp.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"
#include "ui/framework/controls/Label.h"
#include "ui/framework/window/PaintPipeline.h"
#include "ui/framework/drawing/Text.h"
#include "ui/framework/drawing/Theme.h"
#include "ui/setup/Look.h"
#include "ui/framework/window/UiControl.h"
#include "ui/framework/images/ImageCache.h"
#include "ui/framework/base/Dpi.h"

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const int kRounds = 41;

void StartUiResources(ULONG_PTR& token)
{
    SetProcessDPIAware();
    UIE::RefreshDpi(nullptr);
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    auto* probe = new Gdiplus::FontFamily(L"微软雅黑", nullptr);
    UIE::uiFontFace = probe->GetLastStatus() == Gdiplus::Ok ? L"微软雅黑" : L"宋体";
    delete probe;
    UIE::defaultFontFamily = std::make_unique<Gdiplus::FontFamily>(UIE::uiFontFace.c_str(), nullptr);
    UIE::UiTheme = SetupUi::kTheme;
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Time(const std::function<void()>& body)
{
    std::vector<double> samples;
    for (int i = 0; i < kRounds; ++i) {
        const double start = NowMs();
        body();
        GdiFlush();
        samples.push_back(NowMs() - start);
    }
    return Median(samples);
}

struct Hover {
    double ms = 0;
    long invalidArea = 0;
    long buttonArea = 0;
};

// Moves the pointer off and onto the button, each time timing the repaint that the
// button's entering causes; the repaints of the leaving are not counted.
Hover TimeHover(UninstallerApp& app, UIE::CUiControl* button, POINT away)
{
    const HWND hwnd = app.window.hwnd;
    const POINT absolute = button->GetAbsolutePosition();
    const RECT device{UIE::DpiScale(absolute.x), UIE::DpiScale(absolute.y),
                      UIE::DpiScale(absolute.x + button->width), UIE::DpiScale(absolute.y + button->height)};
    const POINT centre{(device.left + device.right) / 2, (device.top + device.bottom) / 2};
    Hover hover;
    hover.buttonArea = static_cast<long>(device.right - device.left) * (device.bottom - device.top);
    std::vector<double> samples;
    for (int i = 0; i < kRounds; ++i) {
        app.window.ProcessPointerMove(away.x, away.y);
        UpdateWindow(hwnd);
        GdiFlush();
        app.window.ProcessPointerMove(centre.x, centre.y);
        RECT invalid{};
        GetUpdateRect(hwnd, &invalid, FALSE);
        hover.invalidArea = static_cast<long>(invalid.right - invalid.left) * (invalid.bottom - invalid.top);
        const double start = NowMs();
        UpdateWindow(hwnd);
        GdiFlush();
        samples.push_back(NowMs() - start);
    }
    app.window.ProcessPointerMove(away.x, away.y);
    UpdateWindow(hwnd);
    hover.ms = Median(samples);
    return hover;
}

} // namespace

int wmain()
{
    ULONG_PTR token = 0;
    StartUiResources(token);
    double firstPaint = 0;
    {
        UninstallerApp app;
        app.instance = GetModuleHandleW(nullptr);
        if (!app.window.Create(app.instance)) {
            std::fprintf(stderr, "no window\n");
            return 1;
        }
        app.BuildContent();
        const HWND hwnd = app.window.hwnd;
        const double start = NowMs();
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        GdiFlush();
        firstPaint = NowMs() - start;
        Pump();

        RECT client;
        GetClientRect(hwnd, &client);
        const int width = client.right, height = client.bottom;
        HDC windowDc = GetDC(hwnd);

        const double full = Time([&] {
            InvalidateRect(hwnd, nullptr, FALSE);
            UpdateWindow(hwnd);
        });
        const double redraw = Time([&] {
            app.window.Invalidate(nullptr);
            UpdateWindow(hwnd);
        });
        const auto intoBackBuffer = [&] {
            UIE::PaintIntoBackBuffer(app.window.backBuffer, app.window.paintContext, app.window.rootControls, windowDc,
                                     width, height, client);
        };
        const double drawing = Time(intoBackBuffer);
        const double blit = Time([&] {
            BitBlt(windowDc, 0, 0, width, height, app.window.backBuffer.Dc(), 0, 0, SRCCOPY);
        });

        std::printf("dpi %d\n", UIE::GetDpiInfo().dpi);
        std::printf("client %dx%d\n", width, height);
        std::printf("first_paint %.3f\n", firstPaint);
        std::printf("full_repaint %.3f\n", full);
        std::printf("full_redraw %.3f\n", redraw);
        std::printf("into_back_buffer %.3f\n", drawing);
        std::printf("blit %.3f\n", blit);

        // What each part costs: the drawing time with that part hidden.
        const struct {
            const char* name;
            UIE::CUiControl* control;
        } parts[] = {
            {"banner", app.window.rootControls[0]->children[0]},
            {"logo", app.window.rootControls[0]->children[1]},
            {"close_button", app.Controls().closeButton},
            {"uninstall_button", app.Controls().uninstallButton},
            {"description", app.Controls().descriptionLabel},
        };
        for (const auto& part : parts) {
            part.control->visible = false;
            const double without = Time(intoBackBuffer);
            part.control->visible = true;
            std::printf("without_%s %.3f\n", part.name, without);
        }
        // The frames above left a part out; the hovers below start from the real one.
        app.window.Invalidate(nullptr);
        UpdateWindow(hwnd);

        // A point on the plain background below the banner, away from every control.
        const POINT away{UIE::DpiScale(100), UIE::DpiScale(300)};
        const struct {
            const char* name;
            UIE::CUiControl* button;
        } buttons[] = {{"close_button", app.Controls().closeButton},
                       {"uninstall_button", app.Controls().uninstallButton}};
        for (const auto& button : buttons) {
            const Hover hover = TimeHover(app, button.button, away);
            std::printf("hover_%s %.3f\n", button.name, hover.ms);
            std::printf("hover_%s_invalid_px %ld\n", button.name, hover.invalidArea);
            std::printf("hover_%s_px %ld\n", button.name, hover.buttonArea);
        }
        ReleaseDC(hwnd, windowDc);
        DestroyWindow(hwnd);
        Pump();
    }
    UIE::CUiImageCache::Instance().Clear();
    UIE::ReleaseGdiplusFontCache();
    UIE::defaultFontFamily.reset();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}

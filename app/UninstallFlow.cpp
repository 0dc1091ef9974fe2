#include "app/InstallDir.h"
#include "app/ProductInfo.h"
#include "app/Removal.h"
#include "app/UninstallerApp.h"

#include "ui/framework/controls/Label.h"
#include "ui/framework/controls/ProgressBar.h"
#include "ui/framework/window/KeyboardFocus.h"
#include "ui/setup/ActionButton.h"
#include "ui/setup/ChromeButton.h"

#include <oleacc.h>

namespace {

struct ThreadNotStarted {};

} // namespace

// Uninstall.exe's link has std::thread report a thread it cannot start through this
// instead of std::system_error, whose message machinery the program has no use for.
[[noreturn]] void ThrowThreadNotStarted(int)
{
    throw ThreadNotStarted();
}

bool StartWorkerThread(std::thread& thread, std::function<void()> body)
{
    try {
        thread = std::thread(std::move(body));
        return true;
    } catch (...) {
        return false;
    }
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    return MessageBoxW(owner, text, caption, style);
}

void UninstallerApp::ShowLayout(bool busyLayout)
{
    UIE::CUiControl* const idleControls[] = {controls.uninstallButton, controls.descriptionLabel,
                                             controls.closeButton};
    UIE::CUiControl* const busyControls[] = {controls.minimizeButton, controls.statusLabel, controls.progressBar};
    // Each switch tells screen readers of every control that comes or goes, by its own id.
    // The new controls come first, so the focus moves straight to one of them and a reader
    // hears no empty window in between.
    for (UIE::CUiControl* control : busyLayout ? busyControls : idleControls)
        control->SetVisible(true);
    if (busyLayout) {
        // The value before the focus: readers speak the bar's name and value on its focus
        // ("正在卸载，请稍候…… 10%"), which every reader follows.
        controls.progressBar->SetValue(10);
        UIE::SetKeyboardFocus(window, controls.progressBar);
    } else {
        // The button has the focus again, as when the window opened.
        UIE::SetKeyboardFocus(window, controls.uninstallButton);
    }
    for (UIE::CUiControl* control : busyLayout ? idleControls : busyControls)
        control->SetVisible(false);
    if (!busyLayout) {
        // Hidden, so nobody hears it; the next attempt's 10 is a change again.
        controls.progressBar->SetValue(0);
    }
    // Alt+F4 and the system menu cannot close the window while files are being removed;
    // a greyed item lets a reader say so.
    if (window.hwnd) {
        EnableMenuItem(GetSystemMenu(window.hwnd, FALSE), SC_CLOSE,
                       MF_BYCOMMAND | (busyLayout ? MF_GRAYED : MF_ENABLED));
    }
    window.Invalidate(nullptr);
}

void UninstallerApp::ConfirmAndStart()
{
    // The box's message loop still runs the window's posted tasks (a reader's default
    // action among them): one confirmation at a time, and none once the removal runs.
    if (state != AppState::Idle)
        return;
    const std::wstring question =
        std::wstring(L"确定卸载") + kProductName + L"吗？\n\n卸载前请关闭正在运行的主程序。";
    state = AppState::Confirming;
    const int answer = showMessageBox(window.hwnd, question.c_str(), L"确认卸载", MB_YESNO | MB_ICONQUESTION);
    // Anything that changed the state while the box was open has the last word.
    if (state != AppState::Confirming)
        return;
    state = AppState::Idle;
    if (answer != IDYES)
        return;
    // Time has passed since the check at start: the folder may have been swapped for a
    // link since. Removing nothing is then the only safe answer.
    if (!installDir || !IsStillAcceptedInstallDir(*installDir)) {
        showMessageBox(window.hwnd, L"部分文件无法删除，请关闭主程序后重试。", L"卸载失败", MB_OK | MB_ICONERROR);
        return;
    }

    SetBusy(true);
    ShowLayout(true);

    // The previous attempt's thread has posted its result already; only its exit is left.
    if (worker.joinable())
        worker.join();
    auto removal = [dir = *installDir, report = CompletionPoster()] { RunRemoval(dir, report); };
    if (!startWorker(worker, removal)) {
        // Without a thread the removal runs here; the window is frozen meanwhile, but
        // the user still gets a result instead of a busy window that never ends.
        removal();
    }
}

void UninstallerApp::SetBusy(bool removing)
{
    state = removing ? AppState::Busy : AppState::Idle;
    if (!window.hwnd)
        return;
    // Shown on the shutdown screen beside the window's title while the window refuses
    // WM_QUERYENDSESSION.
    if (removing)
        ShutdownBlockReasonCreate(window.hwnd, L"正在卸载，请稍候……");
    else
        ShutdownBlockReasonDestroy(window.hwnd);
}

std::function<void(bool)> UninstallerApp::CompletionPoster()
{
    // The handle is read here, on the window thread; the worker only posts to it.
    const HWND target = window.hwnd;
    return [target, app = this](bool removed) {
        UIE::CUiWindow::PostTaskTo(target, [app, removed] { ReportCompletion(app, removed); });
    };
}

void RunRemoval(const AcceptedFolder& installDir, const std::function<void(bool removed)>& report)
{
    // The product stays registered until its files are gone: after a failure the user
    // still finds it in the installed programs, and the next attempt finishes the job.
    const bool removed = RemoveDirectoryTree(installDir);
    if (removed)
        RemoveShortcutAndUninstallKey();
    report(removed);
}

void ReportCompletion(UninstallerApp* app, bool removed)
{
    app->SetBusy(false);
    if (removed) {
        app->state = AppState::Done;
        app->controls.progressBar->SetValue(100);
        app->showMessageBox(app->window.hwnd, L"卸载完成。", kProductName, MB_OK | MB_ICONINFORMATION);
        if (app->window.hwnd)
            PostMessageW(app->window.hwnd, WM_CLOSE, 0, 0);
        return;
    }
    app->showMessageBox(app->window.hwnd, L"部分文件无法删除，请关闭主程序后重试。", L"卸载失败",
                        MB_OK | MB_ICONERROR);
    app->ShowLayout(false);
}

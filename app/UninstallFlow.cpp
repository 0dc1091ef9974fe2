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
    // Each switch tells screen readers of every control that goes or comes, by its own id.
    uninstallButton->SetVisible(!busyLayout);
    descriptionLabel->SetVisible(!busyLayout);
    closeButton->SetVisible(!busyLayout);
    minimizeButton->SetVisible(busyLayout);
    statusLabel->SetVisible(busyLayout);
    progressBar->SetVisible(busyLayout);
    window.Invalidate(nullptr);
    if (busyLayout) {
        // Readers speak an alert wherever the focus is; a new static text alone is not read.
        statusLabel->NotifyAccessible(EVENT_SYSTEM_ALERT);
    } else if (!window.focusedControl) {
        // The button came back: it has the focus again, as when the window opened.
        UIE::SetKeyboardFocus(window, uninstallButton);
    }
}

void UninstallerApp::ConfirmAndStart()
{
    // The box's message loop still runs the window's posted tasks (a reader's default
    // action among them): one confirmation at a time, and none once the removal runs.
    if (busy || confirming)
        return;
    const std::wstring question =
        std::wstring(L"确定卸载") + kProductName + L"吗？\n\n卸载前请关闭正在运行的主程序。";
    confirming = true;
    const int answer = showMessageBox(window.hwnd, question.c_str(), L"确认卸载", MB_YESNO | MB_ICONQUESTION);
    confirming = false;
    if (answer != IDYES || busy)
        return;
    // Time has passed since the check at start: the folder may have been swapped for a
    // link since. Removing nothing is then the only safe answer.
    if (!installDir || !IsStillAcceptedInstallDir(*installDir)) {
        showMessageBox(window.hwnd, L"部分文件无法删除，请关闭主程序后重试。", L"卸载失败", MB_OK | MB_ICONERROR);
        return;
    }

    busy = true;
    ShowLayout(true);
    progressBar->SetValue(10);

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

std::function<void(bool)> UninstallerApp::CompletionPoster()
{
    UIE::CUiWindow* target = &window;
    return [target, app = this](bool removed) { target->PostTask([app, removed] { ReportCompletion(app, removed); }); };
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
    app->busy = false;
    if (removed) {
        app->progressBar->SetValue(100);
        app->showMessageBox(app->window.hwnd, L"卸载完成。", kProductName, MB_OK | MB_ICONINFORMATION);
        if (app->window.hwnd)
            PostMessageW(app->window.hwnd, WM_CLOSE, 0, 0);
        return;
    }
    app->showMessageBox(app->window.hwnd, L"部分文件无法删除，请关闭主程序后重试。", L"卸载失败",
                        MB_OK | MB_ICONERROR);
    app->ShowLayout(false);
}

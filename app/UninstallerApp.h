#pragma once
#include "app/AcceptedFolder.h"
#include "ui/framework/base/GdiplusSession.h"
#include "ui/setup/Window.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace UIE {
class CUiLabel;
class CUiProgressBar;
} // namespace UIE

namespace SetupUi {
class CActionButton;
class CChromeButton;
} // namespace SetupUi

// Starts body on a new thread; false when no thread could be created.
using WorkerStarter = std::function<bool(std::thread& thread, std::function<void()> body)>;
bool StartWorkerThread(std::thread& thread, std::function<void()> body);

// Shows a modal message box owned by owner; returns the button the user chose.
using MessageBoxShower = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)>;
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// Where the window is in the uninstall: waiting for the click, asking, removing, reporting
// a removal that succeeded.
enum class AppState { Idle, Confirming, Busy, Done };

// The controls the uninstall flow shows and hides, made by BuildContent and owned by the
// window's control tree; all null before. The pictures are not among them.
struct WindowControls {
    SetupUi::CChromeButton* closeButton = nullptr;
    SetupUi::CChromeButton* minimizeButton = nullptr; // in the close button's place while busy
    SetupUi::CActionButton* uninstallButton = nullptr;
    UIE::CUiLabel* descriptionLabel = nullptr;
    UIE::CUiLabel* statusLabel = nullptr;
    UIE::CUiProgressBar* progressBar = nullptr;
};

// The uninstaller's application object: owns the window, knows the installation
// directory and the controls that the uninstall flow shows and hides.
class UninstallerApp {
public:
    UninstallerApp() = default;
    UninstallerApp(const UninstallerApp&) = delete;
    UninstallerApp& operator=(const UninstallerApp&) = delete;
    ~UninstallerApp();

    // Starts GDI+ and, on a helper thread, the artwork at the screen's DPI: the part of
    // the start that needs no installation directory, so it can run while the directory
    // is being checked. Run calls it when nobody has.
    void PrepareUi(HINSTANCE instance);
    // Shows the uninstall window until it closes; returns the exit code.
    int Run(HINSTANCE instance, int showCommand, const AcceptedFolder& installDir);
    // Fills the freshly created window with the uninstaller's controls.
    void BuildContent();
    // Decodes the window's pictures into the image cache; callable off the window thread
    // while nothing else uses the cache, like PrepareArtwork.
    static void DecodeArtwork(HINSTANCE instance);
    // Draws the decoded pictures at dpi, as BuildContent's image controls will show them.
    static void PrepareArtwork(HINSTANCE instance, int dpi);
    // The uninstall button's click: asks, switches to the busy layout, starts the worker.
    void ConfirmAndStart();
    // Answers the window's messages before its own handling; -1 leaves them to it.
    LRESULT HandleHookMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Shows the button, description and close button, or the status, bar (at 10) and
    // minimise button; the focus goes to the button or the bar, the system menu's close is
    // greyed while busy.
    void ShowLayout(bool busyLayout);
    // The worker's way back, made on the window thread: posts the result to the window,
    // where ReportCompletion runs with it. The function it returns is callable from any thread.
    std::function<void(bool removed)> CompletionPoster();
    // Busy or idle, and while busy tells the system why a logoff must wait.
    void SetBusy(bool removing);
    AppState State() const { return state; }
    bool Busy() const { return state == AppState::Busy; }
    // How ConfirmAndStart starts its worker; tests replace it.
    void SetWorkerStarter(WorkerStarter starter) { startWorker = std::move(starter); }
    const WindowControls& Controls() const { return controls; }

    HINSTANCE instance = nullptr;
    std::unique_ptr<UIE::CGdiplusSession> gdiplusToken; // GDI+ from PrepareUi until Run ends
    SetupUi::CWindow window;
    std::optional<AcceptedFolder> installDir; // checked again at confirmation, then removed
    // Every message box of the flow goes through here; tests answer them.
    MessageBoxShower showMessageBox = ShowMessageBox;

private:
    friend void ReportCompletion(UninstallerApp* app, bool removed);

    void ReleaseUiResources();
    void WaitForWorker();
    void WaitForArtwork();

    // The artwork helper started by PrepareUi; joined before the content is built.
    std::thread artwork;
    // The current removal; joined before the object can go away.
    std::thread worker;
    WorkerStarter startWorker = StartWorkerThread;
    AppState state = AppState::Idle;
    WindowControls controls;
};

// Body of the worker thread: removes the product from installDir and hands the result
// to report. It touches no window and no control.
void RunRemoval(const AcceptedFolder& installDir, const std::function<void(bool removed)>& report);
// On the window thread: reports the result of one removal.
void ReportCompletion(UninstallerApp* app, bool removed);
// Whether a window shown with showCommand should also ask for the foreground: only when
// it is meant to come up active and not minimised.
bool ShowCommandTakesForeground(int showCommand);

#include "app/CommandLine.h"
#include "app/InstallDir.h"
#include "app/LibrarySearch.h"
#include "app/PathUtils.h"
#include "app/RefusalMessage.h"
#include "app/Relaunch.h"
#include "app/SelfDelete.h"
#include "app/UninstallerApp.h"

#include <windows.h>

#include <memory>
#include <optional>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    LoadLibrariesFromSystemDirectoryOnly();
    const CommandLineRequest request = ParseCommandLine(GetCommandLineW());
    auto app = std::make_unique<UninstallerApp>();
    // The window's artwork is prepared while the directory is checked; nothing shows
    // before the check has passed.
    if (request.uiModeRequested)
        app->PrepareUi(instance);
    // From here on only the form that was checked is used: the window shows it and the
    // removal removes it, whatever spelling the command line had.
    InstallDirRefusal refusal = InstallDirRefusal::None;
    const std::optional<AcceptedFolder> installDir =
        request.uiModeRequested ? AcceptedInstallDir(request.installDir, &refusal) : std::nullopt;
    if (!installDir) {
        app.reset();
        if (!request.uiModeRequested)
            return RelaunchFromTemp();
        // A refused "/run" says why and ends: a relaunch would start another copy for
        // another folder than the one asked for, or the same refusal again.
        ShowRefusal(request.installDir, refusal);
        return 1;
    }

    // Whoever started us may have left the working directory inside the installation,
    // and a directory that is some process's working directory cannot be removed.
    SetCurrentDirectoryW(GetModuleDirectory().c_str());

    const int exitCode = app->Run(instance, showCommand, *installDir);
    ScheduleSelfDelete(GetModulePath());
    app.reset();
    return exitCode;
}

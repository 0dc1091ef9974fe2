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
#include <string>

namespace {

// Started without "/run": the copy in %TEMP% does the work, this one only starts it.
int RunWithoutRequest()
{
    return RelaunchFromTemp();
}

// A refused "/run" says why and ends: a relaunch would start another copy for another
// folder than the one asked for, or the same refusal again.
int RunRefused(const std::wstring& requested, InstallDirRefusal refusal)
{
    ShowRefusal(requested, refusal);
    return 1;
}

// From here on only the folder that was checked is used: the window shows it and the
// removal removes it, whatever spelling the command line had.
int RunAccepted(std::unique_ptr<UninstallerApp> app, HINSTANCE instance, int showCommand,
                const AcceptedFolder& installDir)
{
    // Whoever started us may have left the working directory inside the installation,
    // and a directory that is some process's working directory cannot be removed.
    SetCurrentDirectoryW(GetModuleDirectory().c_str());

    const int exitCode = app->Run(instance, showCommand, installDir);
    ScheduleSelfDelete(GetModulePath());
    app.reset();
    return exitCode;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    LoadLibrariesFromSystemDirectoryOnly();
    const CommandLineRequest request = ParseCommandLine(GetCommandLineW());
    if (!request.uiModeRequested)
        return RunWithoutRequest();
    // The window's artwork is prepared while the directory is checked; nothing shows
    // before the check has passed.
    auto app = std::make_unique<UninstallerApp>();
    app->PrepareUi(instance);
    InstallDirRefusal refusal = InstallDirRefusal::None;
    const std::optional<AcceptedFolder> installDir = AcceptedInstallDir(request.installDir, &refusal);
    if (!installDir) {
        app.reset();
        return RunRefused(request.installDir, refusal);
    }
    return RunAccepted(std::move(app), instance, showCommand, *installDir);
}

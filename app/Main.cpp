#include "app/CommandLine.h"
#include "app/InstallDir.h"
#include "app/PathUtils.h"
#include "app/Relaunch.h"
#include "app/SelfDelete.h"
#include "app/UninstallerApp.h"

#include <windows.h>

#include <memory>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    const CommandLineRequest request = ParseCommandLine(GetCommandLineW());
    if (!request.uiModeRequested || !IsValidInstallDir(request.installDir))
        return RelaunchFromTemp();

    // Whoever started us may have left the working directory inside the installation,
    // and a directory that is some process's working directory cannot be removed.
    SetCurrentDirectoryW(GetModuleDirectory().c_str());

    auto app = std::make_unique<UninstallerApp>();
    const int exitCode = app->Run(instance, showCommand, request.installDir);
    ScheduleSelfDelete(GetModulePath());
    app.reset();
    return exitCode;
}

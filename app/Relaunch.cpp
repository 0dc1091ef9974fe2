#include "app/Relaunch.h"

#include "app/InstallDir.h"
#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

int RelaunchFromTemp()
{
    // The copy runs from the temporary directory, which is never a valid installation:
    // refusing here is what keeps a rejected copy from starting copy after copy.
    const std::optional<AcceptedFolder> installDir = AcceptedInstallDir(GetModuleDirectory());
    if (!installDir)
        return 1;

    wchar_t tempDir[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, tempDir) == 0)
        return 1;
    wchar_t tempFile[MAX_PATH] = {};
    if (GetTempFileNameW(tempDir, kTempPrefix, 0, tempFile) == 0)
        return 1;

    const std::wstring copyPath = std::wstring(tempFile) + L".exe";
    if (!MoveFileW(tempFile, copyPath.c_str())) {
        DeleteFileW(tempFile);
        return 1;
    }
    if (!CopyFileW(GetModulePath().c_str(), copyPath.c_str(), FALSE)) {
        DeleteFileW(copyPath.c_str());
        return 1;
    }

    const std::wstring parameters = std::wstring(kRunSwitch) + L" \"" + installDir->Path() + L"\"";
    // This process has the foreground right that the user's click gave it, and exits at
    // once; the copy may take the foreground only if it is handed on before the start.
    AllowSetForegroundWindow(ASFW_ANY);
    const HINSTANCE started = ShellExecuteW(nullptr, L"open", copyPath.c_str(), parameters.c_str(),
                                            nullptr, SW_SHOWNORMAL);
    // ShellExecuteW reports success as a value above 32; a copy that never ran is ours to remove.
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        DeleteFileW(copyPath.c_str());
        return 1;
    }
    return 0;
}

#include "app/UninstallerApp.h"

int UninstallerApp::Run(HINSTANCE instanceHandle, int, const std::wstring& dir)
{
    instance = instanceHandle;
    installDir = dir;
    return 0;
}

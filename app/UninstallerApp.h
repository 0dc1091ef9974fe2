#pragma once
#include <windows.h>

#include <string>

class UninstallerApp {
public:
    // Shows the uninstall window until it closes; returns the exit code.
    int Run(HINSTANCE instance, int showCommand, const std::wstring& installDir);

private:
    HINSTANCE instance = nullptr;
    std::wstring installDir;
};

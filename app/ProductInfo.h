#pragma once
#include "resources/Product.h"

// Names the uninstaller removes; they are fixed by the product's installer.
inline constexpr wchar_t kUninstallKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zembrivox";
inline constexpr wchar_t kUninstallerFileName[] = L"Uninstall.exe";
inline constexpr wchar_t kRunSwitch[] = L"/run";
inline constexpr wchar_t kTempPrefix[] = L"zmx";

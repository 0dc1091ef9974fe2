#pragma once
#include "app/InstallDir.h"

#include <string>

// The title of the box that says why a directory is not uninstalled.
inline constexpr wchar_t kRefusalTitle[] = L"无法卸载";

// What the box says: the directory as it was given, then why it is refused.
std::wstring RefusalMessage(const std::wstring& dir, InstallDirRefusal refusal);
// Shows that box and returns once the user has closed it.
void ShowRefusal(const std::wstring& dir, InstallDirRefusal refusal);

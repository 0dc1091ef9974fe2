#pragma once
#include <string>

// Deletes the desktop shortcut and the per-user uninstall key; failures are ignored.
void RemoveShortcutAndUninstallKey();

// Removes dir and everything below it. True only when all of it is gone.
// Links (reparse points) are removed themselves, never descended into.
bool RemoveDirectoryTree(const std::wstring& dir);

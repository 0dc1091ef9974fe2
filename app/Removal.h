#pragma once
#include <functional>
#include <string>

// Deletes the desktop shortcut and the per-user uninstall key; failures are ignored.
void RemoveShortcutAndUninstallKey();

// Removes dir and everything below it. True only when all of it is gone.
// The walk goes by handles: each child is opened relative to its folder's open handle
// without following links, so a name swapped after the listing is never followed.
// Links (reparse points) are removed themselves, never descended into.
bool RemoveDirectoryTree(const std::wstring& dir);

// Called with a child's full path after its folder was listed and before the child is
// opened; lets a test change the tree at exactly that moment.
using RemovalHook = std::function<void(const std::wstring& child)>;
bool RemoveDirectoryTree(const std::wstring& dir, const RemovalHook& beforeOpen);

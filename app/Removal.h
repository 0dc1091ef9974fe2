#pragma once
#include "app/AcceptedFolder.h"

#include <windows.h>

#include <functional>
#include <string>

// Deletes the desktop shortcut and the per-user uninstall key; failures are ignored.
void RemoveShortcutAndUninstallKey();

// Called with a child's full path after its folder was listed and before the child is
// opened; lets a test change the tree at exactly that moment.
using RemovalHook = std::function<void(const std::wstring& child)>;

// Removes the accepted folder and everything below it. True only when all of it is gone.
// The top folder is opened once without following a link and must still be the accepted
// one (the same final path and identity), else nothing is removed. The walk goes from that
// handle: each child is opened relative to its folder's open handle without following
// links, so a name swapped after the listing is never followed. Links (name-surrogate
// reparse points) are removed themselves, never descended into.
bool RemoveDirectoryTree(const AcceptedFolder& folder, const RemovalHook& beforeOpen = RemovalHook());
// The same for the folder dir names in any spelling, when it is not a link (tests, the bench).
bool RemoveDirectoryTree(const std::wstring& dir);
bool RemoveDirectoryTree(const std::wstring& dir, const RemovalHook& beforeOpen);

// What the delete of one item does after the POSIX delete failed with posixError: fall
// back to the older delete only where the POSIX one is not supported, and clear a
// read-only attribute for it only on an item with exactly one name (links: 0 unknown).
enum class FallbackDelete { Fail, Delete, ClearReadOnlyThenDelete };
FallbackDelete ChooseFallbackDelete(DWORD posixError, DWORD attributes, DWORD links);

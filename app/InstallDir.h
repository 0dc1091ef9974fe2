#pragma once
#include "app/CanonicalPath.h"

#include <string>
#include <vector>

// The canonical form of a directory given after "/run" when it may be uninstalled, else
// empty: an absolute path, no "..", not a protected folder, holding Uninstall.exe.
std::wstring AcceptedInstallDir(const std::wstring& dir);
// Whether AcceptedInstallDir accepts dir.
bool IsValidInstallDir(const std::wstring& dir);
// Whether a directory accepted earlier still resolves to itself and is still not protected.
bool IsStillAcceptedInstallDir(const std::wstring& canonicalDir);

// Folders whose removal would destroy far more than one product: drive roots, the
// Windows folder and everything in it, Program Files (x86 and native), every user's
// profile and the user's shell folders, in any spelling; a path that is not absolute
// counts as protected, and so does everything when the list cannot be built.
bool IsProtectedDirectory(const std::wstring& dir);
// The folders IsProtectedDirectory guards on this machine, in canonical form; complete
// tells whether every folder the list must hold was found.
std::vector<std::wstring> ProtectedFolders(bool* complete = nullptr);

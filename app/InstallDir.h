#pragma once
#include <string>
#include <vector>

// Whether a directory given after "/run" may be uninstalled.
bool IsValidInstallDir(const std::wstring& dir);

// Folders whose removal would destroy far more than one product: drive roots,
// the Windows and Program Files folders, the profile and the user's shell folders.
bool IsProtectedDirectory(const std::wstring& dir);

// Absolute form with backslashes and no trailing separator ("C:" for a drive root).
std::wstring NormalizeDirectory(const std::wstring& dir);
// True when path equals folder or contains it; both normalised, compared ignoring case.
bool IsSameOrAncestorOf(const std::wstring& path, const std::wstring& folder);
// True for "C:", "\\server\share" and similar roots of a volume (normalised input).
bool IsVolumeRoot(const std::wstring& normalized);
// The folders IsProtectedDirectory guards on this machine, normalised.
std::vector<std::wstring> ProtectedFolders();

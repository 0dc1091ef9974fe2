#pragma once
#include "app/AcceptedFolder.h"
#include "app/CanonicalPath.h"
#include "app/FolderIdentity.h"
#include "app/ProtectedFolders.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Why a directory may not be uninstalled.
enum class InstallDirRefusal {
    None,
    InvalidPath,          // not an absolute path, shorter than 6 characters, or with ".."
    NotInstallation,      // no Uninstall.exe, or not the folder the uninstall key records
    Protected,            // a folder of the system or of a user, or a folder above one
    Unidentified,         // it cannot be opened and identified
    SystemFoldersUnknown, // a folder the protected list must hold has no path at all
};

// The folder a directory given after "/run" names when it may be uninstalled, else nothing
// and refusal says why: an absolute path, no "..", not a protected folder, holding
// Uninstall.exe, and the folder the product's uninstall key records where it records one.
// Its path is the canonical form.
std::optional<AcceptedFolder> AcceptedInstallDir(const std::wstring& dir, InstallDirRefusal* refusal = nullptr);
// The same against another uninstall key (tests).
std::optional<AcceptedFolder> AcceptedInstallDir(const std::wstring& dir, HKEY keyRoot, const wchar_t* keyPath,
                                                 InstallDirRefusal* refusal = nullptr);
// The folder an uninstall key records for its product: InstallLocation, else the folder of
// UninstallString or of DisplayIcon; empty when it records none.
std::wstring RecordedInstallLocation(HKEY root, const wchar_t* keyPath);
// Whether AcceptedInstallDir accepts dir.
bool IsValidInstallDir(const std::wstring& dir);
// Whether a folder accepted earlier still resolves to its path, is still the folder of its
// identity and is still not protected.
bool IsStillAcceptedInstallDir(const AcceptedFolder& folder);

// Whether dir is a protected folder (ProtectedFolders.h), lies in the Windows folder, or is
// a drive root or above a protected folder, in any spelling and compared by identity where
// the folder exists; a path that is not absolute counts as protected, and so does
// everything when the list cannot be built.
bool IsProtectedDirectory(const std::wstring& dir);

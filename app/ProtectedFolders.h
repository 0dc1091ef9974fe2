#pragma once
#include "app/FolderIdentity.h"

#include <windows.h>

#include <string>
#include <vector>

// Folders whose removal would destroy far more than one product, as this machine names
// them: drive roots aside, the Windows folder, Program Files (x86 and native), every
// user's profile and the user's shell folders. Gathered once for each check, so that one
// check judges by one list.
struct ProtectedFolderList {
    std::vector<std::wstring> folders;        // canonical, each once
    std::vector<std::wstring> windowsFolders; // canonical Windows folder and system Windows folder
    std::wstring profilesRoot;                // as the shell names it
    // Every folder the list must hold has a path: without one the list guards less than it
    // should, and every directory is refused.
    bool complete = false;
};

// Reads the list now, from the system, the shell, the environment and the registry.
ProtectedFolderList ReadProtectedFolders();

// The rule by identity alone: whether the folder of that identity, at canonical, is a
// protected folder or one above it, lies inside the Windows folder or directly in the
// profiles root. It is what catches a road the text rules cannot see (a mapped drive).
// The list's folders are opened here, once, and only for a folder the text rules passed.
bool IsProtectedIdentity(const std::wstring& canonical, const FolderIdentity& identity,
                         const ProtectedFolderList& list);
bool IsProtectedIdentity(const std::wstring& canonical, const FolderIdentity& identity);

// The folders the list guards on this machine, in canonical form; complete tells whether
// every folder the list must hold was found.
std::vector<std::wstring> ProtectedFolders(bool* complete = nullptr);

// A text value of a registry key (subKey of root, or root itself when subKey is null), with
// environment variables expanded; empty when it is missing or too long.
std::wstring RegistryText(HKEY root, const wchar_t* subKey, const wchar_t* value, REGSAM view = 0);

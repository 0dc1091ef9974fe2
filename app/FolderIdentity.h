#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What a folder is, whatever road leads to it: its volume's serial number and its file ID.
// Two spellings (a drive, a share of the same drive, a link, a mapped drive) that reach one
// folder have one identity; a folder swapped for another, or another volume under the same
// drive letter, has another.
struct FolderIdentity {
    ULONGLONG volume = 0;
    BYTE id[16] = {};
    bool known = false;

    bool operator==(const FolderIdentity& other) const;
    bool operator!=(const FolderIdentity& other) const { return !(*this == other); }
};

// The identity of what path leads to; false when it cannot be opened and identified.
bool IdentifyFolder(const std::wstring& path, FolderIdentity& identity);
// The identity of what an open handle stands for.
bool IdentifyHandle(HANDLE handle, FolderIdentity& identity);
// Whether the set holds identity.
bool ContainsIdentity(const std::vector<FolderIdentity>& set, const FolderIdentity& identity);

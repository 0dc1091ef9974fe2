#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What a folder is, whatever road leads to it: its volume's serial number and its file ID.
// Two spellings (a drive, a share of the same drive, a link, a mapped drive) that reach one
// folder have one identity; a folder swapped for another, or another volume under the same
// drive letter, has another.
// An identity whose volume serial or file ID is zero is unknown, and equals nothing.
struct FolderIdentity {
    DWORD volume = 0; // the 32-bit serial: the low half of the 64-bit one FILE_ID_INFO gives
    BYTE id[16] = {};
    bool known = false;

    bool operator==(const FolderIdentity& other) const;
    bool operator!=(const FolderIdentity& other) const { return !(*this == other); }
};

// The identity FILE_ID_INFO gives: a 64-bit volume serial and a 128-bit file ID.
FolderIdentity IdentityFromFileIdInfo(ULONGLONG volumeSerial, const BYTE (&fileId)[16]);
// The identity BY_HANDLE_FILE_INFORMATION gives: a 32-bit volume serial and a 64-bit index.
FolderIdentity IdentityFromHandleInfo(DWORD volumeSerial, DWORD indexHigh, DWORD indexLow);

// The identity of what path leads to; false when it cannot be opened and identified.
bool IdentifyFolder(const std::wstring& path, FolderIdentity& identity);
// The identity of what an open handle stands for; false when it is unknown.
bool IdentifyHandle(HANDLE handle, FolderIdentity& identity);
// Whether the set holds identity.
bool ContainsIdentity(const std::vector<FolderIdentity>& set, const FolderIdentity& identity);

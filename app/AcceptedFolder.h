#pragma once
#include "app/FolderIdentity.h"

#include "base/UniqueHandle.h"

#include <windows.h>

#include <optional>
#include <string>

// A folder the installation check accepted: its canonical path and its identity, both read
// from one open handle, so they always name one folder. The window, the re-check at
// confirmation and the removal all take this value, never a path string.
class AcceptedFolder {
public:
    // Opens path once, without following a link there, and reads both from that handle.
    // Nothing when it is not a folder, is a link, or the system names it otherwise than
    // path (another spelling, or a link Wine followed); path is a canonical form.
    static std::optional<AcceptedFolder> Read(const std::wstring& path);
    // The same from a folder the caller opened itself by path.
    static std::optional<AcceptedFolder> Read(HANDLE folder, const std::wstring& path);

    const std::wstring& Path() const { return path; }
    const FolderIdentity& Identity() const { return identity; }
    // The same text (ignoring case) and the same known identity.
    bool operator==(const AcceptedFolder& other) const;
    bool operator!=(const AcceptedFolder& other) const { return !(*this == other); }

private:
    AcceptedFolder(std::wstring path, const FolderIdentity& identity) : path(std::move(path)), identity(identity) {}

    std::wstring path;
    FolderIdentity identity;
};

// Opens what path names itself, not what a link there leads to, with access (plus the
// right to read its attributes); empty when it cannot be opened.
Base::UniqueFileHandle OpenItself(const std::wstring& path, DWORD access);

#include "app/Removal.h"

#include "app/CanonicalPath.h"
#include "app/LinkDecision.h"
#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include "base/UniqueHandle.h"

#include <windows.h>
#include <shlobj.h>
#include <winternl.h>

#include <optional>
#include <vector>

void RemoveShortcutAndUninstallKey()
{
    wchar_t desktop[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop) >= 0) {
        const std::wstring shortcut = JoinPath(desktop, kProductName) + L".lnk";
        DeleteFileW(shortcut.c_str());
    }
    // Leaves a key that has subkeys in place, which is what we want.
    RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKeyPath);
}

namespace {

using NtCreateFileFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                              PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);

// Not in every SDK's headers.
const FILE_INFO_BY_HANDLE_CLASS kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
const ULONG kDispositionDelete = 0x1;
const ULONG kDispositionPosixSemantics = 0x2;
const ULONG kDispositionIgnoreReadOnly = 0x10;

const DWORD kSettableAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
    | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct Entry {
    std::wstring name;
    LONGLONG id = 0;
    DWORD attributes = 0;
    DWORD reparseTag = 0; // as the listing shows it, for a reparse point
};

struct Folder {
    Base::UniqueFileHandle handle;
    std::wstring name; // the folder's path on its volume, as the system names the open handle
    DWORD attributes = 0;
    std::vector<Entry> entries;
    size_t next = 0;
    bool complete = true; // false once anything below could not be removed
};

struct OpenedItem {
    Base::UniqueFileHandle handle;
    BY_HANDLE_FILE_INFORMATION info = {};
};

bool IsDotOrDotDot(const wchar_t* name, size_t length)
{
    return (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
}

LONGLONG FileIndex(const BY_HANDLE_FILE_INFORMATION& info)
{
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

// The path of what a handle stands for on its volume ("\dir\name"); empty when unknown.
std::wstring NameOnVolume(HANDLE handle)
{
    std::vector<BYTE> buffer(sizeof(FILE_NAME_INFO) + 1024 * sizeof(wchar_t));
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
            const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            while (!name.empty() && name.back() == L'\\')
                name.pop_back();
            return name;
        }
        if (GetLastError() != ERROR_MORE_DATA)
            break;
        buffer.resize(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
    }
    return {};
}

// Lists a folder through its handle, so the listing is of the folder that is open.
bool ListFolder(Folder& folder, std::vector<BYTE>& buffer)
{
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(folder.handle.get(), request, buffer.data(),
                                          static_cast<DWORD>(buffer.size())))
            return GetLastError() == ERROR_NO_MORE_FILES;
        request = FileIdBothDirectoryInfo;
        size_t offset = 0;
        for (;;) {
            const auto* item = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + offset);
            const size_t length = item->FileNameLength / sizeof(wchar_t);
            if (!IsDotOrDotDot(item->FileName, length))
                // A reparse point's listing entry holds its tag where the EA size would be.
                folder.entries.push_back({std::wstring(item->FileName, length), item->FileId.QuadPart,
                                          item->FileAttributes, item->EaSize});
            if (item->NextEntryOffset == 0)
                break;
            offset += item->NextEntryOffset;
        }
    }
}

// Opens name inside the folder held by parent without following a link at the name:
// the folder cannot be swapped under the walk, and a link is opened as itself.
bool OpenChild(NtCreateFileFunction ntCreateFile, HANDLE parent, const std::wstring& name, bool listable,
               OpenedItem& item)
{
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<PWSTR>(name.c_str());
    objectName.Length = objectName.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK status = {};
    HANDLE handle = nullptr;
    const ACCESS_MASK access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE
        | (listable ? FILE_LIST_DIRECTORY : 0);
    const NTSTATUS result = ntCreateFile(&handle, access, &attributes, &status, nullptr, 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                                         FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT
                                             | FILE_SYNCHRONOUS_IO_NONALERT,
                                         nullptr, 0);
    if (result < 0 || !handle)
        return false;
    item.handle.reset(handle);
    return GetFileInformationByHandle(handle, &item.info) != FALSE;
}

// Deletes what handle stands for: a file, a link itself, or an emptied folder, changing
// nothing else: a read-only attribute is cleared only where the older delete needs it, only
// on an item with one name, and put back when the delete fails anyway.
bool DeleteByHandle(HANDLE handle, DWORD attributes)
{
    // POSIX semantics take the name away at once, so the folder above can go right after,
    // and the read-only attribute is ignored rather than cleared.
    ULONG flags = kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly;
    if (SetFileInformationByHandle(handle, kFileDispositionInfoEx, &flags, sizeof(flags)))
        return true;
    const DWORD posixError = GetLastError();
    // The count of names matters only to a read-only item; asking costs a round trip per item.
    DWORD links = 0;
    FILE_STANDARD_INFO standard = {};
    if ((attributes & FILE_ATTRIBUTE_READONLY)
        && GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard)))
        links = standard.NumberOfLinks;
    const FallbackDelete fallback = ChooseFallbackDelete(posixError, attributes, links);
    if (fallback == FallbackDelete::Fail)
        return false;
    const bool clear = fallback == FallbackDelete::ClearReadOnlyThenDelete;
    if (clear) {
        FILE_BASIC_INFO basic = {};
        const DWORD kept = attributes & kSettableAttributes;
        basic.FileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;
        if (!SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof(basic)))
            return false;
    }
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    if (SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof(disposition)))
        return true;
    if (clear) {
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = attributes & (kSettableAttributes | FILE_ATTRIBUTE_READONLY);
        SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof(basic));
    }
    return false;
}

// Whether the opened item is a folder to walk: a folder that is no link. Only a reparse
// point can be a link, so only its tag is read (one more round trip to the file system).
bool IsWalkedFolder(const OpenedItem& item)
{
    const DWORD attributes = item.info.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsLinkHandle(item.handle.get());
}

// Whether the opened child is the very item the listing showed under that name. A name
// swapped since for a link fails the identity; an open that went through a link (Wine 8
// follows Unix symlinks even when told not to, and shows a file link as a plain file)
// is named by the system where it leads, not inside the folder.
bool IsListedChild(const Folder& folder, const Entry& entry, const OpenedItem& item)
{
    const DWORD kind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((item.info.dwFileAttributes & kind) != (entry.attributes & kind))
        return false;
    if (entry.id != 0 && entry.id != -1 && FileIndex(item.info) != entry.id)
        return false;
    const std::wstring expected = folder.name + L'\\' + entry.name;
    const std::wstring actual = NameOnVolume(item.handle.get());
    return !folder.name.empty() && SamePathText(actual, expected);
}

std::wstring ChildPath(const std::wstring& top, const std::vector<Folder>& stack, const std::wstring& name)
{
    std::wstring path = top;
    for (size_t level = 1; level < stack.size(); ++level)
        path = JoinPath(path, stack[level - 1].entries[stack[level - 1].next - 1].name);
    return JoinPath(path, name);
}

bool RemoveTree(const AcceptedFolder& accepted, const RemovalHook& beforeOpen)
{
    const auto ntCreateFile = reinterpret_cast<NtCreateFileFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtCreateFile")));
    if (!ntCreateFile)
        return false;

    // The "\\?\" spelling reaches beyond MAX_PATH; below the top everything is relative.
    const std::wstring extendedDir = ExtendedLengthPath(accepted.Path());
    // The top folder is opened once, as itself, and must be the very folder that was
    // checked: a parent swapped for a junction, or another folder moved into its place
    // since, leads elsewhere or to another identity, and then nothing is removed. (Wine
    // follows a Unix symlink even when the open asks not to; the handle's name shows it.)
    Folder top;
    top.handle = OpenItself(extendedDir, DELETE | FILE_LIST_DIRECTORY | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE);
    if (!top.handle)
        return false;
    const std::optional<AcceptedFolder> opened = AcceptedFolder::Read(top.handle.get(), accepted.Path());
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!opened || *opened != accepted || !GetFileInformationByHandle(top.handle.get(), &info))
        return false;
    top.attributes = info.dwFileAttributes;
    top.name = NameOnVolume(top.handle.get());

    std::vector<BYTE> listing(64 * 1024);
    // The walk keeps its own stack of open folders: a tree thousands of levels deep costs
    // heap, not the worker's stack.
    std::vector<Folder> stack;
    stack.push_back(std::move(top));
    if (!ListFolder(stack.back(), listing))
        stack.back().complete = false;

    bool removed = false;
    while (!stack.empty()) {
        Folder& folder = stack.back();
        if (folder.next < folder.entries.size()) {
            const Entry& entry = folder.entries[folder.next++];
            if (beforeOpen)
                beforeOpen(ChildPath(extendedDir, stack, entry.name));
            // Only a link is removed as itself; every other folder, a reparse point or not
            // (a cloud placeholder), is walked.
            const bool listedAsFolder =
                (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLinkItem(entry.attributes, entry.reparseTag);
            OpenedItem item;
            if (!OpenChild(ntCreateFile, folder.handle.get(), entry.name, listedAsFolder, item)
                || !IsListedChild(folder, entry, item)
                || listedAsFolder != IsWalkedFolder(item)) {
                // Gone, locked, or no longer what was listed: left alone, never entered.
                folder.complete = false;
                continue;
            }
            if (listedAsFolder) {
                Folder child;
                child.handle = std::move(item.handle);
                child.attributes = item.info.dwFileAttributes;
                child.name = folder.name + L'\\' + entry.name;
                const bool listed = ListFolder(child, listing);
                stack.push_back(std::move(child)); // folder is invalid from here
                if (!listed)
                    stack.back().complete = false;
                continue;
            }
            if (!DeleteByHandle(item.handle.get(), item.info.dwFileAttributes))
                folder.complete = false;
            continue;
        }
        // Everything below has been tried; the folder goes when its handle closes. A folder
        // that kept something is not tried at all: Wine accepts the delete of a folder that
        // is not empty and fails it only at the close, after its attributes were changed.
        removed = folder.complete && DeleteByHandle(folder.handle.get(), folder.attributes);
        stack.pop_back();
        if (!stack.empty() && !removed)
            stack.back().complete = false;
    }
    return removed;
}

} // namespace

FallbackDelete ChooseFallbackDelete(DWORD posixError, DWORD attributes, DWORD links)
{
    // The errors of a system or file system without the POSIX delete or its read-only flag
    // (Windows before 10, early Windows 10 releases, FAT, some redirectors, Wine 8). Any
    // other failure (access denied, a mapped view, a folder not empty) would fail the older
    // delete just the same.
    if (posixError != ERROR_INVALID_PARAMETER && posixError != ERROR_NOT_SUPPORTED
        && posixError != ERROR_INVALID_FUNCTION)
        return FallbackDelete::Fail;
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return FallbackDelete::Delete;
    // The attribute belongs to the file, not the name: with another name (a hard link
    // outside), or a count the system does not tell, clearing it changes a file outside.
    // A folder has one name only.
    return links == 1 || (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FallbackDelete::ClearReadOnlyThenDelete
                                                                 : FallbackDelete::Fail;
}

bool RemoveDirectoryTree(const AcceptedFolder& folder, const RemovalHook& beforeOpen)
{
    return RemoveTree(folder, beforeOpen);
}

bool RemoveDirectoryTree(const std::wstring& dir, const RemovalHook& beforeOpen)
{
    // A link standing at dir is not entered: only the folder dir names is to go, and a
    // listing entry tells a link even where the open would follow it (Wine). Any other
    // spelling of that folder is resolved.
    WIN32_FIND_DATAW entry;
    if (!Base::UniqueFindHandle(FindFirstFileExW(ExtendedLengthPath(dir).c_str(), FindExInfoBasic, &entry,
                                                 FindExSearchNameMatch, nullptr, 0)))
        return false;
    // The reserved field holds a reparse point's tag.
    if (IsLinkItem(entry.dwFileAttributes, entry.dwReserved0))
        return false;
    const std::optional<AcceptedFolder> folder = AcceptedFolder::Read(CanonicalPath(dir));
    return folder && RemoveTree(*folder, beforeOpen);
}

bool RemoveDirectoryTree(const std::wstring& dir)
{
    return RemoveDirectoryTree(dir, RemovalHook());
}

#include "app/Removal.h"

#include "app/CanonicalPath.h"
#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>
#include <shlobj.h>

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

bool IsDotOrDotDot(const wchar_t* name)
{
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

bool RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW entry;
    // Basic info skips the 8.3 names we never use; large fetch halves the round trips.
    HANDLE find = FindFirstFileExW(JoinPath(dir, L"*").c_str(), FindExInfoBasic, &entry,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;

    bool result = true;
    do {
        if (IsDotOrDotDot(entry.cFileName))
            continue;
        const std::wstring child = JoinPath(dir, entry.cFileName);
        const DWORD attributes = entry.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or directory symlink points outside the tree: remove the link only.
            const bool removed = (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                ? RemoveDirectoryW(child.c_str()) != FALSE
                : RemoveTree(child);
            if (!removed)
                result = false;
        } else {
            // Only read-only stops DeleteFileW; under Wine every attribute reset costs
            // three server round trips, so the others (hidden, system) are left alone.
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(child.c_str()))
                result = false;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);

    return RemoveDirectoryW(dir.c_str()) && result;
}

} // namespace

bool RemoveDirectoryTree(const std::wstring& dir)
{
    // Every child path is built on this prefix, so trees deeper than MAX_PATH go too.
    const std::wstring extended = ExtendedLengthPath(dir);
    // The folder was checked as a real folder; a link found here now was put in its place
    // since, and what it leads to was never checked.
    const DWORD attributes = GetFileAttributesW(extended.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return RemoveTree(extended);
}

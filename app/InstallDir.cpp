#include "app/InstallDir.h"

#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>
#include <shlobj.h>

namespace {

bool EqualIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

void AddFolder(std::vector<std::wstring>& folders, const std::wstring& folder)
{
    if (!folder.empty())
        folders.push_back(NormalizeDirectory(folder));
}

std::wstring ShellFolder(int csidl)
{
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) < 0)
        return {};
    return buffer;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id)
{
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path)
        result = path;
    CoTaskMemFree(path);
    return result;
}

} // namespace

std::wstring NormalizeDirectory(const std::wstring& dir)
{
    std::wstring path = dir;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH)
        path = full;
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

bool IsSameOrAncestorOf(const std::wstring& path, const std::wstring& folder)
{
    if (path.empty() || folder.size() < path.size())
        return false;
    const int pathLength = static_cast<int>(path.size());
    if (!EqualIgnoringCase(path.c_str(), pathLength, folder.c_str(), pathLength))
        return false;
    return folder.size() == path.size() || folder[path.size()] == L'\\';
}

bool IsVolumeRoot(const std::wstring& normalized)
{
    if (normalized.size() <= 2)
        return true; // "", "C:" or a lone character
    if (normalized.compare(0, 2, L"\\\\") == 0) {
        // \\server\share, \\?\C:, \\?\UNC\server\share: at most a share below the prefix.
        std::wstring rest = normalized.substr(2);
        size_t parts = 0;
        size_t start = 0;
        while (start <= rest.size()) {
            const size_t end = rest.find(L'\\', start);
            const std::wstring part = rest.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            // \\?\C: is the root of drive C:, and every folder below it is a folder, not a share.
            if (part.size() == 2 && part[1] == L':')
                return end == std::wstring::npos;
            if (!part.empty() && part != L"?" && part != L"." && !EqualIgnoringCase(part.c_str(), -1, L"UNC", -1))
                ++parts;
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        return parts <= 2;
    }
    return false;
}

std::vector<std::wstring> ProtectedFolders()
{
    std::vector<std::wstring> folders;
    wchar_t buffer[MAX_PATH] = {};
    if (GetWindowsDirectoryW(buffer, MAX_PATH))
        AddFolder(folders, buffer);
    if (GetSystemWindowsDirectoryW(buffer, MAX_PATH))
        AddFolder(folders, buffer);
    if (GetTempPathW(MAX_PATH, buffer))
        AddFolder(folders, buffer);
    // A 32-bit process is told the x86 folder; the native one only lives in the environment.
    if (GetEnvironmentVariableW(L"ProgramW6432", buffer, MAX_PATH))
        AddFolder(folders, buffer);

    const int csidls[] = {
        CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROFILE,
        CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,
        CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_FAVORITES,
    };
    for (int csidl : csidls)
        AddFolder(folders, ShellFolder(csidl));
    AddFolder(folders, KnownFolder(FOLDERID_Downloads));
    AddFolder(folders, KnownFolder(FOLDERID_LocalAppDataLow));
    AddFolder(folders, KnownFolder(FOLDERID_UserProfiles));
    AddFolder(folders, KnownFolder(FOLDERID_Public));
    return folders;
}

bool IsProtectedDirectory(const std::wstring& dir)
{
    const std::wstring normalized = NormalizeDirectory(dir);
    if (IsVolumeRoot(normalized))
        return true;
    // Removing an ancestor of such a folder destroys it as well.
    for (const std::wstring& folder : ProtectedFolders())
        if (IsSameOrAncestorOf(normalized, folder))
            return true;
    return false;
}

bool IsValidInstallDir(const std::wstring& dir)
{
    if (dir.size() < 6)
        return false;
    if (dir.find(L"..") != std::wstring::npos)
        return false;
    if (IsProtectedDirectory(dir))
        return false;
    return GetFileAttributesW(JoinPath(dir, kUninstallerFileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

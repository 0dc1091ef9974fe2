#include "app/InstallDir.h"

#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>
#include <shlobj.h>

namespace {

void AddFolder(std::vector<std::wstring>& folders, const std::wstring& folder)
{
    if (folder.empty())
        return;
    // Several sources name the same folder; each distinct one is resolved once.
    const std::wstring normalized = NormalizeDirectory(folder);
    for (const std::wstring& known : folders)
        if (SamePathText(known, normalized))
            return;
    folders.push_back(normalized);
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
    AddFolder(folders, KnownFolder(FOLDERID_ProgramData));

    // The same resolution as the directory they are compared with: a shell folder that is
    // a link is guarded where it leads.
    std::vector<std::wstring> canonical;
    for (const std::wstring& folder : folders) {
        const std::wstring resolved = CanonicalPath(folder);
        if (resolved.empty())
            continue;
        bool known = false;
        for (const std::wstring& entry : canonical)
            known = known || SamePathText(entry, resolved);
        if (!known)
            canonical.push_back(resolved);
    }
    return canonical;
}

namespace {

bool IsProtectedCanonical(const std::wstring& canonical)
{
    if (IsVolumeRoot(canonical))
        return true;
    // Removing an ancestor of such a folder destroys it as well.
    for (const std::wstring& folder : ProtectedFolders())
        if (IsSameOrAncestorOf(canonical, folder))
            return true;
    return false;
}

} // namespace

bool IsProtectedDirectory(const std::wstring& dir)
{
    const std::wstring canonical = CanonicalPath(dir);
    return canonical.empty() || IsProtectedCanonical(canonical);
}

std::wstring AcceptedInstallDir(const std::wstring& dir)
{
    if (dir.size() < 6)
        return {};
    if (dir.find(L"..") != std::wstring::npos)
        return {};
    const std::wstring canonical = CanonicalPath(dir);
    if (canonical.empty() || IsProtectedCanonical(canonical))
        return {};
    if (GetFileAttributesW(ExtendedLengthPath(JoinPath(canonical, kUninstallerFileName)).c_str())
        == INVALID_FILE_ATTRIBUTES)
        return {};
    return canonical;
}

bool IsValidInstallDir(const std::wstring& dir)
{
    return !AcceptedInstallDir(dir).empty();
}

bool IsStillAcceptedInstallDir(const std::wstring& canonicalDir)
{
    // The folder may have been replaced by a link since it was accepted: it must still
    // resolve to the very same place. Its Uninstall.exe is not asked for again, as a
    // failed attempt may have removed it already and the next attempt must still run.
    const std::wstring now = CanonicalPath(canonicalDir);
    return !now.empty() && SamePathText(now, canonicalDir) && !IsProtectedCanonical(now);
}

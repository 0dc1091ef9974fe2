#include "app/ProtectedFolders.h"

#include "app/CanonicalPath.h"
#include "app/PathUtils.h"

#include "base/UniqueHandle.h"

#include <windows.h>
#include <shlobj.h>

namespace {

// Several sources name the same folder, and folders share their ancestors: each distinct
// path is kept, and later resolved or opened, once.
void AddUnlessKnown(std::vector<std::wstring>& paths, const std::wstring& path)
{
    for (const std::wstring& known : paths)
        if (SamePathText(known, path))
            return;
    paths.push_back(path);
}

void AddFolder(std::vector<std::wstring>& folders, const std::wstring& folder)
{
    // A relative name would be taken from the working directory: it names no folder.
    if (IsAbsolutePathSpelling(folder))
        AddUnlessKnown(folders, NormalizeDirectory(folder));
}

// Without verification: a folder redirected to a share that is offline, or to a folder that
// is gone, still has its path, which stays protected; verified, the shell would answer
// nothing (after waiting out the network) and the list would lack it.
std::wstring ShellFolder(int csidl)
{
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr, SHGFP_TYPE_CURRENT, buffer) < 0)
        return {};
    return buffer;
}

// The key, owned only when the open succeeded: what a failed open leaves in its out-parameter
// is not documented.
Base::UniqueRegistryKey OpenKey(HKEY root, const wchar_t* subKey, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) != ERROR_SUCCESS)
        return {};
    return Base::UniqueRegistryKey(key);
}

std::wstring KnownFolder(const KNOWNFOLDERID& id)
{
    // The shell allocates the string even when the call fails.
    Base::UniqueCoTaskMemString path;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.put())) && path)
        return path.get();
    return {};
}

std::wstring EnvironmentFolder(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

std::wstring WindowsFolder(bool systemWindows)
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = systemWindows ? GetSystemWindowsDirectoryW(buffer, MAX_PATH) : GetWindowsDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return length > 0 && length <= MAX_PATH ? buffer : L"";
}

// The native Program Files or Common Files: a 32-bit process on 64-bit Windows is told the
// x86 folders, and learns the native ones from the environment or the registry's 64-bit
// view (which a 32-bit system ignores, answering with its only folder).
std::wstring NativeFolder(const wchar_t* environmentName, const wchar_t* registryValue)
{
    const std::wstring fromEnvironment = EnvironmentFolder(environmentName);
    if (!fromEnvironment.empty())
        return fromEnvironment;
    return RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", registryValue,
                        KEY_WOW64_64KEY);
}

// Every folder directly inside the profiles root, and every profile the system lists:
// another user's profile is as much a profile as ours.
void AddProfiles(std::vector<std::wstring>& folders, const std::wstring& profilesRoot)
{
    WIN32_FIND_DATAW entry;
    const Base::UniqueFindHandle find(FindFirstFileExW(ExtendedLengthPath(JoinPath(profilesRoot, L"*")).c_str(),
                                                       FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
                AddFolder(folders, JoinPath(profilesRoot, name));
        } while (FindNextFileW(find.get(), &entry));
    }
    const wchar_t listKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    const Base::UniqueRegistryKey list =
        OpenKey(HKEY_LOCAL_MACHINE, listKey, KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY);
    if (!list)
        return;
    wchar_t sid[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(list.get(), index, sid, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        AddFolder(folders, RegistryText(list.get(), sid, L"ProfileImagePath"));
    }
}

// The folders above path (a canonical form, so its text names its real ancestors),
// nearest first, down to the one below the volume root.
std::vector<std::wstring> AncestorsOf(const std::wstring& path)
{
    std::vector<std::wstring> ancestors;
    std::wstring current = path;
    for (;;) {
        const size_t separator = current.find_last_of(L'\\');
        if (separator == std::wstring::npos)
            break;
        current.resize(separator);
        if (IsVolumeRoot(current))
            break;
        ancestors.push_back(current);
    }
    return ancestors;
}

void AddIdentity(std::vector<FolderIdentity>& identities, const std::wstring& path)
{
    FolderIdentity identity;
    if (IdentifyFolder(path, identity) && !ContainsIdentity(identities, identity))
        identities.push_back(identity);
}

// The identities of the folders and of everything above them; the folders share most of
// their ancestors (the profile, AppData...), and each path is opened once.
std::vector<FolderIdentity> IdentitiesWithAncestors(const std::vector<std::wstring>& folders)
{
    std::vector<std::wstring> paths;
    for (const std::wstring& folder : folders) {
        AddUnlessKnown(paths, folder);
        for (const std::wstring& ancestor : AncestorsOf(folder))
            AddUnlessKnown(paths, ancestor);
    }
    std::vector<FolderIdentity> identities;
    for (const std::wstring& path : paths)
        AddIdentity(identities, path);
    return identities;
}

} // namespace

std::wstring RegistryText(HKEY root, const wchar_t* subKey, const wchar_t* value, REGSAM view)
{
    const Base::UniqueRegistryKey key = OpenKey(root, subKey, KEY_QUERY_VALUE | view);
    if (!key)
        return {};
    wchar_t buffer[2048] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    // No expansion here (RRF_NOEXPAND): ExpandEnvironmentStringsW below does it once.
    const LSTATUS status = RegGetValueW(key.get(), nullptr, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                        nullptr, buffer, &size);
    if (status != ERROR_SUCCESS)
        return {};
    wchar_t expanded[2048] = {};
    const DWORD length = ExpandEnvironmentStringsW(buffer, expanded, 2048);
    return length > 0 && length <= 2048 ? expanded : L"";
}

ProtectedFolderList ReadProtectedFolders()
{
    // Without a path for any of these the list would guard less than it should. A path that
    // leads nowhere (yet) is still a path, and is guarded by its text.
    ProtectedFolderList list;
    bool resolved = true;
    std::vector<std::wstring> folders;
    auto required = [&](const std::wstring& folder) {
        if (!IsAbsolutePathSpelling(folder))
            resolved = false;
        AddFolder(folders, folder);
    };
    for (const bool systemWindows : {false, true}) {
        const std::wstring windows = WindowsFolder(systemWindows);
        required(windows);
        list.windowsFolders.push_back(CanonicalPath(windows));
        if (list.windowsFolders.back().empty())
            resolved = false;
    }
    required(TempFolder());
    required(NativeFolder(L"ProgramW6432", L"ProgramFilesDir"));
    required(NativeFolder(L"CommonProgramW6432", L"CommonFilesDir"));

    const int requiredCsidls[] = {
        CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE,
        CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
    };
    for (int csidl : requiredCsidls)
        required(ShellFolder(csidl));
    const std::wstring profilesRoot = KnownFolder(FOLDERID_UserProfiles);
    required(profilesRoot);
    if (!profilesRoot.empty())
        AddProfiles(folders, profilesRoot);
    list.profilesRoot = profilesRoot;

    // Not on every system (no x86 folders on a 32-bit one, libraries moved or removed).
    const int optionalCsidls[] = {
        CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
        CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_FAVORITES,
    };
    for (int csidl : optionalCsidls)
        AddFolder(folders, ShellFolder(csidl));
    for (const KNOWNFOLDERID* id : {&FOLDERID_Downloads, &FOLDERID_LocalAppDataLow, &FOLDERID_Public,
                                    &FOLDERID_ProgramData})
        AddFolder(folders, KnownFolder(*id));

    // The same resolution as the directory they are compared with: a shell folder that is
    // a link is guarded where it leads.
    for (const std::wstring& folder : folders) {
        const std::wstring canonical = CanonicalPath(folder);
        if (canonical.empty())
            resolved = false;
        else
            AddUnlessKnown(list.folders, canonical);
    }
    list.complete = resolved;
    return list;
}

bool IsProtectedIdentity(const std::wstring& canonical, const FolderIdentity& identity,
                         const ProtectedFolderList& list)
{
    if (ContainsIdentity(IdentitiesWithAncestors(list.folders), identity))
        return true;
    // Anything inside the Windows folder, or directly in the profiles root.
    std::vector<FolderIdentity> windows;
    for (const std::wstring& folder : list.windowsFolders)
        AddIdentity(windows, folder);
    FolderIdentity profilesRoot;
    IdentifyFolder(list.profilesRoot, profilesRoot);
    const std::vector<std::wstring> ancestors = AncestorsOf(canonical);
    for (size_t level = 0; level < ancestors.size(); ++level) {
        FolderIdentity above;
        if (!IdentifyFolder(ancestors[level], above))
            continue;
        if (ContainsIdentity(windows, above) || (level == 0 && above == profilesRoot))
            return true;
    }
    return false;
}

bool IsProtectedIdentity(const std::wstring& canonical, const FolderIdentity& identity)
{
    return IsProtectedIdentity(canonical, identity, ReadProtectedFolders());
}

std::vector<std::wstring> ProtectedFolders(bool* complete)
{
    ProtectedFolderList list = ReadProtectedFolders();
    if (complete)
        *complete = list.complete;
    return std::move(list.folders);
}

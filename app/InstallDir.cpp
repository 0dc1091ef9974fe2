#include "app/InstallDir.h"

#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>
#include <shlobj.h>

namespace {

void AddFolder(std::vector<std::wstring>& folders, const std::wstring& folder)
{
    // A relative name would be taken from the working directory: it names no folder.
    if (!IsAbsolutePathSpelling(folder))
        return;
    // Several sources name the same folder; each distinct one is resolved once.
    const std::wstring normalized = NormalizeDirectory(folder);
    for (const std::wstring& known : folders)
        if (SamePathText(known, normalized))
            return;
    folders.push_back(normalized);
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

std::wstring KnownFolder(const KNOWNFOLDERID& id)
{
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        result = path;
    CoTaskMemFree(path);
    return result;
}

} // namespace

namespace {

std::wstring EnvironmentFolder(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

// A folder the registry records, with environment variables expanded.
std::wstring RegistryFolder(HKEY root, const wchar_t* keyPath, const wchar_t* value, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return {};
    wchar_t buffer[MAX_PATH] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    // No expansion here (RRF_NOEXPAND): ExpandEnvironmentStringsW below does it once.
    const LSTATUS status =
        RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return {};
    wchar_t expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsW(buffer, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? expanded : L"";
}

// The native Program Files or Common Files: a 32-bit process on 64-bit Windows is told the
// x86 folders, and learns the native ones from the environment or the registry's 64-bit
// view (which a 32-bit system ignores, answering with its only folder).
std::wstring NativeFolder(const wchar_t* environmentName, const wchar_t* registryValue)
{
    const std::wstring fromEnvironment = EnvironmentFolder(environmentName);
    if (!fromEnvironment.empty())
        return fromEnvironment;
    return RegistryFolder(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", registryValue,
                          KEY_WOW64_64KEY);
}

// Every folder directly inside the profiles root, and every profile the system lists:
// another user's profile is as much a profile as ours.
void AddProfiles(std::vector<std::wstring>& folders, const std::wstring& profilesRoot)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileExW(ExtendedLengthPath(JoinPath(profilesRoot, L"*")).c_str(), FindExInfoBasic, &entry,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
                AddFolder(folders, JoinPath(profilesRoot, name));
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    const wchar_t listKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, listKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY, &list)
        != ERROR_SUCCESS)
        return;
    wchar_t sid[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(list, index, sid, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        AddFolder(folders, RegistryFolder(list, sid, L"ProfileImagePath", 0));
    }
    RegCloseKey(list);
}

} // namespace

std::vector<std::wstring> ProtectedFolders(bool* complete)
{
    // Without a path for any of these the list would guard less than it should: then every
    // directory is refused rather than one of these accepted. A path that leads nowhere
    // (yet) is still a path, and is guarded by its text.
    bool resolved = true;
    std::vector<std::wstring> folders;
    auto required = [&](const std::wstring& folder) {
        if (!IsAbsolutePathSpelling(folder))
            resolved = false;
        AddFolder(folders, folder);
    };
    wchar_t buffer[MAX_PATH] = {};
    required(GetWindowsDirectoryW(buffer, MAX_PATH) ? buffer : L"");
    required(GetSystemWindowsDirectoryW(buffer, MAX_PATH) ? buffer : L"");
    required(GetTempPathW(MAX_PATH, buffer) ? buffer : L"");
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

    // Not on every system (no x86 folders on a 32-bit one, libraries moved or removed).
    const int optionalCsidls[] = {
        CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
        CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_FAVORITES,
    };
    for (int csidl : optionalCsidls)
        AddFolder(folders, ShellFolder(csidl));
    AddFolder(folders, KnownFolder(FOLDERID_Downloads));
    AddFolder(folders, KnownFolder(FOLDERID_LocalAppDataLow));
    AddFolder(folders, KnownFolder(FOLDERID_Public));
    AddFolder(folders, KnownFolder(FOLDERID_ProgramData));

    // The same resolution as the directory they are compared with: a shell folder that is
    // a link is guarded where it leads.
    std::vector<std::wstring> canonical;
    for (const std::wstring& folder : folders) {
        const std::wstring resolvedFolder = CanonicalPath(folder);
        if (resolvedFolder.empty()) {
            resolved = false;
            continue;
        }
        bool known = false;
        for (const std::wstring& entry : canonical)
            known = known || SamePathText(entry, resolvedFolder);
        if (!known)
            canonical.push_back(resolvedFolder);
    }
    if (complete)
        *complete = resolved;
    return canonical;
}

namespace {

std::wstring SystemFolder(bool systemWindows)
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = systemWindows ? GetSystemWindowsDirectoryW(buffer, MAX_PATH) : GetWindowsDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? CanonicalPath(buffer) : L"";
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

// By identity, whatever road the spelling took (a share of the local drive, a mapped
// drive, the machine's address): a protected folder or one above it, anything inside
// the Windows folder, or a folder directly in the profiles root.
bool IsProtectedIdentityAmong(const std::wstring& canonical, const FolderIdentity& identity,
                              const std::vector<std::wstring>& folders)
{
    // The folders share most of their ancestors (the profile, AppData...): each path is
    // opened once.
    std::vector<std::wstring> paths;
    for (const std::wstring& folder : folders) {
        std::vector<std::wstring> chain = AncestorsOf(folder);
        chain.insert(chain.begin(), folder);
        for (const std::wstring& path : chain) {
            bool seen = false;
            for (const std::wstring& known : paths)
                seen = seen || SamePathText(known, path);
            if (!seen)
                paths.push_back(path);
        }
    }
    std::vector<FolderIdentity> guarded;
    for (const std::wstring& path : paths) {
        FolderIdentity entry;
        if (IdentifyFolder(path, entry) && !ContainsIdentity(guarded, entry))
            guarded.push_back(entry);
    }
    if (ContainsIdentity(guarded, identity))
        return true;

    std::vector<FolderIdentity> containers;
    for (const bool systemWindows : {false, true}) {
        FolderIdentity windows;
        if (IdentifyFolder(SystemFolder(systemWindows), windows))
            containers.push_back(windows);
    }
    const std::vector<std::wstring> ancestors = AncestorsOf(canonical);
    for (size_t level = 0; level < ancestors.size(); ++level) {
        FolderIdentity above;
        if (!IdentifyFolder(ancestors[level], above))
            continue;
        if (ContainsIdentity(containers, above))
            return true;
        FolderIdentity profilesRoot;
        if (level == 0 && IdentifyFolder(KnownFolder(FOLDERID_UserProfiles), profilesRoot) && above == profilesRoot)
            return true;
    }
    return false;
}

// identity: the folder's identity when known (a folder that exists); required: refuse
// what cannot be identified.
InstallDirRefusal ProtectionOf(const std::wstring& canonical, bool required, FolderIdentity* identityOut = nullptr)
{
    if (IsVolumeRoot(canonical))
        return InstallDirRefusal::Protected;
    bool complete = false;
    const std::vector<std::wstring> folders = ProtectedFolders(&complete);
    if (!complete)
        return InstallDirRefusal::SystemFoldersUnknown;
    // Nothing inside the Windows folder belongs to one product (System32, SysWOW64,
    // Sysnative, WinSxS...).
    for (const bool systemWindows : {false, true}) {
        const std::wstring windows = SystemFolder(systemWindows);
        if (windows.empty())
            return InstallDirRefusal::SystemFoldersUnknown;
        if (IsSameOrAncestorOf(windows, canonical))
            return InstallDirRefusal::Protected;
    }
    // Removing an ancestor of such a folder destroys it as well.
    for (const std::wstring& folder : folders)
        if (IsSameOrAncestorOf(canonical, folder))
            return InstallDirRefusal::Protected;
    FolderIdentity identity;
    if (!IdentifyFolder(canonical, identity))
        return required ? InstallDirRefusal::Unidentified : InstallDirRefusal::None;
    if (identityOut)
        *identityOut = identity;
    return IsProtectedIdentityAmong(canonical, identity, folders) ? InstallDirRefusal::Protected
                                                                  : InstallDirRefusal::None;
}

} // namespace

bool IsProtectedDirectory(const std::wstring& dir)
{
    const std::wstring canonical = CanonicalPath(dir);
    return canonical.empty() || ProtectionOf(canonical, false) != InstallDirRefusal::None;
}

bool IsProtectedIdentity(const std::wstring& canonical, const FolderIdentity& identity)
{
    return IsProtectedIdentityAmong(canonical, identity, ProtectedFolders());
}

namespace {

std::wstring KeyText(HKEY key, const wchar_t* value)
{
    wchar_t buffer[2048] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size)
        != ERROR_SUCCESS)
        return {};
    wchar_t expanded[2048] = {};
    const DWORD length = ExpandEnvironmentStringsW(buffer, expanded, 2048);
    return length > 0 && length <= 2048 ? expanded : L"";
}

// The program's path in a command line or an icon reference: the quoted part, or the text
// up to ".exe"; an icon's ",index" is dropped.
std::wstring ProgramPathOf(std::wstring text)
{
    while (!text.empty() && text.front() == L' ')
        text.erase(0, 1);
    if (!text.empty() && text.front() == L'"') {
        const size_t end = text.find(L'"', 1);
        return end == std::wstring::npos ? L"" : text.substr(1, end - 1);
    }
    std::wstring lower = text;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    const size_t exe = lower.find(L".exe");
    if (exe != std::wstring::npos)
        return text.substr(0, exe + 4);
    const size_t comma = text.find_last_of(L',');
    return comma == std::wstring::npos ? text : text.substr(0, comma);
}

} // namespace

std::wstring RecordedInstallLocation(HKEY root, const wchar_t* keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    // The first value that names an absolute folder; a missing or unusable one is no record.
    std::wstring location;
    const std::wstring candidates[] = {
        KeyText(key, L"InstallLocation"),
        DirectoryOfPath(ProgramPathOf(KeyText(key, L"UninstallString"))),
        DirectoryOfPath(ProgramPathOf(KeyText(key, L"DisplayIcon"))),
    };
    for (const std::wstring& candidate : candidates) {
        if (!candidate.empty() && IsAbsolutePathSpelling(candidate)) {
            location = candidate;
            break;
        }
    }
    RegCloseKey(key);
    return location;
}

std::optional<AcceptedFolder> AcceptedInstallDir(const std::wstring& dir, InstallDirRefusal* refusal)
{
    return AcceptedInstallDir(dir, HKEY_CURRENT_USER, kUninstallKeyPath, refusal);
}

namespace {

InstallDirRefusal CheckInstallDir(const std::wstring& dir, HKEY keyRoot, const wchar_t* keyPath,
                                  std::optional<AcceptedFolder>& folder)
{
    if (dir.size() < 6 || dir.find(L"..") != std::wstring::npos)
        return InstallDirRefusal::InvalidPath;
    const std::wstring canonical = CanonicalPath(dir);
    if (canonical.empty())
        return InstallDirRefusal::InvalidPath;
    FolderIdentity identity;
    const InstallDirRefusal protection = ProtectionOf(canonical, true, &identity);
    if (protection == InstallDirRefusal::Protected || protection == InstallDirRefusal::SystemFoldersUnknown)
        return protection;
    // A folder that is not there, or holds no uninstaller, is simply not an installation,
    // whether or not it could be identified.
    if (GetFileAttributesW(ExtendedLengthPath(JoinPath(canonical, kUninstallerFileName)).c_str())
        == INVALID_FILE_ATTRIBUTES)
        return InstallDirRefusal::NotInstallation;
    if (protection != InstallDirRefusal::None)
        return protection;
    // Path and identity from one open handle, of the very folder the protection check saw.
    folder = AcceptedFolder::Read(canonical);
    if (!folder || folder->Identity() != identity)
        return InstallDirRefusal::Unidentified;
    // A copy of the uninstaller elsewhere (D:\Tools) holds an Uninstall.exe too: where the
    // key records the product's folder, only that folder is the installation.
    const std::wstring recorded = RecordedInstallLocation(keyRoot, keyPath);
    FolderIdentity recordedIdentity;
    if (!recorded.empty() && (!IdentifyFolder(recorded, recordedIdentity) || recordedIdentity != identity))
        return InstallDirRefusal::NotInstallation;
    return InstallDirRefusal::None;
}

} // namespace

std::optional<AcceptedFolder> AcceptedInstallDir(const std::wstring& dir, HKEY keyRoot, const wchar_t* keyPath,
                                                 InstallDirRefusal* refusalOut)
{
    std::optional<AcceptedFolder> folder;
    const InstallDirRefusal refusal = CheckInstallDir(dir, keyRoot, keyPath, folder);
    if (refusalOut)
        *refusalOut = refusal;
    if (refusal != InstallDirRefusal::None)
        return std::nullopt;
    return folder;
}

bool IsValidInstallDir(const std::wstring& dir)
{
    return AcceptedInstallDir(dir).has_value();
}

bool IsStillAcceptedInstallDir(const AcceptedFolder& folder)
{
    // The folder may have been replaced by a link since it was accepted: it must still
    // resolve to the very same place. Its Uninstall.exe is not asked for again, as a
    // failed attempt may have removed it already and the next attempt must still run.
    const std::wstring now = CanonicalPath(folder.Path());
    // And it must still be the same folder: not another one put in its place under the same
    // name, not the same names on another volume that took the drive letter.
    FolderIdentity current;
    return !now.empty() && SamePathText(now, folder.Path())
        && ProtectionOf(now, true, &current) == InstallDirRefusal::None && current == folder.Identity();
}

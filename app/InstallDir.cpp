#include "app/InstallDir.h"

#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include <windows.h>

namespace {

// The rules of the list for a folder at canonical: Protected, SystemFoldersUnknown or None.
// identity, where the folder could be identified, adds the rule by identity.
InstallDirRefusal ProtectionOf(const std::wstring& canonical, const FolderIdentity* identity,
                               const ProtectedFolderList& list)
{
    if (IsVolumeRoot(canonical))
        return InstallDirRefusal::Protected;
    if (!list.complete)
        return InstallDirRefusal::SystemFoldersUnknown;
    // Nothing inside the Windows folder belongs to one product (System32, SysWOW64,
    // Sysnative, WinSxS...).
    for (const std::wstring& windows : list.windowsFolders)
        if (IsSameOrAncestorOf(windows, canonical))
            return InstallDirRefusal::Protected;
    // Removing an ancestor of such a folder destroys it as well.
    for (const std::wstring& folder : list.folders)
        if (IsSameOrAncestorOf(canonical, folder))
            return InstallDirRefusal::Protected;
    return identity && IsProtectedIdentity(canonical, *identity, list) ? InstallDirRefusal::Protected
                                                                       : InstallDirRefusal::None;
}

} // namespace

bool IsProtectedDirectory(const std::wstring& dir)
{
    const std::wstring canonical = CanonicalPath(dir);
    if (canonical.empty())
        return true;
    FolderIdentity identity;
    const bool identified = IdentifyFolder(canonical, identity);
    return ProtectionOf(canonical, identified ? &identity : nullptr, ReadProtectedFolders()) != InstallDirRefusal::None;
}

namespace {

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
    // The first value that names an absolute folder; a missing or unusable one is no record.
    const std::wstring candidates[] = {
        RegistryText(root, keyPath, L"InstallLocation"),
        DirectoryOfPath(ProgramPathOf(RegistryText(root, keyPath, L"UninstallString"))),
        DirectoryOfPath(ProgramPathOf(RegistryText(root, keyPath, L"DisplayIcon"))),
    };
    for (const std::wstring& candidate : candidates)
        if (!candidate.empty() && IsAbsolutePathSpelling(candidate))
            return candidate;
    return {};
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
    // Path and identity from one open handle: the protection rules, the record and the
    // caller all judge that one folder.
    folder = AcceptedFolder::Read(canonical);
    const InstallDirRefusal protection =
        ProtectionOf(canonical, folder ? &folder->Identity() : nullptr, ReadProtectedFolders());
    if (protection != InstallDirRefusal::None)
        return protection;
    // A folder that is not there, or holds no uninstaller, is simply not an installation,
    // whether or not it could be identified.
    if (GetFileAttributesW(ExtendedLengthPath(JoinPath(canonical, kUninstallerFileName)).c_str())
        == INVALID_FILE_ATTRIBUTES)
        return InstallDirRefusal::NotInstallation;
    if (!folder)
        return InstallDirRefusal::Unidentified;
    // A copy of the uninstaller elsewhere (D:\Tools) holds an Uninstall.exe too: where the
    // key records the product's folder, only that folder is the installation. A record of a
    // folder that cannot be identified (moved, deleted) still says the product lives
    // elsewhere, and this folder is refused.
    const std::wstring recorded = RecordedInstallLocation(keyRoot, keyPath);
    FolderIdentity recordedIdentity;
    if (!recorded.empty() && (!IdentifyFolder(recorded, recordedIdentity) || recordedIdentity != folder->Identity()))
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
    // And it must still be the same folder: not another one put in its place under the same
    // name, not the same names on another volume that took the drive letter.
    const std::wstring now = CanonicalPath(folder.Path());
    if (now.empty() || !SamePathText(now, folder.Path()))
        return false;
    const std::optional<AcceptedFolder> current = AcceptedFolder::Read(now);
    return current && *current == folder
        && ProtectionOf(now, &current->Identity(), ReadProtectedFolders()) == InstallDirRefusal::None;
}

#include "app/AcceptedFolder.h"

#include "app/CanonicalPath.h"
#include "app/LinkDecision.h"

std::optional<AcceptedFolder> AcceptedFolder::Read(const std::wstring& path)
{
    const Base::UniqueFileHandle folder = OpenItself(ExtendedLengthPath(path), 0);
    if (!folder)
        return std::nullopt;
    return Read(folder.get(), path);
}

std::optional<AcceptedFolder> AcceptedFolder::Read(HANDLE folder, const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(folder, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        || IsLinkHandle(folder))
        return std::nullopt;
    FolderIdentity identity;
    if (!IdentifyHandle(folder, identity) || !identity.known)
        return std::nullopt;
    // The system's own name for what was opened: a folder renamed away and replaced, or a
    // link Wine followed although asked not to, is named elsewhere. A redirector that
    // cannot name a handle leaves the identity alone to tell.
    std::wstring name = CanonicalPathOfHandle(folder);
    if (name.empty())
        name = path;
    if (!SamePathText(ExtendedLengthPath(name), ExtendedLengthPath(path)))
        return std::nullopt;
    return AcceptedFolder(name, identity);
}

bool AcceptedFolder::operator==(const AcceptedFolder& other) const
{
    return SamePathText(path, other.path) && identity == other.identity;
}

Base::UniqueFileHandle OpenItself(const std::wstring& path, DWORD access)
{
    // Backup semantics open a folder; the reparse flag opens a link as itself.
    return Base::UniqueFileHandle(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                              nullptr));
}

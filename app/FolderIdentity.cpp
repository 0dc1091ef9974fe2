#include "app/FolderIdentity.h"

#include "app/CanonicalPath.h"

#include "ui/framework/base/UniqueHandle.h"

#include <cstring>

namespace {

// FILE_ID_INFO, named here because older headers lack it.
struct FileIdInformation {
    ULONGLONG VolumeSerialNumber;
    BYTE FileId[16];
};
const FILE_INFO_BY_HANDLE_CLASS kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

} // namespace

bool FolderIdentity::operator==(const FolderIdentity& other) const
{
    return known && other.known && volume == other.volume && std::memcmp(id, other.id, sizeof(id)) == 0;
}

bool IdentifyHandle(HANDLE handle, FolderIdentity& identity)
{
    identity = FolderIdentity();
    // The 128-bit ID (ReFS needs it) where the system has it; Windows before 8 and some
    // redirectors only know the 64-bit index. Both forms of a volume give the same one, as
    // a file system answers one class or the other for all of its files.
    FileIdInformation full = {};
    if (GetFileInformationByHandleEx(handle, kFileIdInfo, &full, sizeof(full))) {
        identity.volume = full.VolumeSerialNumber;
        std::memcpy(identity.id, full.FileId, sizeof(identity.id));
        identity.known = true;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    identity.volume = info.dwVolumeSerialNumber;
    const ULONGLONG index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    std::memcpy(identity.id, &index, sizeof(index));
    identity.known = true;
    return true;
}

bool IdentifyFolder(const std::wstring& path, FolderIdentity& identity)
{
    identity = FolderIdentity();
    // No access right is needed to ask who a folder is; backup semantics open a folder.
    UIE::UniqueKernelHandle folder(CreateFileW(ExtendedLengthPath(path).c_str(), 0,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folder.get() == INVALID_HANDLE_VALUE) {
        folder.release();
        return false;
    }
    return IdentifyHandle(folder.get(), identity);
}

bool ContainsIdentity(const std::vector<FolderIdentity>& set, const FolderIdentity& identity)
{
    for (const FolderIdentity& entry : set)
        if (entry == identity)
            return true;
    return false;
}

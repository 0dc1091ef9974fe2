#include "app/FolderIdentity.h"

#include "app/CanonicalPath.h"

#include "base/UniqueHandle.h"

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

namespace {

// A serial of zero, or an ID of zero (what a file system without 128-bit IDs puts in
// FILE_ID_INFO) or of all ones (FILE_INVALID_FILE_ID), names no particular folder.
FolderIdentity Identity(DWORD volume, const BYTE (&id)[16])
{
    FolderIdentity identity;
    identity.volume = volume;
    std::memcpy(identity.id, id, sizeof(identity.id));
    bool zero = true;
    bool invalid = true;
    for (size_t i = 0; i < sizeof(id); ++i) {
        zero = zero && id[i] == 0;
        invalid = invalid && id[i] == (i < 8 ? 0xFF : 0);
    }
    identity.known = volume != 0 && !zero && !invalid;
    return identity;
}

} // namespace

FolderIdentity IdentityFromFileIdInfo(ULONGLONG volumeSerial, const BYTE (&fileId)[16])
{
    // The 32-bit serial other calls report is the low half of this one (NTFS, ReFS), so a
    // folder reached through either call compares equal.
    return Identity(static_cast<DWORD>(volumeSerial), fileId);
}

FolderIdentity IdentityFromHandleInfo(DWORD volumeSerial, DWORD indexHigh, DWORD indexLow)
{
    // A 64-bit index is the low half of the 128-bit ID, as FILE_ID_128 holds it.
    const ULONGLONG index = (static_cast<ULONGLONG>(indexHigh) << 32) | indexLow;
    BYTE id[16] = {};
    std::memcpy(id, &index, sizeof(index));
    return Identity(volumeSerial, id);
}

bool IdentifyHandle(HANDLE handle, FolderIdentity& identity)
{
    // The 128-bit ID (ReFS needs it) where the system has it; Windows before 8, FAT and
    // some redirectors only know the 64-bit index (FAT answers FILE_ID_INFO with an ID of 0).
    FileIdInformation full = {};
    if (GetFileInformationByHandleEx(handle, kFileIdInfo, &full, sizeof(full))) {
        identity = IdentityFromFileIdInfo(full.VolumeSerialNumber, full.FileId);
        if (identity.known)
            return true;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info)) {
        identity = FolderIdentity();
        return false;
    }
    identity = IdentityFromHandleInfo(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return identity.known;
}

bool IdentifyFolder(const std::wstring& path, FolderIdentity& identity)
{
    identity = FolderIdentity();
    // No access right is needed to ask who a folder is; backup semantics open a folder.
    const Base::UniqueFileHandle folder(CreateFileW(ExtendedLengthPath(path).c_str(), 0,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return folder && IdentifyHandle(folder.get(), identity);
}

bool ContainsIdentity(const std::vector<FolderIdentity>& set, const FolderIdentity& identity)
{
    for (const FolderIdentity& entry : set)
        if (entry == identity)
            return true;
    return false;
}

#include "app/LinkDecision.h"

bool IsLinkItem(DWORD attributes, DWORD reparseTag)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // Wine answers every reparse point with the tag 0, which names none.
    return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

bool IsLinkHandle(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof(info)))
        return true;
    return IsLinkItem(info.FileAttributes, info.ReparseTag);
}

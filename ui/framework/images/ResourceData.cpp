#include "ui/framework/images/ResourceData.h"

namespace UIE {

bool FindRcData(HMODULE module, unsigned id, const void*& bytes, DWORD& size)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id & 0xFFFF), MAKEINTRESOURCEW(10));
    if (!resource)
        return false;
    size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded || size == 0)
        return false;
    bytes = LockResource(loaded);
    return bytes != nullptr;
}

} // namespace UIE

#pragma once
#include <windows.h>

namespace UIE {

// The bytes of the RCDATA resource id (low 16 bits) of module; false when it is
// missing, empty or cannot be loaded. The bytes live as long as the module.
bool FindRcData(HMODULE module, unsigned id, const void*& bytes, DWORD& size);

} // namespace UIE

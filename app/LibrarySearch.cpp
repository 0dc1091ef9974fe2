#include "app/LibrarySearch.h"

#include <windows.h>

void LoadLibrariesFromSystemDirectoryOnly()
{
    // Windows 8 and later, and Windows 7 with KB2533623; looked up, as the program starts
    // on systems without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    const DWORD systemDirectoryOnly = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (setDefaultDllDirectories && setDefaultDllDirectories(systemDirectoryOnly))
        return;
    // At least the working directory leaves the search.
    SetDllDirectoryW(L"");
}

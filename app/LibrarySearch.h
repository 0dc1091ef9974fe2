#pragma once

// From here on, libraries loaded by name come from the system directory only, never from
// the program's own folder (the copy runs from TEMP, where anyone may put a library) or
// the working directory. Libraries the loader maps before the entry point are not covered.
void LoadLibrariesFromSystemDirectoryOnly();

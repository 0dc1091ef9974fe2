#pragma once

// The linker's name of the import slot of a __stdcall function of a system DLL, for a test
// that swaps the slot: 32-bit names are decorated with an underscore and the size of the
// arguments, 64-bit names are not.
#if defined(_WIN64)
#define ZMX_IMPORT_SLOT(name, argumentBytes) "__imp_" #name
#else
#define ZMX_IMPORT_SLOT(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#endif

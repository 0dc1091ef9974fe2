#pragma once
#include <windows.h>

#include <objbase.h>

#include <utility>

namespace Base {

// Owns one handle of a kind and frees it the kind's way; move-only. Traits give the kind's
// handle type, the value an empty owner holds (null, or INVALID_HANDLE_VALUE where the API
// that opens the kind fails with it) and the call that frees it.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle owned) : handle(owned) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle; }
    explicit operator bool() const { return handle != Traits::Empty(); }
    // Gives up ownership without freeing: only for a handle something else now frees.
    Handle release() { return std::exchange(handle, Traits::Empty()); }
    // Frees the current handle, then owns replacement.
    void reset(Handle replacement = Traits::Empty())
    {
        const Handle old = std::exchange(handle, replacement);
        if (old != Traits::Empty())
            Traits::Free(old);
    }
    // Frees the current handle and lends the empty slot to a call that opens into it.
    Handle* put()
    {
        reset();
        return &handle;
    }

private:
    Handle handle = Traits::Empty();
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static void Free(Handle object) { DeleteObject(object); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Free(Handle dc) { DeleteDC(dc); }
};
// Processes, threads and events: the calls that make them fail with null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Free(Handle handle) { CloseHandle(handle); }
};
// Files and folders: CreateFileW fails with INVALID_HANDLE_VALUE, never with null (a native
// open's handle is stored only once the open succeeded).
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle handle) { CloseHandle(handle); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle find) { FindClose(find); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Free(Handle key) { RegCloseKey(key); }
};
// Strings the shell allocates for its caller (SHGetKnownFolderPath).
struct CoTaskMemStringTraits {
    using Handle = PWSTR;
    static Handle Empty() { return nullptr; }
    static void Free(Handle text) { CoTaskMemFree(text); }
};
// Blocks the caller frees with LocalFree (CommandLineToArgvW's argument array).
template <typename T>
struct LocalMemoryTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static void Free(Handle block) { LocalFree(block); }
};
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static void Free(Handle block) { GlobalFree(block); }
};

using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueCoTaskMemString = UniqueHandle<CoTaskMemStringTraits>;
using UniqueArgumentArray = UniqueHandle<LocalMemoryTraits<LPWSTR*>>;
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;

} // namespace Base

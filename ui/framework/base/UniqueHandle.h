#pragma once
#include <windows.h>

#include <utility>

namespace UIE {

// Owns one handle and frees it with Deleter; move-only, null means empty.
template <typename Handle, typename Deleter>
class UniqueHandle {
public:
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
    explicit operator bool() const { return handle != nullptr; }
    // Gives up ownership without freeing.
    Handle release() { return std::exchange(handle, nullptr); }
    // Frees the current handle, then owns replacement.
    void reset(Handle replacement = nullptr)
    {
        const Handle old = std::exchange(handle, replacement);
        if (old)
            Deleter()(old);
    }

private:
    Handle handle = nullptr;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct KernelHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcDeleter>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleDeleter>;

} // namespace UIE

#pragma once
#include <windows.h>

namespace Base {

// A window's DC (null window: the screen's) from GetDC, given back with ReleaseDC to the
// same window, which is why it is not a UniqueHandle: freeing it needs the window too.
class WindowDc {
public:
    explicit WindowDc(HWND owner) : window(owner), dc(GetDC(owner)) {}
    ~WindowDc()
    {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HWND window;
    HDC dc;
};

} // namespace Base

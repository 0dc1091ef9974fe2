#include "ui/framework/base/Dpi.h"

#include "base/WindowDc.h"

namespace UIE {

DpiInfo& GetDpiInfo()
{
    static DpiInfo info;
    return info;
}

int NormalizeDpi(int logPixels)
{
    return logPixels > 0 ? logPixels : 96;
}

int ReadDpi(HWND window)
{
    const Base::WindowDc dc(window);
    return dc ? NormalizeDpi(GetDeviceCaps(dc.get(), LOGPIXELSY)) : 0;
}

void RefreshDpi(HWND window)
{
    if (const int dpi = ReadDpi(window))
        GetDpiInfo().dpi = dpi;
}

int DpiScaleAt(int value, int dpi)
{
    return MulDiv(value, dpi, 96);
}

int DpiUnscaleAt(int value, int dpi)
{
    return MulDiv(value, 96, dpi);
}

int DpiScale(int value)
{
    return DpiScaleAt(value, GetDpiInfo().dpi);
}

int DpiUnscale(int value)
{
    return DpiUnscaleAt(value, GetDpiInfo().dpi);
}

void MakeProcessDpiAware()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return;
    using SetProcessDpiAwareFn = BOOL(WINAPI*)();
    auto setAware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setAware)
        setAware();
}

} // namespace UIE

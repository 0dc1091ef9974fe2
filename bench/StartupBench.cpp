// Times a program's start as the user sees it: from just before CreateProcess until the
// screen shows its first complete frame, read from the screen itself (the window's
// button colour at two points of the button, left and right of its caption).
//   startup_bench TITLE COMMAND_LINE
// The button's logical points are those of the uninstaller's idle layout; the program
// under test is terminated once its frame is seen, so nothing of it runs on.
// Prints "window_ms <first visible window> frame_ms <first complete frame>".
#include "BenchClock.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const COLORREF kButton = RGB(0xFF, 0x74, 0x67);

bool ShowsFrame(HDC screen, HWND hwnd, int dpi)
{
    const POINT logical[] = {{204, 298}, {316, 298}};
    for (const POINT& point : logical) {
        POINT device{MulDiv(point.x, dpi, 96), MulDiv(point.y, dpi, 96)};
        ClientToScreen(hwnd, &device);
        if (GetPixel(screen, device.x, device.y) != kButton)
            return false;
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    SetProcessDPIAware();
    const std::wstring title = argv[1];
    std::wstring commandLine = argv[2];
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const double start = NowMs();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "CreateProcess failed: %lu\n", GetLastError());
        return 1;
    }
    double windowMs = -1, frameMs = -1;
    HWND hwnd = nullptr;
    while (NowMs() - start < 30000) {
        if (!hwnd) {
            HWND found = FindWindowW(nullptr, title.c_str());
            if (found && IsWindowVisible(found)) {
                hwnd = found;
                windowMs = NowMs() - start;
            }
        }
        if (hwnd && ShowsFrame(screen, hwnd, dpi)) {
            frameMs = NowMs() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ReleaseDC(nullptr, screen);
    if (frameMs < 0) {
        std::fprintf(stderr, "no frame seen (window %s)\n", hwnd ? "found" : "not found");
        return 1;
    }
    std::printf("window_ms %.1f frame_ms %.1f\n", windowMs, frameMs);
    return 0;
}

// zmx_e2e_helper: what the end-to-end scripts cannot see or do from the X side.
//   watch <seconds>  waits for the uninstaller's temporary copy (zmx*.exe) to run, then
//                    for it to end; prints "exit <code>" (or "none", "timeout")
//   close            posts WM_CLOSE to the uninstall window, as another program would
//   sysclose         posts WM_SYSCOMMAND SC_CLOSE, as Alt+F4 or the taskbar would
//   state            prints "window <visible> <iconic> <left> <top> <right> <bottom> <pid>" or "none"
//   restore          restores the minimised window, as a click on its taskbar button would
//   box <title>      prints the message text of the message box with that title (UTF-8)
#include <windows.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kWindowClass[] = L"Zmx.UiWindow";

bool IsCopyName(const wchar_t* name)
{
    const size_t length = wcslen(name);
    return length > 7 && _wcsnicmp(name, L"zmx", 3) == 0 && _wcsicmp(name + length - 4, L".exe") == 0;
}

DWORD FindCopyProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD found = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        if (IsCopyName(entry.szExeFile))
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

int Watch(DWORD seconds)
{
    const ULONGLONG deadline = GetTickCount64() + seconds * 1000ULL;
    HANDLE process = nullptr;
    // The first process has started the copy before it exits, but a snapshot taken just
    // then may still miss it.
    while (!process && GetTickCount64() < deadline) {
        if (const DWORD id = FindCopyProcess())
            process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (!process)
            Sleep(50);
    }
    if (!process) {
        std::printf("none\n");
        return 2;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (WaitForSingleObject(process, left) != WAIT_OBJECT_0) {
        CloseHandle(process);
        std::printf("timeout\n");
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    std::printf("exit %lu\n", static_cast<unsigned long>(code));
    return 0;
}

int Post(UINT message, WPARAM wParam)
{
    HWND window = FindWindowW(kWindowClass, nullptr);
    if (!window || !PostMessageW(window, message, wParam, 0)) {
        std::printf("none\n");
        return 1;
    }
    std::printf("posted\n");
    return 0;
}

int State()
{
    HWND window = FindWindowW(kWindowClass, nullptr);
    if (!window) {
        std::printf("none\n");
        return 1;
    }
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::printf("window %d %d %ld %ld %ld %ld %lu\n", IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
                rect.left, rect.top, rect.right, rect.bottom, static_cast<unsigned long>(process));
    return 0;
}

int Restore()
{
    HWND window = FindWindowW(kWindowClass, nullptr);
    // Async: a window thread that no longer answers must show up as an unchanged state.
    if (!window || !ShowWindowAsync(window, SW_RESTORE)) {
        std::printf("none\n");
        return 1;
    }
    std::printf("restored\n");
    return 0;
}

int BoxText(const wchar_t* title)
{
    HWND box = FindWindowW(L"#32770", title);
    // The message box keeps its text in a static control with id 0xFFFF.
    HWND text = box ? GetDlgItem(box, 0xFFFF) : nullptr;
    if (!text) {
        std::printf("none\n");
        return 1;
    }
    wchar_t buffer[1024] = {};
    GetWindowTextW(text, buffer, 1024);
    char utf8[4096] = {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (size > 1)
        std::fwrite(utf8, 1, static_cast<size_t>(size - 1), stdout);
    std::printf("\n");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Line feeds of a message text must reach the script as they are, not as CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc >= 3 && wcscmp(argv[1], L"watch") == 0)
        return Watch(static_cast<DWORD>(_wtoi(argv[2])));
    if (argc >= 2 && wcscmp(argv[1], L"close") == 0)
        return Post(WM_CLOSE, 0);
    if (argc >= 2 && wcscmp(argv[1], L"sysclose") == 0)
        return Post(WM_SYSCOMMAND, SC_CLOSE);
    if (argc >= 2 && wcscmp(argv[1], L"state") == 0)
        return State();
    if (argc >= 2 && wcscmp(argv[1], L"restore") == 0)
        return Restore();
    if (argc >= 3 && wcscmp(argv[1], L"box") == 0)
        return BoxText(argv[2]);
    return 64;
}

// Times one removal of a directory tree, in milliseconds, by one of three means:
//   remove_tree_bench ours DIR      RemoveDirectoryTree, in this process
//   remove_tree_bench rmdir DIR     cmd.exe /c rmdir /s /q DIR, as a child process
//   remove_tree_bench cmdstart      cmd.exe /c exit, the child's start-up alone
// Prints "ms <value>" and fails when the tree is still there afterwards.
#include "BenchClock.h"

#include "app/Removal.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool RunCommand(const std::wstring& commandLine)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    std::wstring line = L"cmd.exe " + commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(cmd.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool Gone(const std::wstring& dir)
{
    return GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::wstring mode = argv[1];
    const std::wstring dir = argc > 2 ? argv[2] : L"";
    double start = 0, end = 0;
    if (mode == L"ours" && !dir.empty()) {
        start = NowMs();
        const bool removed = RemoveDirectoryTree(dir);
        end = NowMs();
        if (!removed) {
            std::fprintf(stderr, "RemoveDirectoryTree returned false\n");
            return 1;
        }
    } else if (mode == L"rmdir" && !dir.empty()) {
        start = NowMs();
        const bool ran = RunCommand(L"/c rmdir /s /q \"" + dir + L"\"");
        end = NowMs();
        if (!ran)
            return 1;
    } else if (mode == L"cmdstart") {
        start = NowMs();
        const bool ran = RunCommand(L"/c exit");
        end = NowMs();
        if (!ran)
            return 1;
    } else {
        return 2;
    }
    if (!dir.empty() && !Gone(dir)) {
        std::fprintf(stderr, "the tree is still there\n");
        return 1;
    }
    std::printf("ms %.1f\n", end - start);
    return 0;
}

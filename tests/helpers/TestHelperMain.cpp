// zmx_test_helper: the other process that tests need.
//   hold <file> <milliseconds>  opens file without delete sharing, creates <file>.held, sleeps
//   selfdelete                  schedules its own deletion, as the uninstaller's copy does
//   whereami <output>           writes GetModulePath() and GetModuleDirectory() (UTF-8 lines)
//   removetree <dir> <stack KB> RemoveDirectoryTree on a thread with that little stack;
//                               0 removed, 1 not removed (a stack overflow ends it otherwise)
#include "app/PathUtils.h"
#include "app/Removal.h"
#include "app/SelfDelete.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

bool WriteUtf8(const std::wstring& path, const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok != FALSE;
}

int Hold(const std::wstring& path, DWORD milliseconds)
{
    // Read and write sharing only: every delete of the file fails while we sleep.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    if (!WriteUtf8(path + L".held", L"held")) {
        CloseHandle(file);
        return 4;
    }
    Sleep(milliseconds);
    CloseHandle(file);
    return 0;
}

struct RemoveTreeJob {
    std::wstring dir;
    bool removed = false;
};

DWORD WINAPI RemoveTreeThread(void* parameter)
{
    auto* job = static_cast<RemoveTreeJob*>(parameter);
    job->removed = RemoveDirectoryTree(job->dir);
    return 0;
}

int RemoveTreeWithStack(const std::wstring& dir, SIZE_T stackBytes)
{
    RemoveTreeJob job{dir};
    HANDLE thread = CreateThread(nullptr, stackBytes, RemoveTreeThread, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return 5;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return job.removed ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 4 && wcscmp(argv[1], L"hold") == 0)
        return Hold(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (argc >= 2 && wcscmp(argv[1], L"selfdelete") == 0) {
        ScheduleSelfDelete(GetModulePath());
        return 0;
    }
    if (argc >= 3 && wcscmp(argv[1], L"whereami") == 0)
        return WriteUtf8(argv[2], GetModulePath() + L"\n" + GetModuleDirectory()) ? 0 : 4;
    if (argc >= 4 && wcscmp(argv[1], L"removetree") == 0)
        return RemoveTreeWithStack(argv[2], static_cast<SIZE_T>(_wtoi(argv[3])) * 1024);
    return 2;
}

#include "helpers/TestSupport.h"

#include "base/UniqueHandle.h"

#include <winternl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cwctype>

namespace zmxtest {

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string WideToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr,
                        nullptr);
    return narrow;
}

std::wstring WindowsPathFromUnix(const std::string& unixPath)
{
    std::wstring path = L"Z:" + Utf8ToWide(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// The build names the files the tests run by their Unix paths; a build that names none
// leaves the path empty.
#ifndef ZMX_UNINSTALL_EXE
#define ZMX_UNINSTALL_EXE ""
#endif
#ifndef ZMX_TEST_HELPER_EXE
#define ZMX_TEST_HELPER_EXE ""
#endif
#ifndef ZMX_PLANTED_LIBRARY
#define ZMX_PLANTED_LIBRARY ""
#endif

namespace {

std::wstring BuiltFilePath(const char* unixPath)
{
    return *unixPath ? WindowsPathFromUnix(unixPath) : std::wstring();
}

} // namespace

std::wstring UninstallExePath() { return BuiltFilePath(ZMX_UNINSTALL_EXE); }

std::wstring TestHelperExePath() { return BuiltFilePath(ZMX_TEST_HELPER_EXE); }

std::wstring PlantedLibraryPath() { return BuiltFilePath(ZMX_PLANTED_LIBRARY); }

namespace {

using UnixFileNameFn = char*(__cdecl*)(const wchar_t*);

UnixFileNameFn WineUnixFileName()
{
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? reinterpret_cast<UnixFileNameFn>(
                          reinterpret_cast<void*>(GetProcAddress(kernel32, "wine_get_unix_file_name")))
                    : nullptr;
}

// Wine starts Unix programs through CreateProcessW, but the handle it returns is no real
// process: it neither waits nor reports an exit code. Callers poll for the outcome.
void StartUnixTool(const wchar_t* tool, const std::wstring& arguments)
{
    std::wstring commandLine = std::wstring(tool) + L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(tool, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        const Base::UniqueKernelHandle thread(process.hThread);
        const Base::UniqueKernelHandle started(process.hProcess);
    }
}

bool IsDirectoryLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
        && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

ScratchDir::ScratchDir(const std::wstring& parent, const std::wstring& prefix)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
        const std::wstring candidate = (parent.back() == L'\\' ? parent : parent + L'\\') + prefix
            + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L"-"
            + std::to_wstring(GetTickCount());
        if (CreateDirectoryW(candidate.c_str(), nullptr))
            path = candidate;
    }
}

ScratchDir::~ScratchDir()
{
    if (path.empty())
        return;
    RemoveTreeForCleanup(path);
    // Wine hides a dangling link from Win32 calls, so only the Unix side can remove it.
    const std::string unixPath = PathExists(path) && IsWine() ? UnixPathOf(path) : std::string();
    if (!unixPath.empty()) {
        StartUnixTool(L"Z:\\bin\\rm", L"-rf " + QuoteArgument(Utf8ToWide(unixPath)));
        WaitUntil([&] { return !PathExists(path); }, 15000);
    }
}

std::wstring ScratchDir::operator/(const std::wstring& name) const
{
    return path + L'\\' + name;
}

std::wstring ScratchDir::MakeDir(const std::wstring& relative) const
{
    std::wstring current = path;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = relative.find_first_of(L"\\/", start);
        const std::wstring part = relative.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!part.empty()) {
            current += L'\\' + part;
            CreateDirectoryW(current.c_str(), nullptr);
        }
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return current;
}

void RemoveTreeForCleanup(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveSymlink(path);
        RemoveDirectoryW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    const Base::UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                RemoveTreeForCleanup(path + L'\\' + name);
        } while (FindNextFileW(find.get(), &entry));
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const Base::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == bytes.size();
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    const Base::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buffer[4096];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) != FALSE) && read > 0)
        bytes.append(buffer, read);
    return ok;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ListFiles(const std::wstring& dir, const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const Base::UniqueFindHandle find(FindFirstFileW((dir + L'\\' + pattern).c_str(), &entry));
    if (!find)
        return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find.get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    // The rules of CommandLineToArgvW: backslashes double only before a quote.
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::vector<wchar_t> EnvironmentWithTemp(const std::wstring& tempDir)
{
    std::vector<wchar_t> block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const size_t equals = text.find(L'=', 1);
        const std::wstring name = text.substr(0, equals);
        if (CompareStringOrdinal(name.c_str(), -1, L"TEMP", -1, TRUE) == CSTR_EQUAL
            || CompareStringOrdinal(name.c_str(), -1, L"TMP", -1, TRUE) == CSTR_EQUAL)
            continue;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    if (current)
        FreeEnvironmentStringsW(current);
    for (const wchar_t* name : {L"TEMP=", L"TMP="}) {
        const std::wstring text = name + tempDir;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

ChildProcess::~ChildProcess()
{
    if (info.hThread)
        CloseHandle(info.hThread);
    if (info.hProcess)
        CloseHandle(info.hProcess);
}

bool ChildProcess::Start(const std::wstring& commandLine, const ProcessOptions& options)
{
    std::vector<wchar_t> environment;
    DWORD flags = options.creationFlags;
    if (!options.tempDir.empty()) {
        environment = EnvironmentWithTemp(options.tempDir);
        flags |= CREATE_UNICODE_ENVIRONMENT;
    }
    std::wstring writable = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, &writable[0], nullptr, nullptr, FALSE, flags,
                          environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info)
        != FALSE;
}

long ChildProcess::Wait(DWORD timeoutMs)
{
    if (!info.hProcess || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return static_cast<long>(code);
}

void ChildProcess::Terminate()
{
    if (info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 255);
        WaitForSingleObject(info.hProcess, 10000);
    }
}

long RunProcess(const std::wstring& commandLine, const ProcessOptions& options, DWORD timeoutMs)
{
    ChildProcess child;
    if (!child.Start(commandLine, options))
        return -1;
    const long code = child.Wait(timeoutMs);
    if (code == -1)
        child.Terminate();
    return code;
}

namespace {

bool WildcardMatch(const wchar_t* pattern, const wchar_t* text)
{
    if (*pattern == L'\0')
        return *text == L'\0';
    if (*pattern == L'*')
        return WildcardMatch(pattern + 1, text) || (*text && WildcardMatch(pattern, text + 1));
    if (*text == L'\0')
        return false;
    if (*pattern != L'?' && towlower(*pattern) != towlower(*text))
        return false;
    return WildcardMatch(pattern + 1, text + 1);
}

std::wstring ImageOf(HANDLE process, HANDLE file)
{
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    std::wstring image;
    if (QueryFullProcessImageNameW(process, 0, buffer, &size))
        image = buffer;
    else if (file && GetFinalPathNameByHandleW(file, buffer, MAX_PATH * 2, 0))
        image = buffer;
    if (image.compare(0, 4, L"\\\\?\\") == 0)
        image.erase(0, 4);
    return image;
}

} // namespace

std::wstring CommandLineOf(HANDLE process)
{
    using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0)
        return {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), &read)
        || !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters), &read))
        return {};
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!text.empty()
        && !ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0], parameters.CommandLine.Length, &read))
        return {};
    return text;
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine)
{
    std::vector<std::wstring> parts;
    int count = 0;
    const Base::UniqueArgumentArray args(CommandLineToArgvW(commandLine.c_str(), &count));
    if (!args)
        return parts;
    for (int i = 0; i < count; ++i)
        parts.push_back(args.get()[i]);
    return parts;
}

namespace {

struct WindowSearch {
    DWORD processId;
    int closed;
};

BOOL CALLBACK CloseIfOwned(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ++search->closed;
    }
    return TRUE;
}

} // namespace

int CloseTopLevelWindowsOf(DWORD processId)
{
    WindowSearch search = {processId, 0};
    EnumWindows(CloseIfOwned, reinterpret_cast<LPARAM>(&search));
    return search.closed;
}

ProcessTrace::~ProcessTrace()
{
    if (live.empty())
        return;
    for (const auto& entry : live)
        TerminateProcess(entry.second, 255);
    RunToEnd(10000);
}

bool ProcessTrace::Start(const std::wstring& commandLine, const ProcessOptions& options)
{
    ProcessOptions traced = options;
    traced.creationFlags |= DEBUG_PROCESS;
    ChildProcess child;
    started = child.Start(commandLine, traced);
    return started;
}

bool ProcessTrace::RunToEnd(DWORD timeoutMs)
{
    if (!started)
        return false;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    ULONGLONG nextIdle = 0;
    bool timedOut = false;
    for (;;) {
        if (!processes.empty() && live.empty())
            break;
        if (!timedOut && GetTickCount64() >= deadline) {
            // Too late: end what still runs, then collect the exit events.
            timedOut = true;
            for (const auto& entry : live)
                TerminateProcess(entry.second, 255);
        }
        if (timedOut && GetTickCount64() >= deadline + 10000)
            break;
        // A busy debuggee may never leave a gap between events, so idle work goes by the clock.
        if (onIdle && !timedOut && !live.empty() && GetTickCount64() >= nextIdle) {
            onIdle(processes);
            nextIdle = GetTickCount64() + 100;
        }
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 100))
            continue;
        DWORD continueStatus = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT: {
            const CREATE_PROCESS_DEBUG_INFO& info = event.u.CreateProcessInfo;
            Process process;
            process.id = event.dwProcessId;
            process.image = ImageOf(info.hProcess, info.hFile);
            process.commandLine = CommandLineOf(info.hProcess);
            process.handle = info.hProcess;
            if (info.hFile)
                CloseHandle(info.hFile);
            processes.push_back(process);
            live.emplace_back(event.dwProcessId, info.hProcess);
            if (onProcessStart)
                onProcessStart(process);
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            for (Process& process : processes)
                if (process.id == event.dwProcessId && !process.exited) {
                    process.exited = true;
                    process.exitCode = event.u.ExitProcess.dwExitCode;
                    process.handle = nullptr;
                }
            live.erase(std::remove_if(live.begin(), live.end(),
                                      [&](const auto& entry) { return entry.first == event.dwProcessId; }),
                       live.end());
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            // Only the loader's initial breakpoint is ours; everything else is the process's own.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                continueStatus = DBG_EXCEPTION_NOT_HANDLED;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    }
    return !timedOut && live.empty();
}

std::vector<ProcessTrace::Process> ProcessTrace::ProcessesNamed(const std::wstring& pattern) const
{
    std::vector<Process> matching;
    for (const Process& process : processes) {
        const size_t separator = process.image.find_last_of(L"\\/");
        const std::wstring name = separator == std::wstring::npos ? process.image : process.image.substr(separator + 1);
        if (WildcardMatch(pattern.c_str(), name.c_str()))
            matching.push_back(process);
    }
    return matching;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return condition();
        Sleep(intervalMs);
    }
}

TemporaryFile::TemporaryFile(const std::wstring& filePath, const std::string& bytes) : path(filePath)
{
    if (!PathExists(path))
        created = WriteFileBytes(path, bytes);
}

TemporaryFile::~TemporaryFile()
{
    if (created)
        DeleteFileW(path.c_str());
}

bool IsWine()
{
    return WineUnixFileName() != nullptr;
}

std::string UnixPathOf(const std::wstring& windowsPath)
{
    const UnixFileNameFn convert = WineUnixFileName();
    if (!convert)
        return {};
    char* unixPath = convert(windowsPath.c_str());
    if (!unixPath)
        return {};
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

namespace {

// Wine makes no symbolic link itself; one that Unix's ln makes shows as a link under Wine.
bool StartUnixSymlink(const std::wstring& link, const std::wstring& target)
{
    const std::string unixLink = UnixPathOf(link);
    const std::string unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty())
        return false;
    StartUnixTool(L"Z:\\bin\\ln",
                  L"-s " + QuoteArgument(Utf8ToWide(unixTarget)) + L" " + QuoteArgument(Utf8ToWide(unixLink)));
    return true;
}

} // namespace

bool MakeDirectorySymlink(const std::wstring& link, const std::wstring& target)
{
    if (IsWine()) {
        if (!StartUnixSymlink(link, target))
            return false;
        return WaitUntil([&] { return IsDirectoryLink(link); }, 15000);
    } else {
        const DWORD allowUnprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
        CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | allowUnprivileged);
    }
    return IsDirectoryLink(link);
}

bool MakeFileSymlink(const std::wstring& link, const std::wstring& target)
{
    if (IsWine()) {
        if (!StartUnixSymlink(link, target))
            return false;
        // Wine 8 shows a link to a file as the plain file it leads to.
        return WaitUntil([&] { return FileExists(link); }, 15000);
    }
    const DWORD allowUnprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    CreateSymbolicLinkW(link.c_str(), target.c_str(), allowUnprivileged);
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void RemoveSymlink(const std::wstring& link)
{
    if (IsWine()) {
        const std::string unixLink = UnixPathOf(link);
        if (unixLink.empty())
            return;
        StartUnixTool(L"Z:\\bin\\rm", L"-f " + QuoteArgument(Utf8ToWide(unixLink)));
        WaitUntil([&] { return !PathExists(link); }, 15000);
    } else if (IsDirectoryLink(link)) {
        RemoveDirectoryW(link.c_str());
    }
}

std::wstring ToUpper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ToLower(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WithForwardSlashes(std::wstring text)
{
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

} // namespace zmxtest

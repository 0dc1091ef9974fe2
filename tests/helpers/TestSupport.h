#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zmxtest {

// "Z:" and the Unix path with backslashes: where Wine shows a file of the build tree.
std::wstring WindowsPathFromUnix(const std::string& unixPath);
// build/Uninstall.exe and zmx_test_helper.exe as Windows paths.
std::wstring UninstallExePath();
std::wstring TestHelperExePath();
// A library that leaves "<its path>.loaded" when it is loaded.
std::wstring PlantedLibraryPath();

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// A fresh directory <parent>\<prefix><pid>-<n>-<tick>, removed with everything in it on
// destruction. Tests of one program may run in parallel with other programs, so the
// name is unique per process and per instance.
class ScratchDir {
public:
    explicit ScratchDir(const std::wstring& parent = L"C:\\", const std::wstring& prefix = L"zmxtest-");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const;
    // Creates a subdirectory (and its parents below the scratch root); returns its path.
    std::wstring MakeDir(const std::wstring& relative) const;

private:
    std::wstring path;
};

// Removes a tree without following links; clears read-only first. For test cleanup only.
void RemoveTreeForCleanup(const std::wstring& path);

// Removes a file or tree the test made elsewhere when the scope ends.
class CleanupOnExit {
public:
    explicit CleanupOnExit(const std::wstring& path) : path(path) {}
    ~CleanupOnExit() { RemoveTreeForCleanup(path); }
    CleanupOnExit(const CleanupOnExit&) = delete;
    CleanupOnExit& operator=(const CleanupOnExit&) = delete;

private:
    std::wstring path;
};

bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
bool FileExists(const std::wstring& path);      // a file, not a directory
bool DirectoryExists(const std::wstring& path); // a directory (or a link to one)
bool PathExists(const std::wstring& path);

// Names (not paths) of the entries of dir matching pattern, "." and ".." left out, sorted.
std::vector<std::wstring> ListFiles(const std::wstring& dir, const std::wstring& pattern = L"*");

// A program and its arguments as one command line, each part quoted when needed.
std::wstring QuoteArgument(const std::wstring& argument);

struct ProcessOptions {
    std::wstring tempDir; // when set, the child sees it as TEMP and TMP
    DWORD creationFlags = 0;
};

// Starts a process; its handles are closed by the destructor. The child is never killed
// implicitly: Terminate() is for a test that is done with a helper it started.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::wstring& commandLine, const ProcessOptions& options = {});
    // The exit code, or -1 when the process did not end within timeoutMs.
    long Wait(DWORD timeoutMs);
    void Terminate();
    HANDLE Handle() const { return info.hProcess; }
    DWORD Id() const { return info.dwProcessId; }

private:
    PROCESS_INFORMATION info = {};
};

// Runs a command line to its end: the exit code, -1 when it could not start or timed out
// (a process that timed out is terminated).
long RunProcess(const std::wstring& commandLine, const ProcessOptions& options = {},
                DWORD timeoutMs = 60000);

// The current environment with TEMP and TMP replaced, as a CreateProcessW block.
std::vector<wchar_t> EnvironmentWithTemp(const std::wstring& tempDir);

// Runs a command line as a debuggee, so that every process it starts, directly or through
// the shell, is seen before it runs a single instruction of its own: its image, its command
// line and finally its exit code. Debug events must be handled by the thread that started it.
class ProcessTrace {
public:
    struct Process {
        DWORD id = 0;
        std::wstring image;       // full path, without a "\\?\" prefix
        std::wstring commandLine; // as the process itself sees it
        bool exited = false;
        DWORD exitCode = 0;
        HANDLE handle = nullptr; // owned by the debug system; valid until the process ended
    };

    ProcessTrace() = default;
    ~ProcessTrace();
    ProcessTrace(const ProcessTrace&) = delete;
    ProcessTrace& operator=(const ProcessTrace&) = delete;

    bool Start(const std::wstring& commandLine, const ProcessOptions& options = {});
    // Handles events until every traced process has ended; false on timeout, after which
    // the remaining processes are terminated.
    bool RunToEnd(DWORD timeoutMs);

    // Called for each new process while it is still suspended.
    std::function<void(const Process&)> onProcessStart;
    // Called about every 100 ms while traced processes run (for example to close windows).
    std::function<void(const std::vector<Process>&)> onIdle;

    const std::vector<Process>& Processes() const { return processes; }
    // The processes whose image file name matches pattern (wildcards * and ?).
    std::vector<Process> ProcessesNamed(const std::wstring& pattern) const;

private:
    std::vector<Process> processes;
    std::vector<std::pair<DWORD, HANDLE>> live; // handles owned by the debug system
    bool started = false;
};

// Posts WM_CLOSE to the visible top-level windows of a process; returns how many.
int CloseTopLevelWindowsOf(DWORD processId);
// The command line another process was started with, read from its process parameters.
std::wstring CommandLineOf(HANDLE process);
// The elements of a command line split the way CommandLineToArgvW splits it.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// Polls condition until it holds or timeoutMs passes; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs = 100);

// Dispatches what is already queued for this thread, without waiting for more.
inline void DispatchPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Removes whatever is still queued for this thread without dispatching it.
inline void DropQueuedMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Dispatches this thread's messages until condition holds or timeoutMs passes; returns
// the condition's last value. Waits for new messages instead of sleeping.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        DispatchPending();
        if (condition())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return condition();
        // Short waits, so a condition changed by another thread is seen soon.
        const ULONGLONG left = deadline - now;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left < 50 ? left : 50), QS_ALLINPUT);
    }
}

// A file created by a test somewhere outside its scratch directory, removed again by the
// destructor only if the test created it.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& path, const std::string& bytes = "");
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    bool Exists() const { return FileExists(path) || DirectoryExists(path); }

private:
    std::wstring path;
    bool created = false;
};

// True when the tests run under Wine rather than Windows.
bool IsWine();
// The Unix path Wine maps a Windows path to; empty outside Wine.
std::string UnixPathOf(const std::wstring& windowsPath);
// Makes link a symbolic link to the directory target: under Wine a Unix symlink (Wine 8's
// CreateSymbolicLinkW does nothing), elsewhere CreateSymbolicLinkW. True when the link
// shows up as a directory with FILE_ATTRIBUTE_REPARSE_POINT.
bool MakeDirectorySymlink(const std::wstring& link, const std::wstring& target);
// Makes link a symbolic link to the file target (a Unix symlink under Wine, which shows it
// as a plain file); false when none can be made here.
bool MakeFileSymlink(const std::wstring& link, const std::wstring& target);
// Removes such a link (either kind) without touching its target.
void RemoveSymlink(const std::wstring& link);

std::wstring ToUpper(std::wstring text);
std::wstring ToLower(std::wstring text);
std::wstring WithForwardSlashes(std::wstring text);

} // namespace zmxtest

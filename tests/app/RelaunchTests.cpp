// Drives the real Uninstall.exe from a sandbox installation with a private TEMP. Every run is
// traced as a debuggee, so the copy is seen, with its command line, before it runs.
#include "app/ProductInfo.h"
#include "app/RefusalMessage.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <memory>

using namespace zmxtest;

namespace {

const DWORD kRunTimeoutMs = 45000;
const DWORD kGoneWithinMs = 15000;

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// GetTempFileNameW's "zmx<hex>.tmp" with ".exe" appended.
bool IsCopyName(const std::wstring& name)
{
    const std::wstring tail = L".tmp.exe";
    if (name.size() <= 3 + tail.size() || !SameText(name.substr(0, 3), L"zmx")
        || !SameText(name.substr(name.size() - tail.size()), tail))
        return false;
    const std::wstring unique = name.substr(3, name.size() - 3 - tail.size());
    if (unique.size() > 4)
        return false;
    for (wchar_t c : unique)
        if (!iswxdigit(c))
            return false;
    return true;
}

class RelaunchSandbox : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(scratch.Path().empty());
        installDir = scratch.MakeDir(L"Qelvo Test");
        temp = scratch.MakeDir(L"Temp");
        installedExe = installDir + L"\\Uninstall.exe";
        ASSERT_TRUE(CopyFileW(UninstallExePath().c_str(), installedExe.c_str(), FALSE))
            << WideToUtf8(UninstallExePath());
        ASSERT_TRUE(WriteFileBytes(installDir + L"\\Qelvo.exe", "MZ"));
    }

    // Runs a command line with the private TEMP until it and everything it started ended.
    // TEMP is listed at the moment each process starts. With stopCopies, a copy is ended
    // before it runs a single instruction, so only the relaunch itself is exercised.
    void Run(const std::wstring& commandLine, bool stopCopies)
    {
        trace = std::make_unique<ProcessTrace>();
        tempAtStart.clear();
        trace->onProcessStart = [this, stopCopies](const ProcessTrace::Process& process) {
            tempAtStart.push_back(ListFiles(temp));
            if (stopCopies && tempAtStart.size() > 1 && IsCopyName(FileNameOf(process.image)))
                TerminateProcess(process.handle, 255);
        };
        // A copy that runs the uninstall window is closed the way its close button does.
        trace->onIdle = [](const std::vector<ProcessTrace::Process>& processes) {
            for (const ProcessTrace::Process& process : processes)
                if (!process.exited)
                    CloseTopLevelWindowsOf(process.id);
        };
        ProcessOptions options;
        options.tempDir = temp;
        ASSERT_TRUE(trace->Start(commandLine, options));
        const bool ended = trace->RunToEnd(kRunTimeoutMs);
        ASSERT_FALSE(Processes().empty());
        ASSERT_TRUE(ended) << "still running after " << kRunTimeoutMs / 1000 << " s (then terminated)";
    }

    const std::vector<ProcessTrace::Process>& Processes() const { return trace->Processes(); }
    DWORD FirstExitCode() const { return Processes().front().exitCode; }

    // The copies the run started: processes with a copy's name other than the first.
    std::vector<ProcessTrace::Process> Copies() const
    {
        std::vector<ProcessTrace::Process> copies;
        for (size_t i = 1; i < Processes().size(); ++i)
            if (IsCopyName(FileNameOf(Processes()[i].image)))
                copies.push_back(Processes()[i]);
        return copies;
    }

    size_t IndexOf(DWORD id) const
    {
        for (size_t i = 0; i < Processes().size(); ++i)
            if (Processes()[i].id == id)
                return i;
        return Processes().size();
    }

    // Exactly one copy was started from the private TEMP with "/run" and dir.
    void ExpectOneCopyStartedFor(const std::wstring& dir)
    {
        const std::vector<ProcessTrace::Process> copies = Copies();
        ASSERT_EQ(copies.size(), 1u);
        const ProcessTrace::Process& copy = copies.front();
        const std::wstring name = FileNameOf(copy.image);
        EXPECT_TRUE(SameText(copy.image, temp + L"\\" + name)) << WideToUtf8(copy.image);

        // The parameters exactly: the switch, one blank, the directory in double quotes.
        const std::wstring parameters = L"/run \"" + dir + L"\"";
        ASSERT_GE(copy.commandLine.size(), parameters.size());
        EXPECT_EQ(copy.commandLine.substr(copy.commandLine.size() - parameters.size()), parameters)
            << WideToUtf8(copy.commandLine);
        const std::vector<std::wstring> args = SplitCommandLine(copy.commandLine);
        ASSERT_EQ(args.size(), 3u) << WideToUtf8(copy.commandLine);
        EXPECT_TRUE(SameText(args[0], copy.image));
        EXPECT_EQ(args[1], L"/run");
        EXPECT_EQ(args[2], dir);

        // When it started, TEMP held the copy and nothing else: the empty zmx*.tmp had become it.
        const size_t index = IndexOf(copy.id);
        ASSERT_LT(index, tempAtStart.size());
        EXPECT_EQ(tempAtStart[index], std::vector<std::wstring>{name});
    }

    void ExpectInstallationUntouched()
    {
        EXPECT_TRUE(FileExists(installedExe));
        EXPECT_TRUE(FileExists(installDir + L"\\Qelvo.exe"));
    }

    ScratchDir scratch;
    std::wstring installDir;
    std::wstring temp;
    std::wstring installedExe;
    std::unique_ptr<ProcessTrace> trace;
    std::vector<std::vector<std::wstring>> tempAtStart;
};

class Relaunch : public RelaunchSandbox {};
class RelaunchedCopy : public RelaunchSandbox {};
class RefusedRun : public RelaunchSandbox {};

// The message boxes of one process, each read and answered with OK as it appears.
struct BoxWatch {
    DWORD processId = 0;
    std::vector<HWND> answered;
    std::vector<std::pair<std::wstring, std::wstring>> boxes; // title and text
};

BOOL CALLBACK AnswerBoxOf(HWND window, LPARAM parameter)
{
    auto* watch = reinterpret_cast<BoxWatch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (owner != watch->processId || !IsWindowVisible(window) || wcscmp(className, L"#32770") != 0
        || std::find(watch->answered.begin(), watch->answered.end(), window) != watch->answered.end())
        return TRUE;
    watch->answered.push_back(window);
    wchar_t title[256] = {};
    wchar_t text[1024] = {};
    // Read without sending a message: the box's process is being debugged, and while it
    // stands at a debug event that this thread has yet to continue, a sent WM_GETTEXT would
    // wait for it forever. A message box keeps its text in a static control with id 0xFFFF.
    InternalGetWindowText(window, title, 256);
    InternalGetWindowText(GetDlgItem(window, 0xFFFF), text, 1024);
    watch->boxes.push_back({title, text});
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
}

} // namespace

TEST_F(Relaunch, StartsOneCopyFromTempWithItsOwnDirectory)
{
    Run(QuoteArgument(installedExe), true);

    EXPECT_EQ(FirstExitCode(), 0u);
    ExpectOneCopyStartedFor(installDir);
    ExpectInstallationUntouched();
}

// A refused "/run" directory is RefusedRun's: it says why and starts nothing.
TEST_F(Relaunch, NoRunSwitchStartsACopyWithItsOwnDirectory)
{
    const std::wstring arguments[] = {
        L"/run",
        L"/RUN " + QuoteArgument(installDir),
        L"-run " + QuoteArgument(installDir),
    };
    for (const std::wstring& argument : arguments) {
        SCOPED_TRACE(WideToUtf8(argument));

        Run(QuoteArgument(installedExe) + L" " + argument, true);
        if (HasFatalFailure())
            return;

        EXPECT_EQ(FirstExitCode(), 0u);
        ExpectOneCopyStartedFor(installDir);
        ExpectInstallationUntouched();
        for (const std::wstring& name : ListFiles(temp))
            DeleteFileW((temp + L"\\" + name).c_str());
    }
}

TEST_F(Relaunch, ExecutableOutsideAnInstallationRefusesToCopyItself)
{
    // Named differently, so its own directory holds no Uninstall.exe.
    const std::wstring elsewhere = scratch.MakeDir(L"Downloads copy");
    const std::wstring renamed = elsewhere + L"\\Qelvo Uninstall.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), renamed.c_str(), FALSE));

    Run(QuoteArgument(renamed), false);

    EXPECT_EQ(FirstExitCode(), 1u);
    EXPECT_EQ(Processes().size(), 1u);
    EXPECT_TRUE(ListFiles(temp).empty());
    EXPECT_TRUE(FileExists(renamed));
}

TEST_F(Relaunch, CopyWithRejectedDirectoryDoesNotStartAnotherCopy)
{
    // A copy that cannot run the uninstall would relaunch from TEMP, and so on forever.
    const std::wstring copy = temp + L"\\zmx4F2A.tmp.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), copy.c_str(), FALSE));

    for (const std::wstring& arguments : {std::wstring(), L" /run " + QuoteArgument(scratch / L"Missing")}) {
        SCOPED_TRACE(WideToUtf8(arguments));

        Run(QuoteArgument(copy) + arguments, false);
        if (HasFatalFailure())
            return;

        EXPECT_EQ(FirstExitCode(), 1u);
        EXPECT_EQ(Processes().size(), 1u);
        EXPECT_EQ(ListFiles(temp), std::vector<std::wstring>{L"zmx4F2A.tmp.exe"});
    }
}

TEST_F(Relaunch, UninstallerInsideTempItselfRefusesToCopyItself)
{
    // An Uninstall.exe directly in TEMP passes the name check, but TEMP is never an installation.
    const std::wstring inTemp = temp + L"\\Uninstall.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), inTemp.c_str(), FALSE));

    Run(QuoteArgument(inTemp), false);

    EXPECT_EQ(FirstExitCode(), 1u);
    EXPECT_EQ(Processes().size(), 1u);
    EXPECT_EQ(ListFiles(temp), std::vector<std::wstring>{L"Uninstall.exe"});
}

// The whole chain: the copy runs UI mode, its window is closed, it exits with 0 and its
// script removes it and then itself.
TEST_F(RelaunchedCopy, EndsAndLeavesNothingInTempOnceItsWindowCloses)
{
    Run(QuoteArgument(installedExe), false);

    EXPECT_EQ(FirstExitCode(), 0u);
    ExpectOneCopyStartedFor(installDir);
    const std::vector<ProcessTrace::Process> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(copies.front().exited);
    EXPECT_EQ(copies.front().exitCode, 0u);

    // "<system>\cmd.exe" /d /c "".\zmx<hex>.tmp.bat" "<copy's name>" "<system>"", in TEMP. (The
    // image itself is SysWOW64's cmd.exe where a 32-bit program runs on 64-bit Windows.)
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    const std::wstring head = L"\"" + cmd + L"\" /d /c \"\".\\zmx";
    const std::wstring tail = L".tmp.bat\" \"" + FileNameOf(copies.front().image) + L"\" \"" + system + L"\"\"";
    bool scriptStarted = false;
    for (const ProcessTrace::Process& process : trace->ProcessesNamed(L"cmd.exe")) {
        const std::wstring& line = process.commandLine;
        scriptStarted = scriptStarted
            || (line.size() > head.size() + tail.size() && line.compare(0, head.size(), head) == 0
                && line.compare(line.size() - tail.size(), tail.size(), tail) == 0);
    }
    EXPECT_TRUE(scriptStarted);
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp).empty(); }, kGoneWithinMs))
        << ListFiles(temp).size() << " entries left in TEMP";
    ExpectInstallationUntouched();
}

TEST_F(RelaunchedCopy, UiModeIgnoresFurtherArgumentsAndRemovesItself)
{
    const std::wstring copy = temp + L"\\zmx4F2A.tmp.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), copy.c_str(), FALSE));

    Run(QuoteArgument(copy) + L" /run " + QuoteArgument(installDir) + L" extra \"more args\"", false);

    EXPECT_EQ(FirstExitCode(), 0u);
    EXPECT_TRUE(Copies().empty()) << "UI mode must not relaunch";
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp).empty(); }, kGoneWithinMs))
        << ListFiles(temp).size() << " entries left in TEMP";
    ExpectInstallationUntouched();
}

// "/run" with its own folder, started inside the installation: the program is no temporary
// copy, so closing its window (as answering No and closing would) starts no script and
// leaves the installation's Uninstall.exe where it is.
TEST_F(RelaunchedCopy, UninstallerRunInsideItsInstallationKeepsItself)
{
    Run(QuoteArgument(installedExe) + L" /run " + QuoteArgument(installDir), false);

    EXPECT_EQ(FirstExitCode(), 0u);
    EXPECT_TRUE(Copies().empty()) << "UI mode must not relaunch";
    EXPECT_TRUE(trace->ProcessesNamed(L"cmd.exe").empty()) << "a self-deletion script was started";
    // A script would have deleted it within about a second of the exit.
    Sleep(3000);
    ExpectInstallationUntouched();
    EXPECT_TRUE(ListFiles(temp).empty());
}

// The copy runs from TEMP, where anyone may have put a library under a system library's
// name. The program loads libraries from the system directory only, so none of the planted
// ones is loaded while it starts, shows its window and closes. GDI+ and oleacc are no known
// DLLs: imported at start-up, they would be taken from beside the copy (under Wine the
// planted one, which exports nothing, ends the start), so they are delay-loaded.
TEST_F(RelaunchedCopy, LibrariesPlantedBesideTheCopyAreNotLoaded)
{
    const std::wstring copy = temp + L"\\zmx4F2A.tmp.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), copy.c_str(), FALSE));
    const wchar_t* names[] = {L"dwmapi.dll",  L"uxtheme.dll", L"version.dll", L"windowscodecs.dll",
                              L"msimg32.dll", L"gdiplus.dll", L"oleacc.dll"};
    for (const wchar_t* name : names)
        ASSERT_TRUE(CopyFileW(PlantedLibraryPath().c_str(), (temp + L"\\" + name).c_str(), FALSE)) << WideToUtf8(name);

    Run(QuoteArgument(copy) + L" /run " + QuoteArgument(installDir), false);

    EXPECT_EQ(FirstExitCode(), 0u);
    EXPECT_TRUE(ListFiles(temp, L"*.loaded").empty()) << WideToUtf8(ListFiles(temp, L"*.loaded").front());
    ExpectInstallationUntouched();
}

// "/run" with a directory that is refused: one box titled "无法卸载" names the directory and
// why, nothing is removed, the exit code is 1 and no copy is started. (Before, the refusal
// was silent, and a program started inside the installation went on to relaunch.)
TEST_F(RefusedRun, SaysWhyInOneBoxAndRemovesNothing)
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    ScratchDir insideWindows(windows, L"Zembrivox-");
    wchar_t profile[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    ScratchDir otherUser(std::wstring(profile).substr(0, std::wstring(profile).find_last_of(L'\\')), L"Alice-");
    const std::wstring tools = scratch.MakeDir(L"Tools");
    const std::wstring noUninstaller = scratch.MakeDir(L"Other product");
    for (const std::wstring& dir : {insideWindows.Path(), otherUser.Path(), tools}) {
        ASSERT_TRUE(CopyFileW(installedExe.c_str(), (dir + L"\\Uninstall.exe").c_str(), FALSE)) << WideToUtf8(dir);
        ASSERT_TRUE(WriteFileBytes(dir + L"\\Qelvo.exe", "MZ"));
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                   static_cast<DWORD>((installDir.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    const std::wstring copy = temp + L"\\zmx4F2A.tmp.exe";
    ASSERT_TRUE(CopyFileW(installedExe.c_str(), copy.c_str(), FALSE));

    const struct {
        std::wstring dir;
        InstallDirRefusal refusal;
    } cases[] = {
        {insideWindows.Path(), InstallDirRefusal::Protected},
        {otherUser.Path(), InstallDirRefusal::Protected},
        {tools, InstallDirRefusal::NotInstallation},
        {noUninstaller, InstallDirRefusal::NotInstallation},
        {scratch / L"Missing", InstallDirRefusal::NotInstallation},
        {installDir + L"\\..\\Qelvo Test", InstallDirRefusal::InvalidPath}, // the installation, but with ".."
    };
    // Every reason from the temporary copy; one also from inside the installation, where a
    // refused "/run" used to go on to relaunch. (Each run is a whole start of the program
    // under the debugger, many seconds on a loaded machine.)
    for (const bool fromInstallation : {false, true}) {
        for (const auto& row : cases) {
            if (fromInstallation && &row != &cases[0])
                continue;
            SCOPED_TRACE(WideToUtf8(row.dir) + (fromInstallation ? " (from the installation)" : ""));
            BoxWatch watch;
            trace = std::make_unique<ProcessTrace>();
            trace->onIdle = [&watch](const std::vector<ProcessTrace::Process>& processes) {
                watch.processId = processes.front().id;
                if (!processes.front().exited)
                    EnumWindows(AnswerBoxOf, reinterpret_cast<LPARAM>(&watch));
            };
            ProcessOptions options;
            options.tempDir = temp;
            const std::wstring program = fromInstallation ? installedExe : copy;
            ASSERT_TRUE(trace->Start(QuoteArgument(program) + L" /run " + QuoteArgument(row.dir), options));
            ASSERT_TRUE(trace->RunToEnd(kRunTimeoutMs));

            EXPECT_EQ(FirstExitCode(), 1u);
            EXPECT_EQ(Processes().size(), 1u) << "another copy was started";
            ASSERT_EQ(watch.boxes.size(), 1u);
            EXPECT_EQ(watch.boxes.front().first, L"无法卸载");
            EXPECT_EQ(watch.boxes.front().second, RefusalMessage(row.dir, row.refusal))
                << WideToUtf8(watch.boxes.front().second);
            EXPECT_EQ(ListFiles(temp), std::vector<std::wstring>{L"zmx4F2A.tmp.exe"});
        }
    }
    for (const std::wstring& dir : {insideWindows.Path(), otherUser.Path(), tools, installDir}) {
        EXPECT_TRUE(FileExists(dir + L"\\Uninstall.exe")) << WideToUtf8(dir);
        EXPECT_TRUE(FileExists(dir + L"\\Qelvo.exe")) << WideToUtf8(dir);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKeyPath);
}

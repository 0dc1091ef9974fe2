#include "app/SelfDelete.h"

#include "app/CanonicalPath.h"
#include "app/PathUtils.h"
#include "app/ProductInfo.h"

#include "base/UniqueHandle.h"

#include <windows.h>

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool HasPrefixIgnoringCase(const std::wstring& text, const wchar_t* prefix, size_t offset)
{
    const size_t length = wcslen(prefix);
    return text.size() >= offset + length
        && CompareStringOrdinal(text.c_str() + offset, static_cast<int>(length), prefix, static_cast<int>(length),
                                TRUE)
        == CSTR_EQUAL;
}

std::wstring TemporaryDirectory()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

// Creates the script under a fresh name: GetTempFileNameW reserves zmx<hex>.tmp, and the
// script is that name with ".bat", made with CREATE_NEW so that nothing already standing
// there (a file, a planted link) is ever written through.
Base::UniqueFileHandle CreateScriptFile(const std::wstring& tempDir, std::wstring& scriptPath)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        wchar_t reserved[MAX_PATH] = {};
        if (GetTempFileNameW(tempDir.c_str(), kTempPrefix, 0, reserved) == 0)
            return {};
        scriptPath = std::wstring(reserved) + L".bat";
        Base::UniqueFileHandle file(
            CreateFileW(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        DeleteFileW(reserved);
        if (file)
            return file;
    }
    return {};
}

} // namespace

std::string BuildSelfDeleteScript()
{
    // %tries% is expanded when its line is read, after the increment of the line above.
    // The script deletes itself by its name in the working directory: Wine's cmd.exe
    // expands a "%" inside the expansion of "%~f0" once more.
    return "@echo off\r\n"
           "setlocal disabledelayedexpansion\r\n"
           "set /a tries=0\r\n"
           ":retry\r\n"
           "set /a tries+=1\r\n"
           "del /q \"%~1\"\r\n"
           "if exist \"%~1\" if %tries% lss "
        + std::to_string(kSelfDeleteAttempts)
        + " (\r\n"
          "\"%~2\\ping.exe\" 127.0.0.1 -n 2 >nul\r\n"
          "goto retry\r\n"
          ")\r\n"
          "del /q \"%~nx0\"\r\n";
}

std::wstring BuildSelfDeleteCommandLine(const std::wstring& cmdPath, const std::wstring& scriptName,
                                        const std::wstring& targetName, const std::wstring& systemDir)
{
    // ".\" names the script in the working directory: a bare name is looked for along
    // PATH alone when NoDefaultCurrentDirectoryInExePath is set, and the copy would stay.
    return L"\"" + cmdPath + L"\" /d /c \"\".\\" + scriptName + L"\" \"" + targetName + L"\" \"" + systemDir + L"\"\"";
}

bool IsTemporaryCopy(const std::wstring& path)
{
    const std::wstring name = FileNameOf(path);
    if (!HasPrefixIgnoringCase(name, kTempPrefix, 0) || name.size() < 8
        || !HasPrefixIgnoringCase(name, L".exe", name.size() - 4))
        return false;
    const std::wstring tempDir = TemporaryDirectory();
    if (tempDir.empty())
        return false;
    const std::wstring folder = CanonicalPath(DirectoryOfPath(path));
    return !folder.empty() && SamePathText(folder, CanonicalPath(tempDir));
}

void ScheduleSelfDelete(const std::wstring& target)
{
    // The program started anywhere else (its own installation, with "/run" and its own
    // folder) is not ours to delete, whatever the user answered.
    if (!IsTemporaryCopy(target))
        return;
    const std::wstring tempDir = TemporaryDirectory();
    wchar_t systemDir[MAX_PATH] = {};
    const UINT systemLength = GetSystemDirectoryW(systemDir, MAX_PATH);
    if (tempDir.empty() || systemLength == 0 || systemLength >= MAX_PATH)
        return;

    std::wstring scriptPath;
    Base::UniqueFileHandle file = CreateScriptFile(tempDir, scriptPath);
    if (!file)
        return;
    const std::string script = BuildSelfDeleteScript();
    DWORD written = 0;
    const bool complete = WriteFile(file.get(), script.data(), static_cast<DWORD>(script.size()), &written, nullptr)
        && written == script.size();
    file.reset();
    if (!complete) {
        DeleteFileW(scriptPath.c_str());
        return;
    }

    // Script and copy are both named relative to the temporary directory, cmd.exe's working
    // directory: no path of the user's reaches a command line that cmd.exe parses.
    const std::wstring cmdPath = JoinPath(systemDir, L"cmd.exe");
    std::wstring commandLine = BuildSelfDeleteCommandLine(cmdPath, FileNameOf(scriptPath), FileNameOf(target), systemDir);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(cmdPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       tempDir.c_str(), &startup, &process)) {
        // The script runs on its own; nothing here waits for it.
        const Base::UniqueKernelHandle thread(process.hThread);
        const Base::UniqueKernelHandle script(process.hProcess);
    } else {
        // A script nobody runs would only be litter.
        DeleteFileW(scriptPath.c_str());
    }
}

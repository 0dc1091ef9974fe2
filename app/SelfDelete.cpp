#include "app/SelfDelete.h"

#include "app/ProductInfo.h"

#include <windows.h>

#include <vector>

std::string BuildSelfDeleteScript(const std::string& ansiTarget)
{
    // %tries% is expanded when its line is read, after the increment of the line above.
    std::string script;
    script.reserve(ansiTarget.size() * 2 + 160);
    script += "@echo off\r\nset /a tries=0\r\n:retry\r\nset /a tries+=1\r\ndel /q \"";
    script += ansiTarget;
    script += "\"\r\nif exist \"";
    script += ansiTarget;
    script += "\" if %tries% lss " + std::to_string(kSelfDeleteAttempts) + " (\r\n"
              "ping 127.0.0.1 -n 2 >nul\r\ngoto retry\r\n)\r\ndel /q \"%~f0\"\r\n";
    return script;
}

std::wstring BuildSelfDeleteCommandLine(const std::wstring& scriptPath)
{
    return L"cmd.exe /c \"\"" + scriptPath + L"\"\"";
}

bool ToCodePage(const std::wstring& text, UINT codePage, std::string& bytes)
{
    bytes.clear();
    const UINT page = codePage == CP_ACP ? GetACP() : codePage;
    // UTF-8 takes no used-default pointer and no flag but WC_ERR_INVALID_CHARS; what it
    // cannot spell (an unpaired surrogate) then fails the call instead of becoming U+FFFD.
    // Any other code page must neither best-fit ("Ā" as "A" names another file) nor substitute.
    const bool utf8 = page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(page, flags, text.c_str(), -1, nullptr, 0, nullptr, usedDefaultOut);
    if (size <= 1 || usedDefault)
        return false;
    std::vector<char> buffer(size);
    if (WideCharToMultiByte(page, flags, text.c_str(), -1, buffer.data(), size, nullptr, usedDefaultOut) != size
        || usedDefault)
        return false;
    bytes.assign(buffer.data(), size - 1);
    return true;
}

bool ToScriptPath(const std::wstring& target, std::string& ansiTarget, UINT codePage)
{
    if (ToCodePage(target, codePage, ansiTarget))
        return true;
    // The replacement character would make the script delete another file, or a
    // wildcard match; the 8.3 name, where the volume has one, is plain ASCII.
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(target.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return ToCodePage(shortPath, codePage, ansiTarget);
}

void ScheduleSelfDelete(const std::wstring& target)
{
    std::string ansiTarget;
    if (!ToScriptPath(target, ansiTarget))
        return;

    wchar_t tempDir[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, tempDir) == 0)
        return;
    wchar_t tempFile[MAX_PATH] = {};
    if (GetTempFileNameW(tempDir, kTempPrefix, 0, tempFile) == 0)
        return;
    const std::wstring scriptPath = std::wstring(tempFile) + L".bat";
    if (!MoveFileW(tempFile, scriptPath.c_str()))
        DeleteFileW(tempFile);

    HANDLE file = CreateFileW(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string script = BuildSelfDeleteScript(ansiTarget);
    DWORD written = 0;
    WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    CloseHandle(file);

    std::wstring commandLine = BuildSelfDeleteCommandLine(scriptPath);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        // A script nobody runs would only be litter.
        DeleteFileW(scriptPath.c_str());
    }
}

#include "app/SelfDelete.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace zmxtest;

namespace {

std::string ExpectedScript(const std::string& p)
{
    const char* const lines[] = {
        "@echo off",
        "set /a tries=0",
        ":retry",
        "set /a tries+=1",
        nullptr, // del
        nullptr, // if exist
        "ping 127.0.0.1 -n 2 >nul",
        "goto retry",
        ")",
        "del /q \"%~f0\"",
    };
    std::string text;
    for (int i = 0; i < 10; ++i) {
        if (i == 4)
            text += "del /q \"" + p + "\"";
        else if (i == 5)
            text += "if exist \"" + p + "\" if %tries% lss 60 (";
        else
            text += lines[i];
        text += "\r\n";
    }
    return text;
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Whether two paths name the same file, by volume and file index.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const BOOL ok = GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        return ok != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    return identify(a, first) && identify(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber
        && first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::wstring FromAnsi(const std::string& ansi)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], size);
    return wide;
}

// Copies the helper to exeName in tempDir and runs "selfdelete" there with that TEMP.
void RunSelfDeletingCopy(const std::wstring& tempDir, const std::wstring& exeName)
{
    const std::wstring exe = tempDir + L"\\" + exeName;
    ASSERT_TRUE(CopyFileW(TestHelperExePath().c_str(), exe.c_str(), FALSE));
    ProcessOptions options;
    options.tempDir = tempDir;
    ASSERT_EQ(RunProcess(QuoteArgument(exe) + L" selfdelete", options, 60000), 0);
}

const DWORD kGoneWithinMs = 15000;

} // namespace

TEST(SelfDeleteScript, ExactBytesForFortyCharacterPath)
{
    const std::string path = "C:\\Temp\\Qelvo Test Dirs\\zmx4F2A0.tmp.exe";
    ASSERT_EQ(path.size(), 40u);

    const std::string script = BuildSelfDeleteScript(path);

    EXPECT_EQ(script, ExpectedScript(path));
    EXPECT_EQ(script.size(), 2 * path.size() + 152);
}

TEST(SelfDeleteScript, LinesEndInCrLfAndNoNulIsWritten)
{
    const std::string script = BuildSelfDeleteScript("C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmxA.tmp.exe");
    ASSERT_GE(script.size(), 2u);
    EXPECT_EQ(script.compare(0, 9, "@echo off"), 0);
    EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
    EXPECT_EQ(script.find('\0'), std::string::npos);
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            EXPECT_TRUE(i > 0 && script[i - 1] == '\r') << "bare LF at " << i;
        }
        if (script[i] == '\r') {
            EXPECT_TRUE(i + 1 < script.size() && script[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    EXPECT_EQ(Count(script, "\r\n"), 10u);
}

TEST(SelfDeleteScript, PathStandsTwiceInQuotes)
{
    const std::string path = "C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmxA.tmp.exe";
    const std::string script = BuildSelfDeleteScript(path);
    EXPECT_EQ(Count(script, path), 2u);
    EXPECT_EQ(Count(script, "\"" + path + "\""), 2u);
    EXPECT_EQ(Count(script, "del /q \"" + path + "\"\r\n"), 1u);
}

TEST(SelfDeleteScript, AnsiBytesArePassedThrough)
{
    // GBK bytes of a Chinese user name, as they stand in the file.
    const std::string path = "C:\\Users\\\xD5\xC5\xC8\xFD\\AppData\\Local\\Temp\\zmx1.tmp.exe";
    EXPECT_EQ(BuildSelfDeleteScript(path), ExpectedScript(path));
}

TEST(SelfDeleteCommandLine, KeepsTheQuotesAroundAScriptPathWithBlanks)
{
    const std::wstring script = L"C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmx1C3.tmp.bat";
    EXPECT_EQ(BuildSelfDeleteCommandLine(script),
              L"cmd.exe /c \"\"C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmx1C3.tmp.bat\"\"");
}

TEST(SelfDeleteCommandLine, StartsWithThirteenFixedCharacters)
{
    const std::wstring line = BuildSelfDeleteCommandLine(L"C:\\T\\zmx1.tmp.bat");
    EXPECT_EQ(line.substr(0, 13), L"cmd.exe /c \"\"");
    EXPECT_EQ(line.substr(line.size() - 2), L"\"\"");
    EXPECT_EQ(line.size(), 13 + 17 + 2u);
}

TEST(ScriptPath, AsciiPathIsUsedAsItIs)
{
    std::string ansi;
    ASSERT_TRUE(ToScriptPath(L"C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmx1.tmp.exe", ansi));
    EXPECT_EQ(ansi, "C:\\Users\\Qelvo User\\AppData\\Local\\Temp\\zmx1.tmp.exe");
}

TEST(ScriptPath, ChinesePathIsWrittenInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 936u) << "the bench runs Wine with code page 936";
    std::string ansi;
    // Needs no file: the code page holds every character.
    ASSERT_TRUE(ToScriptPath(L"C:\\Program Files\\视频格式转换器\\zmx1.tmp.exe", ansi));
    EXPECT_EQ(ansi, "C:\\Program Files\\\xCA\xD3\xC6\xB5\xB8\xF1\xCA\xBD\xD7\xAA\xBB\xBB\xC6\xF7\\zmx1.tmp.exe");
}

TEST(ScriptPath, MissingPathOutsideTheCodePageIsRefused)
{
    ScratchDir scratch;
    std::string ansi;
    EXPECT_FALSE(ToScriptPath(scratch / L"ไทย\\zmx1.tmp.exe", ansi));
}

TEST(ScriptPath, ExistingPathOutsideTheCodePageBecomesItsShortName)
{
    ASSERT_EQ(GetACP(), 936u);
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"临时 ไทย");
    // Wine makes up an 8.3 name for every long name (NTFS with short names off would not,
    // and there the script is refused instead).
    for (const std::wstring& target : {dir + L"\\zmx1.tmp.exe", dir + L"\\ไทย.exe"}) {
        ASSERT_TRUE(WriteFileBytes(target, "MZ"));
        std::string ansi;
        ASSERT_TRUE(ToScriptPath(target, ansi)) << WideToUtf8(target);
        EXPECT_EQ(ansi.find_first_of("?*"), std::string::npos) << ansi;
        EXPECT_LT(ansi.size(), WideToUtf8(target).size());
        EXPECT_TRUE(SameFile(FromAnsi(ansi), target)) << ansi;
    }
}

namespace {

struct Conversion {
    const wchar_t* text;
    UINT codePage;
    const char* bytes; // nullptr: refused
};

} // namespace

// Windows refuses UTF-8 with a used-default pointer (ERROR_INVALID_PARAMETER), which left
// no script at all on systems whose ANSI code page is UTF-8; Wine accepts it, so on the
// bench the 65001 rows check the bytes and the unpaired surrogate.
TEST(ScriptPath, ConversionPerCodePage)
{
    const Conversion cases[] = {
        {L"C:\\Temp\\zmx1.tmp.exe", 936, "C:\\Temp\\zmx1.tmp.exe"},
        {L"C:\\Temp\\zmx1.tmp.exe", 1252, "C:\\Temp\\zmx1.tmp.exe"},
        {L"C:\\Temp\\zmx1.tmp.exe", 65001, "C:\\Temp\\zmx1.tmp.exe"},
        {L"C:\\视频\\zmx1.tmp.exe", 936, "C:\\\xCA\xD3\xC6\xB5\\zmx1.tmp.exe"},
        {L"C:\\视频\\zmx1.tmp.exe", 1252, nullptr},
        {L"C:\\视频\\zmx1.tmp.exe", 65001, "C:\\\xE8\xA7\x86\xE9\xA2\x91\\zmx1.tmp.exe"},
        {L"C:\\Caf\u00E9\\zmx1.tmp.exe", 1252, "C:\\Caf\xE9\\zmx1.tmp.exe"},
        {L"C:\\ไทย\\zmx1.tmp.exe", 936, nullptr},
        {L"C:\\ไทย\\zmx1.tmp.exe", 65001, "C:\\\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2\\zmx1.tmp.exe"},
        // Best fit would write "A": another file, perhaps one of the user's.
        {L"C:\\\u0100\\zmx1.tmp.exe", 1252, nullptr},
        {L"C:\\\u0100\\zmx1.tmp.exe", 65001, "C:\\\xC4\x80\\zmx1.tmp.exe"},
        // An unpaired surrogate has no UTF-8 form at all.
        {L"C:\\Temp\\zmx\xD800.exe", 65001, nullptr},
        {L"C:\\Temp\\zmx\xD800.exe", 1252, nullptr},
    };
    for (const Conversion& conversion : cases) {
        std::string bytes = "stale";
        const bool converted = ToCodePage(conversion.text, conversion.codePage, bytes);
        SCOPED_TRACE(WideToUtf8(conversion.text) + " in " + std::to_string(conversion.codePage));
        if (conversion.bytes) {
            EXPECT_TRUE(converted);
            EXPECT_EQ(bytes, conversion.bytes);
        } else {
            EXPECT_FALSE(converted) << bytes;
        }
    }
}

TEST(ScriptPath, PathBestFitWouldAlterBecomesItsShortNameOrNothing)
{
    ScratchDir scratch;
    // In 1252, best fit turns "Ā" into "A": the script would delete this decoy instead.
    const std::wstring decoy = scratch.MakeDir(L"A");
    ASSERT_TRUE(WriteFileBytes(decoy + L"\\zmx1.tmp.exe", "decoy"));
    const std::wstring dir = scratch.MakeDir(L"\u0100");
    const std::wstring target = dir + L"\\zmx1.tmp.exe";
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));

    std::string bytes;
    ASSERT_TRUE(ToScriptPath(target, bytes, 1252));
    EXPECT_EQ(bytes.find_first_of("?*"), std::string::npos) << bytes;
    EXPECT_TRUE(SameFile(FromAnsi(bytes), target)) << bytes;
    EXPECT_FALSE(SameFile(FromAnsi(bytes), decoy + L"\\zmx1.tmp.exe")) << bytes;
    EXPECT_FALSE(ToScriptPath(scratch / L"\u0100\\missing.exe", bytes, 1252));

    // UTF-8 spells it as it is.
    ASSERT_TRUE(ToScriptPath(target, bytes, CP_UTF8));
    EXPECT_EQ(bytes, WideToUtf8(target));
}

// The helper program stands in for the uninstaller's copy: it schedules its own deletion
// the same way and exits.
TEST(SelfDeletion, CopyAndScriptAreGoneAfterExit)
{
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"Temp dir");
    ASSERT_TRUE(WriteFileBytes(temp + L"\\zmx1A2B.tmp.exe.keep", "keep"));

    RunSelfDeletingCopy(temp, L"zmx1A2B.tmp.exe");

    EXPECT_TRUE(WaitUntil([&] { return !PathExists(temp + L"\\zmx1A2B.tmp.exe"); }, kGoneWithinMs));
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp, L"zmx*.bat").empty(); }, kGoneWithinMs));
    EXPECT_EQ(ListFiles(temp), std::vector<std::wstring>{L"zmx1A2B.tmp.exe.keep"});
}

TEST(SelfDeletion, WorksInAChineseTempDirectory)
{
    // A user name in Chinese puts Chinese characters into the temporary directory.
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"张三 的临时文件");

    RunSelfDeletingCopy(temp, L"zmx1A2B.tmp.exe");

    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp).empty(); }, kGoneWithinMs));
}

TEST(SelfDeletion, TempDirectoryOutsideTheCodePageUsesTheShortPath)
{
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"临时ไทย");
    // What "临时???" would match if the replacement characters reached the script.
    const std::wstring decoyDir = scratch.MakeDir(L"临时abc");
    ASSERT_TRUE(WriteFileBytes(decoyDir + L"\\zmx1A2B.tmp.exe", "decoy"));
    const std::wstring exe = temp + L"\\zmx1A2B.tmp.exe";
    std::string shortForm;
    ASSERT_TRUE(WriteFileBytes(exe, "MZ"));
    // Wine has a short name for every long one, so the script is written with it.
    ASSERT_TRUE(ToScriptPath(exe, shortForm));

    RunSelfDeletingCopy(temp, L"zmx1A2B.tmp.exe");

    EXPECT_TRUE(WaitUntil([&] { return !PathExists(exe); }, kGoneWithinMs));
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp, L"zmx*.bat").empty(); }, kGoneWithinMs));
    EXPECT_TRUE(FileExists(decoyDir + L"\\zmx1A2B.tmp.exe"));
}

TEST(SelfDeletion, ExecutableNameOutsideTheCodePageNeverDeletesAnotherFile)
{
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"Temp");
    // "zmxไทย.exe" would become "zmx???.exe", a wildcard that matches this decoy.
    ASSERT_TRUE(WriteFileBytes(temp + L"\\zmxabc.exe", "decoy"));
    const std::wstring exe = temp + L"\\zmxไทย.exe";
    ASSERT_TRUE(WriteFileBytes(exe, "MZ"));
    std::string shortForm;
    ASSERT_TRUE(ToScriptPath(exe, shortForm));

    RunSelfDeletingCopy(temp, L"zmxไทย.exe");

    EXPECT_TRUE(WaitUntil([&] { return !PathExists(exe); }, kGoneWithinMs));
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp, L"zmx*.bat").empty(); }, kGoneWithinMs));
    EXPECT_TRUE(FileExists(temp + L"\\zmxabc.exe"));
}

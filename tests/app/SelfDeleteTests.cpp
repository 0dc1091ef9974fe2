#include "app/SelfDelete.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace zmxtest;

namespace {

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
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

TEST(SelfDeleteScript, ExactText)
{
    EXPECT_EQ(BuildSelfDeleteScript(), "@echo off\r\n"
                                       "setlocal disabledelayedexpansion\r\n"
                                       "set /a tries=0\r\n"
                                       ":retry\r\n"
                                       "set /a tries+=1\r\n"
                                       "del /q \"%~1\"\r\n"
                                       "if exist \"%~1\" if %tries% lss 60 (\r\n"
                                       "\"%~2\\ping.exe\" 127.0.0.1 -n 2 >nul\r\n"
                                       "goto retry\r\n"
                                       ")\r\n"
                                       "del /q \"%~nx0\"\r\n");
}

// The script is read in the console's (OEM) code page, which is not the ANSI one on a
// Western system, and a path in it would be parsed by cmd.exe ("%" starts a variable).
// It names nothing itself: every path comes from the Unicode command line.
TEST(SelfDeleteScript, IsPlainAsciiWithCrLfLinesAndNoPath)
{
    const std::string script = BuildSelfDeleteScript();
    for (size_t i = 0; i < script.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(script[i]);
        EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << "byte " << int(c) << " at " << i;
        if (c == '\n') {
            EXPECT_TRUE(i > 0 && script[i - 1] == '\r') << "bare LF at " << i;
        }
        if (c == '\r') {
            EXPECT_TRUE(i + 1 < script.size() && script[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
    EXPECT_EQ(Count(script, ":\\"), 0u);
    EXPECT_EQ(Count(script, "\"%~1\""), 2u);
}

// The script is named in the working directory, never by a bare name that cmd.exe would
// look for along PATH alone when NoDefaultCurrentDirectoryInExePath is set.
TEST(SelfDeleteCommandLine, FullInterpreterPathNoAutoRunAndQuotedArguments)
{
    EXPECT_EQ(BuildSelfDeleteCommandLine(L"C:\\Windows\\system32\\cmd.exe", L"zmx1C3.tmp.bat", L"zmx4F2A.tmp.exe",
                                         L"C:\\Windows\\system32"),
              L"\"C:\\Windows\\system32\\cmd.exe\" /d /c \"\".\\zmx1C3.tmp.bat\" \"zmx4F2A.tmp.exe\" "
              L"\"C:\\Windows\\system32\"\"");
}

TEST(TemporaryCopy, OnlyAZmxExeDirectlyInTempIsOne)
{
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, buffer), 0u);
    const std::wstring temp = buffer;
    EXPECT_TRUE(IsTemporaryCopy(temp + L"zmx4F2A.tmp.exe"));
    EXPECT_TRUE(IsTemporaryCopy(ToUpper(temp) + L"ZMX1.TMP.EXE"));
    EXPECT_TRUE(IsTemporaryCopy(temp + L"zmxไทย.exe"));
    EXPECT_FALSE(IsTemporaryCopy(temp + L"Uninstall.exe"));
    EXPECT_FALSE(IsTemporaryCopy(temp + L"zmx4F2A.tmp.bat"));
    EXPECT_FALSE(IsTemporaryCopy(temp + L"zmx.exe"));
    EXPECT_FALSE(IsTemporaryCopy(temp + L"Qelvo\\zmx4F2A.tmp.exe"));
    EXPECT_FALSE(IsTemporaryCopy(L"C:\\Program Files\\Qelvo\\zmx4F2A.tmp.exe"));
    EXPECT_FALSE(IsTemporaryCopy(L"C:\\Program Files\\Qelvo\\Uninstall.exe"));
    EXPECT_FALSE(IsTemporaryCopy(L"zmx4F2A.tmp.exe"));
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

TEST(SelfDeletion, TempDirectoryOutsideTheCodePageWorks)
{
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"临时ไทย");
    // What "临时???" would match if the replacement characters reached the script.
    const std::wstring decoyDir = scratch.MakeDir(L"临时abc");
    ASSERT_TRUE(WriteFileBytes(decoyDir + L"\\zmx1A2B.tmp.exe", "decoy"));
    const std::wstring exe = temp + L"\\zmx1A2B.tmp.exe";

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

    RunSelfDeletingCopy(temp, L"zmxไทย.exe");

    EXPECT_TRUE(WaitUntil([&] { return !PathExists(exe); }, kGoneWithinMs));
    EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp, L"zmx*.bat").empty(); }, kGoneWithinMs));
    EXPECT_TRUE(FileExists(temp + L"\\zmxabc.exe"));
}

// Each of these broke the script that held the path: "%" started a variable, "^", "&",
// "!" and parentheses are cmd.exe's own syntax, and "é" and Thai are spelled differently
// (or not at all) in the ANSI code page the script was written in and the OEM code page
// cmd.exe reads it in.
TEST(SelfDeletion, TempPathWithBatchSyntaxAndForeignLettersWorks)
{
    ScratchDir scratch;
    for (const wchar_t* name : {L"50%off", L"a%b%c (x86) & ^caret!bang!", L"Café ไทย 临时 (1)"}) {
        const std::wstring temp = scratch.MakeDir(name);
        SCOPED_TRACE(WideToUtf8(temp));
        ASSERT_TRUE(WriteFileBytes(temp + L"\\zmx1A2B.tmp.exe.keep", "keep"));

        RunSelfDeletingCopy(temp, L"zmx1A2B.tmp.exe");

        EXPECT_TRUE(WaitUntil([&] { return !PathExists(temp + L"\\zmx1A2B.tmp.exe"); }, kGoneWithinMs));
        EXPECT_TRUE(WaitUntil([&] { return ListFiles(temp, L"zmx*.bat").empty(); }, kGoneWithinMs));
        EXPECT_EQ(ListFiles(temp), std::vector<std::wstring>{L"zmx1A2B.tmp.exe.keep"});
    }
}

// Started anywhere but as the temporary copy (here from an installation, with the helper
// named like the uninstaller), the program leaves itself alone and writes no script.
TEST(SelfDeletion, ProgramOutsideTempNeverDeletesItself)
{
    ScratchDir scratch;
    const std::wstring temp = scratch.MakeDir(L"Temp");
    const std::wstring install = scratch.MakeDir(L"Qelvo");
    for (const wchar_t* name : {L"Uninstall.exe", L"zmx1A2B.tmp.exe"}) {
        const std::wstring exe = install + L"\\" + name;
        ASSERT_TRUE(CopyFileW(TestHelperExePath().c_str(), exe.c_str(), FALSE));
        ProcessOptions options;
        options.tempDir = temp;
        ASSERT_EQ(RunProcess(QuoteArgument(exe) + L" selfdelete", options, 60000), 0);
    }
    // The script deleted its copy within about a second of the exit.
    Sleep(3000);
    EXPECT_TRUE(FileExists(install + L"\\Uninstall.exe"));
    EXPECT_TRUE(FileExists(install + L"\\zmx1A2B.tmp.exe"));
    EXPECT_TRUE(ListFiles(temp).empty());
}

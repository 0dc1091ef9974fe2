#include "app/PathUtils.h"
#include "helpers/TestSupport.h"

#include <gtest/gtest.h>

using namespace zmxtest;

TEST(JoinPath, AddsExactlyOneBackslash)
{
    EXPECT_EQ(JoinPath(L"C:\\dir", L"a"), L"C:\\dir\\a");
    EXPECT_EQ(JoinPath(L"C:", L"a"), L"C:\\a");
    EXPECT_EQ(JoinPath(L"C:\\dir", L"*"), L"C:\\dir\\*");
}

TEST(JoinPath, KeepsAnExistingTrailingSeparator)
{
    EXPECT_EQ(JoinPath(L"C:\\dir\\", L"a"), L"C:\\dir\\a");
    EXPECT_EQ(JoinPath(L"C:/dir/", L"a"), L"C:/dir/a");
    EXPECT_EQ(JoinPath(L"C:\\", L"Uninstall.exe"), L"C:\\Uninstall.exe");
}

TEST(JoinPath, EmptyDirectoryYieldsTheNameAlone)
{
    EXPECT_EQ(JoinPath(L"", L"a"), L"a");
    EXPECT_EQ(JoinPath(L"", L""), L"");
}

TEST(DirectoryOfPath, CutsAtTheLastSeparatorOfEitherKind)
{
    EXPECT_EQ(DirectoryOfPath(L"C:\\Program Files\\Qelvo\\Uninstall.exe"), L"C:\\Program Files\\Qelvo");
    EXPECT_EQ(DirectoryOfPath(L"C:/a/b.exe"), L"C:/a");
    EXPECT_EQ(DirectoryOfPath(L"C:\\a/b\\c.exe"), L"C:\\a/b");
    EXPECT_EQ(DirectoryOfPath(L"C:\\a\\b/c.exe"), L"C:\\a\\b");
    EXPECT_EQ(DirectoryOfPath(L"C:\\Uninstall.exe"), L"C:");
    EXPECT_EQ(DirectoryOfPath(L"\\\\server\\share\\Uninstall.exe"), L"\\\\server\\share");
}

TEST(DirectoryOfPath, PathWithoutSeparatorYieldsDot)
{
    EXPECT_EQ(DirectoryOfPath(L"Uninstall.exe"), L".");
    EXPECT_EQ(DirectoryOfPath(L""), L".");
}

// The module path of another process, copied to a directory whose name has a blank and
// Chinese characters, as the installer's default directory has.
TEST(ModulePath, NamesTheRunningCopyAndItsDirectory)
{
    ScratchDir scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::wstring dir = scratch.MakeDir(L"Qelvo 视频格式转换器");
    const std::wstring exe = dir + L"\\helper copy.exe";
    ASSERT_TRUE(CopyFileW(TestHelperExePath().c_str(), exe.c_str(), FALSE));
    const std::wstring output = scratch / L"whereami.txt";

    ASSERT_EQ(RunProcess(QuoteArgument(exe) + L" whereami " + QuoteArgument(output)), 0);

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(output, bytes));
    const std::wstring text = Utf8ToWide(bytes);
    const size_t newline = text.find(L'\n');
    ASSERT_NE(newline, std::wstring::npos);
    EXPECT_EQ(ToLower(text.substr(0, newline)), ToLower(exe));
    EXPECT_EQ(ToLower(text.substr(newline + 1)), ToLower(dir));
}

TEST(ModulePath, DirectoryHasNoTrailingSeparator)
{
    const std::wstring module = GetModulePath();
    ASSERT_FALSE(module.empty());
    const std::wstring dir = GetModuleDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), L'\\');
    EXPECT_NE(dir.back(), L'/');
    EXPECT_EQ(module.compare(0, dir.size(), dir), 0);
    EXPECT_TRUE(DirectoryExists(dir));
}

#include "app/CanonicalPath.h"
#include "app/InstallDir.h"
#include "app/PathUtils.h"
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

using namespace zmxtest;

namespace {

// The accepted folder's path, empty when the directory is refused.
std::wstring AcceptedPath(const std::wstring& dir)
{
    const std::optional<AcceptedFolder> folder = AcceptedInstallDir(dir);
    return folder ? folder->Path() : L"";
}

std::wstring ShortPathOf(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

} // namespace

TEST(CanonicalPath, OnlyDriveAndUncPathsAreAbsolute)
{
    const wchar_t* notAbsolute[] = {
        L"", L"Qelvo", L".\\Qelvo", L"Qelvo\\sub", L"D:dir", L"C:", L"C:Qelvo\\sub", L"\\dir", L"/dir",
        L"\\\\server", L"\\\\server\\", L"//server", L"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\x",
        L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x", L"\\\\?\\", L"\\\\.\\", L"\\\\?\\Qelvo",
    };
    for (const wchar_t* path : notAbsolute) {
        EXPECT_FALSE(IsAbsolutePathSpelling(path)) << WideToUtf8(path);
        EXPECT_EQ(CanonicalPath(path), L"") << WideToUtf8(path);
    }
    const wchar_t* absolute[] = {
        L"C:\\Qelvo", L"c:/Qelvo", L"C:\\", L"\\\\server\\share", L"//server/share/Qelvo", L"\\\\?\\C:\\Qelvo",
        L"\\\\?\\UNC\\server\\share\\Qelvo", L"\\\\.\\C:\\Qelvo", L"//?/C:/Qelvo",
    };
    for (const wchar_t* path : absolute) {
        EXPECT_TRUE(IsAbsolutePathSpelling(path)) << WideToUtf8(path);
        EXPECT_NE(CanonicalPath(path), L"") << WideToUtf8(path);
    }
}

TEST(CanonicalPath, SpellingsOfOneFolderGiveOneString)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo 视频格式转换器 long name");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    const std::wstring canonical = CanonicalPath(dir);
    ASSERT_FALSE(canonical.empty());
    EXPECT_TRUE(SamePathText(canonical, dir)) << WideToUtf8(canonical);
    const std::wstring shortForm = ShortPathOf(dir);
    ASSERT_FALSE(shortForm.empty());

    const std::wstring spellings[] = {
        dir,
        dir + L"\\",
        dir + L"\\\\",
        dir + L"/",
        WithForwardSlashes(dir),
        ToUpper(dir),
        ToLower(dir) + L"\\",
        dir + L".",
        dir + L" ",
        dir + L"\\.",
        L"\\\\?\\" + dir,
        L"\\\\?\\" + dir + L"\\",
        L"\\\\.\\" + dir,
        L"//?/" + WithForwardSlashes(dir),
        shortForm,
        ToLower(shortForm),
        L"\\\\?\\" + shortForm,
        L"\\\\localhost\\" + dir.substr(0, 1) + L"$" + dir.substr(2),
    };
    for (const std::wstring& spelling : spellings) {
        EXPECT_EQ(CanonicalPath(spelling), canonical) << WideToUtf8(spelling);
        EXPECT_EQ(AcceptedPath(spelling), canonical) << WideToUtf8(spelling);
    }
}

TEST(CanonicalPath, LinkResolvesToItsTarget)
{
    ScratchDir scratch;
    const std::wstring target = scratch.MakeDir(L"Real\\Qelvo");
    ASSERT_TRUE(WriteFileBytes(target + L"\\Uninstall.exe", "MZ"));
    const std::wstring link = scratch / L"Linked Qelvo";
    ASSERT_TRUE(MakeDirectorySymlink(link, target));

    EXPECT_EQ(CanonicalPath(link), CanonicalPath(target));
    EXPECT_EQ(CanonicalPath(link + L"\\sub\\missing"), CanonicalPath(target) + L"\\sub\\missing");
    EXPECT_EQ(AcceptedPath(link), CanonicalPath(target));
    RemoveSymlink(link);
}

TEST(CanonicalPath, MissingPartsAreSpelledBelowWhatExists)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo long folder name");
    const std::wstring shortForm = ShortPathOf(dir);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_EQ(CanonicalPath(shortForm + L"\\missing\\deeper/"), CanonicalPath(dir) + L"\\missing\\deeper");
    EXPECT_EQ(CanonicalPath(L"C:\\"), L"C:");
    EXPECT_EQ(CanonicalPath(L"c:/"), L"C:");
    EXPECT_EQ(CanonicalPath(L"\\\\server\\share\\Qelvo\\"), L"\\\\server\\share\\Qelvo");
    EXPECT_EQ(CanonicalPath(L"\\\\?\\UNC\\server\\share\\Qelvo"), L"\\\\server\\share\\Qelvo");
}

TEST(ExtendedLengthPath, EverySpellingGetsThePrefixOnce)
{
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Program Files\\Qelvo"), L"\\\\?\\C:\\Program Files\\Qelvo");
    EXPECT_EQ(ExtendedLengthPath(L"C:/Program Files/Qelvo/"), L"\\\\?\\C:\\Program Files\\Qelvo");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a\\.\\b\\..\\c"), L"\\\\?\\C:\\a\\c");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\Qelvo"), L"\\\\?\\UNC\\server\\share\\Qelvo");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\Qelvo"), L"\\\\?\\C:\\Qelvo");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\"), L"\\\\?\\C:\\");
}

// A handle opened through the machine's own administrative share keeps that road in its
// final name; it names the drive's folder all the same. Another machine's share stays a share.
TEST(CanonicalPath, FinalNamesThroughTheLocalAdministrativeShareAreDrivePaths)
{
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(computer, &size));
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\\\\?\\C:\\Program Files\\Qelvo", L"C:\\Program Files\\Qelvo"},
        {L"\\\\?\\C:\\", L"C:"},
        {L"\\\\?\\UNC\\localhost\\C$\\Program Files\\Qelvo", L"C:\\Program Files\\Qelvo"},
        {L"\\\\?\\UNC\\LOCALHOST\\c$\\Qelvo\\", L"c:\\Qelvo"},
        {L"\\\\?\\UNC\\127.0.0.1\\D$\\Qelvo", L"D:\\Qelvo"},
        {L"\\\\?\\UNC\\" + std::wstring(computer) + L"\\C$\\Qelvo", L"C:\\Qelvo"},
        {L"\\\\?\\UNC\\localhost\\C$", L"C:"},
        {L"\\\\?\\UNC\\fileserver\\C$\\Qelvo", L"\\\\fileserver\\C$\\Qelvo"},
        {L"\\\\?\\UNC\\localhost\\share\\Qelvo", L"\\\\localhost\\share\\Qelvo"},
        {L"\\\\?\\UNC\\fileserver\\share\\Qelvo\\", L"\\\\fileserver\\share\\Qelvo"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(PlainFinalPath(row.first), row.second) << WideToUtf8(row.first);
}

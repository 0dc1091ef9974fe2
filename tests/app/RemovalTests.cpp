#include "app/PathUtils.h"
#include "app/Removal.h"
#include "helpers/TestSupport.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>

using namespace zmxtest;

namespace {

// A small installation: nested folders, read-only, hidden and system files, dot-names.
void MakeInstallation(const ScratchDir& scratch, const std::wstring& root)
{
    scratch.MakeDir(root + L"\\bin\\plugins\\codecs");
    scratch.MakeDir(root + L"\\.cache\\.thumbs");
    scratch.MakeDir(root + L"\\empty");
    scratch.MakeDir(root + L"\\语言包");
    const std::wstring dir = scratch / root;
    const wchar_t* files[] = {
        L"Uninstall.exe", L"Qelvo.exe", L"bin\\core.dll", L"bin\\plugins\\codecs\\h264.dll",
        L".settings", L"..data", L".cache\\.thumbs\\.index", L"语言包\\zh-CN.lng", L"no extension",
    };
    for (const wchar_t* file : files)
        ASSERT_TRUE(WriteFileBytes(dir + L"\\" + file, "data")) << WideToUtf8(file);
    ASSERT_TRUE(SetFileAttributesW((dir + L"\\Qelvo.exe").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((dir + L"\\bin\\plugins\\codecs\\h264.dll").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((dir + L"\\.settings").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW((dir + L"\\.cache\\.thumbs\\.index").c_str(), FILE_ATTRIBUTE_HIDDEN));
}

std::wstring DesktopDirectory()
{
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer) < 0)
        return {};
    return buffer;
}

std::wstring ShortcutPath()
{
    return JoinPath(DesktopDirectory(), L"Qelvo视频格式转换器.lnk");
}

const wchar_t kKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zembrivox";

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool CreateKeyWithValue(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const wchar_t name[] = L"Qelvo视频格式转换器";
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name));
    RegCloseKey(key);
    return true;
}

// Leaves the product's shortcut and key absent before and after each test.
class ShortcutAndKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DirectoryExists(DesktopDirectory()));
        Clean();
    }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        DeleteFileW(ShortcutPath().c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath);
    }
};

} // namespace

TEST(RemoveDirectoryTree, RemovesNestedTreeWithReadOnlyFilesAndDotNames)
{
    ScratchDir scratch;
    MakeInstallation(scratch, L"Qelvo 视频格式转换器");
    const std::wstring dir = scratch / L"Qelvo 视频格式转换器";

    EXPECT_TRUE(RemoveDirectoryTree(dir));
    EXPECT_FALSE(PathExists(dir));
    EXPECT_TRUE(ListFiles(scratch.Path()).empty());
}

TEST(RemoveDirectoryTree, EmptyDirectoryIsRemoved)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    EXPECT_TRUE(RemoveDirectoryTree(dir));
    EXPECT_FALSE(PathExists(dir));
}

TEST(RemoveDirectoryTree, DirectoryAlreadyGoneIsAFailure)
{
    ScratchDir scratch;
    EXPECT_FALSE(RemoveDirectoryTree(scratch / L"Qelvo"));
    EXPECT_FALSE(RemoveDirectoryTree(scratch / L"Missing\\Qelvo"));
    EXPECT_TRUE(DirectoryExists(scratch.Path()));
}

TEST(RemoveDirectoryTree, FileHeldWithoutDeleteSharingFailsButEverythingElseGoes)
{
    ScratchDir scratch;
    MakeInstallation(scratch, L"Qelvo");
    const std::wstring dir = scratch / L"Qelvo";
    const std::wstring held = dir + L"\\bin\\plugins\\codecs\\h264.dll";

    ChildProcess holder;
    ASSERT_TRUE(holder.Start(QuoteArgument(TestHelperExePath()) + L" hold " + QuoteArgument(held) + L" 120000"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(held + L".held"); }, 30000)) << "the helper never held the file";

    const bool removed = RemoveDirectoryTree(dir);
    holder.Terminate();

    EXPECT_FALSE(removed);
    EXPECT_TRUE(FileExists(held));
    EXPECT_TRUE(DirectoryExists(dir + L"\\bin\\plugins\\codecs"));
    // Nothing but the held file and the folders on its way is left.
    EXPECT_EQ(ListFiles(dir), std::vector<std::wstring>{L"bin"});
    EXPECT_EQ(ListFiles(dir + L"\\bin"), std::vector<std::wstring>{L"plugins"});
    EXPECT_EQ(ListFiles(dir + L"\\bin\\plugins"), std::vector<std::wstring>{L"codecs"});
    EXPECT_EQ(ListFiles(dir + L"\\bin\\plugins\\codecs"), std::vector<std::wstring>{L"h264.dll"});
}

TEST(RemoveDirectoryTree, SecondAttemptFinishesOnceTheFileIsFree)
{
    ScratchDir scratch;
    MakeInstallation(scratch, L"Qelvo");
    const std::wstring dir = scratch / L"Qelvo";
    const std::wstring held = dir + L"\\Qelvo.exe";
    {
        ChildProcess holder;
        ASSERT_TRUE(holder.Start(QuoteArgument(TestHelperExePath()) + L" hold " + QuoteArgument(held) + L" 120000"));
        ASSERT_TRUE(WaitUntil([&] { return FileExists(held + L".held"); }, 30000));
        EXPECT_FALSE(RemoveDirectoryTree(dir));
        holder.Terminate();
    }
    EXPECT_TRUE(RemoveDirectoryTree(dir));
    EXPECT_FALSE(PathExists(dir));
}

// Wine shows a Unix symlink as a directory with FILE_ATTRIBUTE_REPARSE_POINT, as Windows
// shows a directory symlink or junction.
TEST(RemoveDirectoryTree, LinkToOutsideFolderIsNotFollowed)
{
    ScratchDir scratch;
    const std::wstring outside = scratch.MakeDir(L"Outside\\nested");
    ASSERT_TRUE(WriteFileBytes(scratch / L"Outside\\keep.txt", "keep"));
    ASSERT_TRUE(WriteFileBytes(outside + L"\\keep too.txt", "keep"));
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    const std::wstring link = dir + L"\\linked";
    if (!MakeDirectorySymlink(link, scratch / L"Outside"))
        GTEST_SKIP() << "no directory symlink can be made here";

    const bool removed = RemoveDirectoryTree(dir);

    EXPECT_TRUE(FileExists(scratch / L"Outside\\keep.txt"));
    EXPECT_TRUE(FileExists(outside + L"\\keep too.txt"));
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    if (IsWine()) {
        // Wine 8 refuses to remove a link whose target is not empty (ERROR_DIR_NOT_EMPTY);
        // the link and the installation folder stay. Windows removes the link itself.
        EXPECT_FALSE(removed);
        EXPECT_TRUE(DirectoryExists(link));
        EXPECT_EQ(ListFiles(dir), std::vector<std::wstring>{L"linked"});
    } else {
        EXPECT_TRUE(removed);
        EXPECT_FALSE(PathExists(dir));
    }
    RemoveSymlink(link);
}

TEST(RemoveDirectoryTree, LinkToEmptyFolderLeavesTheOutsideAlone)
{
    ScratchDir scratch;
    const std::wstring target = scratch.MakeDir(L"Outside\\empty");
    ASSERT_TRUE(WriteFileBytes(scratch / L"Outside\\keep.txt", "keep"));
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    const std::wstring link = dir + L"\\linked";
    if (!MakeDirectorySymlink(link, target))
        GTEST_SKIP() << "no directory symlink can be made here";

    const bool removed = RemoveDirectoryTree(dir);

    EXPECT_TRUE(FileExists(scratch / L"Outside\\keep.txt"));
    if (IsWine()) {
        // Wine 8 removes the empty target through the link and leaves the link dangling,
        // which it hides from listings; the installation folder, not empty, stays.
        EXPECT_FALSE(removed);
        EXPECT_FALSE(DirectoryExists(target));
        EXPECT_TRUE(DirectoryExists(dir));
        EXPECT_TRUE(ListFiles(dir).empty());
    } else {
        // Windows removes the link and keeps the target.
        EXPECT_TRUE(removed);
        EXPECT_FALSE(PathExists(dir));
        EXPECT_TRUE(DirectoryExists(target));
    }
    RemoveSymlink(link);
}

TEST(RemoveDirectoryTree, FolderThatIsItselfALinkIsLeftAlone)
{
    // The removal is given a folder that was checked as a real one; a link standing there
    // now was put in its place since, and where it leads was never checked.
    ScratchDir scratch;
    const std::wstring data = scratch.MakeDir(L"My Videos\\clips");
    ASSERT_TRUE(WriteFileBytes(scratch / L"My Videos\\trip.mp4", "video"));
    ASSERT_TRUE(WriteFileBytes(data + L"\\clip1.mp4", "video"));
    const std::wstring link = scratch / L"Qelvo";
    ASSERT_TRUE(MakeDirectorySymlink(link, scratch / L"My Videos"));

    EXPECT_FALSE(RemoveDirectoryTree(link));
    EXPECT_FALSE(RemoveDirectoryTree(L"\\\\?\\" + link));

    EXPECT_TRUE(FileExists(scratch / L"My Videos\\trip.mp4"));
    EXPECT_TRUE(FileExists(data + L"\\clip1.mp4"));
    EXPECT_TRUE(DirectoryExists(link));
    RemoveSymlink(link);
}

// Wine does not enforce MAX_PATH, so this passes there with or without the "\\?\" prefix;
// on Windows only the prefixed paths reach below 260 characters.
TEST(RemoveDirectoryTree, TreeDeeperThanMaxPathIsRemoved)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    std::wstring deep = L"\\\\?\\" + dir;
    std::vector<std::wstring> files;
    for (int level = 0; deep.size() < 4 + 400; ++level) {
        deep += L"\\level " + std::to_wstring(level) + L" 视频格式转换器 presets";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << level;
        const std::wstring file = deep + L"\\preset.xml";
        ASSERT_TRUE(WriteFileBytes(file, "<preset/>"));
        files.push_back(file);
    }
    ASSERT_GT(files.back().size() - 4, 300u);
    ASSERT_TRUE(SetFileAttributesW(files.back().c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(RemoveDirectoryTree(dir));

    EXPECT_FALSE(PathExists(dir));
    EXPECT_TRUE(ListFiles(scratch.Path()).empty());
}

TEST_F(ShortcutAndKey, ShortcutAndKeyAreRemoved)
{
    ASSERT_TRUE(WriteFileBytes(ShortcutPath(), "L\0\0\0"));
    ASSERT_TRUE(CreateKeyWithValue(kKeyPath));

    RemoveShortcutAndUninstallKey();

    EXPECT_FALSE(PathExists(ShortcutPath()));
    EXPECT_FALSE(KeyExists(kKeyPath));
    EXPECT_TRUE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(ShortcutAndKey, KeyGoesEvenWhenShortcutCannotBeDeleted)
{
    // DeleteFileW refuses a read-only file; the step ignores that and goes on to the key.
    ASSERT_TRUE(WriteFileBytes(ShortcutPath(), "L"));
    ASSERT_TRUE(SetFileAttributesW(ShortcutPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateKeyWithValue(kKeyPath));

    RemoveShortcutAndUninstallKey();

    EXPECT_FALSE(KeyExists(kKeyPath));
    SetFileAttributesW(ShortcutPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShortcutAndKey, KeyWithSubkeyStays)
{
    ASSERT_TRUE(CreateKeyWithValue(kKeyPath));
    ASSERT_TRUE(CreateKeyWithValue(std::wstring(kKeyPath) + L"\\Components"));

    RemoveShortcutAndUninstallKey();

    EXPECT_TRUE(KeyExists(kKeyPath));
    EXPECT_TRUE(KeyExists(std::wstring(kKeyPath) + L"\\Components"));
}

TEST_F(ShortcutAndKey, MissingShortcutAndKeyChangeNothing)
{
    const std::vector<std::wstring> before = ListFiles(DesktopDirectory());

    RemoveShortcutAndUninstallKey();

    EXPECT_EQ(ListFiles(DesktopDirectory()), before);
    EXPECT_FALSE(KeyExists(kKeyPath));
    EXPECT_TRUE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(ShortcutAndKey, UnrelatedDesktopFilesAndKeysStay)
{
    const std::wstring desktop = DesktopDirectory();
    const wchar_t* unrelated[] = {L"Qelvo视频格式转换器.txt", L"Qelvo视频格式转换器 (2).lnk", L"Qelvo.lnk",
                                  L"qelvo视频格式转换器.lnk.bak"};
    std::vector<std::unique_ptr<TemporaryFile>> files;
    for (const wchar_t* name : unrelated)
        files.push_back(std::make_unique<TemporaryFile>(JoinPath(desktop, name), "x"));
    ASSERT_TRUE(WriteFileBytes(ShortcutPath(), "L"));
    const std::wstring sibling = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zembrivox2";
    ASSERT_TRUE(CreateKeyWithValue(sibling));

    RemoveShortcutAndUninstallKey();

    EXPECT_FALSE(PathExists(ShortcutPath()));
    for (const wchar_t* name : unrelated)
        EXPECT_TRUE(FileExists(JoinPath(desktop, name))) << WideToUtf8(name);
    EXPECT_TRUE(KeyExists(sibling));
    RegDeleteTreeW(HKEY_CURRENT_USER, sibling.c_str());
}

#include "app/LinkDecision.h"
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
    EXPECT_TRUE(DirectoryExists(target));
    if (IsWine()) {
        // Wine 8 opens the target even when asked for the link itself, and deleting that
        // handle would remove the empty target: the walk sees the open went elsewhere and
        // leaves the link, so the installation folder stays.
        EXPECT_FALSE(removed);
        EXPECT_EQ(ListFiles(dir), std::vector<std::wstring>{L"linked"});
    } else {
        // Windows removes the link and keeps the target.
        EXPECT_TRUE(removed);
        EXPECT_FALSE(PathExists(dir));
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

namespace {

// Every file below dir with its bytes, as "relative path: bytes" lines.
std::vector<std::string> Inventory(const std::wstring& dir, const std::wstring& relative = L"")
{
    std::vector<std::string> lines;
    for (const std::wstring& name : ListFiles(JoinPath(dir, relative))) {
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        const std::wstring path = JoinPath(dir, child);
        if (DirectoryExists(path)) {
            for (const std::string& line : Inventory(dir, child))
                lines.push_back(line);
            continue;
        }
        std::string bytes;
        ReadFileBytes(path, bytes);
        lines.push_back(WideToUtf8(child) + ": " + bytes);
    }
    return lines;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

// The classic race: a folder not yet visited is renamed away and a link to a folder outside
// the tree put in its place after the listing and before the walk reaches it. The walk
// opens each child relative to its folder's handle without following links and checks the
// opened item is the one it listed, so nothing of the outside folder is touched. (Before,
// the walk went by path strings and took the child's type from the listing: it entered the
// link and emptied its target.)
TEST(RemoveDirectoryTree, FolderSwappedForALinkAfterTheListingIsNotEntered)
{
    ScratchDir scratch;
    const std::wstring outside = scratch.MakeDir(L"My Videos\\clips");
    ASSERT_TRUE(WriteFileBytes(scratch / L"My Videos\\trip.mp4", "video bytes"));
    ASSERT_TRUE(WriteFileBytes(outside + L"\\clip1.mp4", "clip bytes"));
    ASSERT_TRUE(WriteFileBytes(scratch / L"My Videos\\Uninstall.exe", "MZ"));
    MakeInstallation(scratch, L"Qelvo");
    const std::wstring dir = scratch / L"Qelvo";
    ASSERT_TRUE(WriteFileBytes(dir + L"\\bin\\plugins\\codecs\\hevc.dll", "hevc"));
    const std::vector<std::string> outsideBefore = Inventory(scratch / L"My Videos");
    const std::vector<std::string> pluginsBefore = Inventory(dir + L"\\bin\\plugins");

    int swaps = 0;
    const bool removed = RemoveDirectoryTree(dir, [&](const std::wstring& child) {
        if (!EndsWith(child, L"\\plugins"))
            return;
        ++swaps;
        ASSERT_TRUE(MoveFileW(child.c_str(), (scratch / L"plugins moved away").c_str()));
        ASSERT_TRUE(MakeDirectorySymlink(child, scratch / L"My Videos"));
    });

    EXPECT_EQ(swaps, 1);
    EXPECT_FALSE(removed);
    EXPECT_EQ(Inventory(scratch / L"My Videos"), outsideBefore);
    EXPECT_EQ(Inventory(scratch / L"plugins moved away"), pluginsBefore);
    // Everything else of the installation went; the link stays.
    EXPECT_EQ(ListFiles(dir), std::vector<std::wstring>{L"bin"});
    EXPECT_EQ(ListFiles(dir + L"\\bin"), std::vector<std::wstring>{L"plugins"});
    RemoveSymlink(dir + L"\\bin\\plugins");
}

// The same with a file: swapped after the listing for a link to a file outside. Wine 8
// opens the target through the link and would delete it; the identity differs from the
// listed one, so the walk leaves it.
TEST(RemoveDirectoryTree, FileSwappedForALinkAfterTheListingIsNotDeletedThrough)
{
    ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch / L"notes.txt", "my notes"));
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    ASSERT_TRUE(WriteFileBytes(dir + L"\\settings.ini", "x"));

    bool linked = false;
    const bool removed = RemoveDirectoryTree(dir, [&](const std::wstring& child) {
        if (!EndsWith(child, L"\\settings.ini"))
            return;
        ASSERT_TRUE(DeleteFileW(child.c_str()));
        linked = MakeFileSymlink(child, scratch / L"notes.txt");
    });
    if (!linked)
        GTEST_SKIP() << "no file symlink can be made here";

    std::string notes;
    EXPECT_TRUE(ReadFileBytes(scratch / L"notes.txt", notes));
    EXPECT_EQ(notes, "my notes");
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    if (!IsWine()) {
        EXPECT_TRUE(removed) << "Windows deletes the link itself";
    }
    RemoveSymlink(dir + L"\\settings.ini");
}

// A file link already in the tree. Windows lists and opens it as a reparse point, which is
// deleted as itself; Wine 8 shows it as the plain file it leads to, and its DeleteFileW
// deletes the target (which the walk by paths did): the system's name for the opened
// handle shows where it really is.
TEST(RemoveDirectoryTree, FileLinkToAnOutsideFileIsNotDeletedThrough)
{
    ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch / L"notes.txt", "my notes"));
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    if (!MakeFileSymlink(dir + L"\\notes link.txt", scratch / L"notes.txt"))
        GTEST_SKIP() << "no file symlink can be made here";

    const bool removed = RemoveDirectoryTree(dir);

    std::string notes;
    EXPECT_TRUE(ReadFileBytes(scratch / L"notes.txt", notes));
    EXPECT_EQ(notes, "my notes");
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    if (IsWine()) {
        EXPECT_FALSE(removed);
    } else {
        EXPECT_TRUE(removed);
        EXPECT_FALSE(PathExists(dir));
    }
    RemoveSymlink(dir + L"\\notes link.txt");
}

// Windows refuses to remove a read-only folder (ERROR_ACCESS_DENIED) until the attribute is
// cleared, which the walk by paths did for files only. Wine 8 removes such a folder anyway,
// so there this passes either way.
TEST(RemoveDirectoryTree, ReadOnlyFoldersAreRemoved)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo\\locales\\zh-CN");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\strings.json", "{}"));
    ASSERT_TRUE(SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((scratch / L"Qelvo\\locales").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((scratch / L"Qelvo").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    EXPECT_TRUE(RemoveDirectoryTree(scratch / L"Qelvo"));
    EXPECT_FALSE(PathExists(scratch / L"Qelvo"));
}

// A tree 500 levels deep, removed on a thread with 64 KB of stack (in a helper process, so
// running out of stack ends the helper, not the tests). The recursive walk by paths used
// about 0.7 KB of stack per level and ran out at about 90; the walk now keeps its folders
// on the heap, so the depth costs no stack at all. Wine 8 gives a thread at least its
// default stack whatever the reservation asks, so there the old walk survived 500 levels
// and overflowed only at about 1,800, which makes the test slow: Wine resolves every level
// again for each handle it opens.
TEST(RemoveDirectoryTree, DeepTreeFitsInASmallStack)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    std::wstring deep = L"\\\\?\\" + dir;
    for (int level = 0; level < 500; ++level) {
        deep += L"\\d";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << level;
    }
    ASSERT_TRUE(WriteFileBytes(deep + L"\\preset.xml", "<preset/>"));

    const long exitCode =
        RunProcess(QuoteArgument(TestHelperExePath()) + L" removetree " + QuoteArgument(dir) + L" 64", {}, 120000);

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(PathExists(dir));
}

// Only name surrogates (links, junctions and their kind) are links; every other reparse
// point is the file or folder it looks like. Wine shows its links with no tag at all.
TEST(LinkDecision, OnlyNameSurrogatesAreLinks)
{
    const DWORD reparseFolder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD reparseFile = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT;
    const struct {
        const char* name;
        DWORD attributes;
        DWORD tag;
        bool link;
    } cases[] = {
        {"symbolic link to a folder", reparseFolder, IO_REPARSE_TAG_SYMLINK, true},
        {"symbolic link to a file", reparseFile, IO_REPARSE_TAG_SYMLINK, true},
        {"junction", reparseFolder, IO_REPARSE_TAG_MOUNT_POINT, true},
        {"WSL symlink", reparseFile, 0xA000001D, true},
        {"no tag (Wine)", reparseFolder, 0, true},
        {"cloud placeholder folder", reparseFolder, IO_REPARSE_TAG_CLOUD, false},
        {"cloud placeholder file, OneDrive", reparseFile, IO_REPARSE_TAG_CLOUD_3, false},
        {"compressed (WOF)", reparseFile, IO_REPARSE_TAG_WOF, false},
        {"deduplicated", reparseFile, IO_REPARSE_TAG_DEDUP, false},
        {"app execution alias", reparseFile, 0x8000001B, false},
        {"projected file system", reparseFolder, 0x9000001C, false},
        {"plain folder", FILE_ATTRIBUTE_DIRECTORY, 0, false},
        {"plain file with a stale tag", FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_SYMLINK, false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(IsLinkItem(row.attributes, row.tag), row.link) << row.name;
}

// The older delete is the fallback only where the POSIX delete is not supported, and a
// read-only attribute is cleared for it only on a file with one name: the attribute is
// the file's, shared by every hard link. Wine only ever takes the fallback.
TEST(FallbackDelete, OnlyWhereThePosixDeleteIsUnsupported)
{
    const DWORD readOnly = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    const struct {
        const char* name;
        DWORD error;
        DWORD attributes;
        DWORD links;
        FallbackDelete expected;
    } cases[] = {
        {"no such class (before 10 1709, Wine)", ERROR_INVALID_PARAMETER, FILE_ATTRIBUTE_ARCHIVE, 1,
         FallbackDelete::Delete},
        {"file system without it", ERROR_NOT_SUPPORTED, FILE_ATTRIBUTE_ARCHIVE, 1, FallbackDelete::Delete},
        {"redirector without it", ERROR_INVALID_FUNCTION, FILE_ATTRIBUTE_DIRECTORY, 1, FallbackDelete::Delete},
        {"read-only, one name", ERROR_INVALID_PARAMETER, readOnly, 1, FallbackDelete::ClearReadOnlyThenDelete},
        {"read-only folder", ERROR_NOT_SUPPORTED, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, 1,
         FallbackDelete::ClearReadOnlyThenDelete},
        {"read-only folder, links unknown", ERROR_INVALID_PARAMETER,
         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, 0, FallbackDelete::ClearReadOnlyThenDelete},
        {"read-only, hard-linked", ERROR_INVALID_PARAMETER, readOnly, 2, FallbackDelete::Fail},
        {"read-only, links unknown", ERROR_INVALID_PARAMETER, readOnly, 0, FallbackDelete::Fail},
        {"hard-linked, writable", ERROR_INVALID_PARAMETER, FILE_ATTRIBUTE_ARCHIVE, 3, FallbackDelete::Delete},
        {"access denied", ERROR_ACCESS_DENIED, readOnly, 1, FallbackDelete::Fail},
        {"mapped view", ERROR_USER_MAPPED_FILE, FILE_ATTRIBUTE_ARCHIVE, 1, FallbackDelete::Fail},
        {"in use", ERROR_SHARING_VIOLATION, FILE_ATTRIBUTE_ARCHIVE, 1, FallbackDelete::Fail},
        {"folder not empty", ERROR_DIR_NOT_EMPTY, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, 1,
         FallbackDelete::Fail},
    };
    for (const auto& row : cases)
        EXPECT_EQ(static_cast<int>(ChooseFallbackDelete(row.error, row.attributes, row.links)),
                  static_cast<int>(row.expected))
            << row.name;
}

// A read-only file outside the installation with a second name inside it: the removal
// never clears the attribute they share. Windows' POSIX delete removes the inner name and
// ignores the attribute; Wine's older delete would need it cleared, so there the name is
// left and the removal fails. (Before, the outside file lost its attribute under Wine.)
TEST(RemoveDirectoryTree, ReadOnlyFileLinkedFromOutsideKeepsItsAttribute)
{
    ScratchDir scratch;
    const std::wstring outside = scratch / L"settings.ini";
    ASSERT_TRUE(WriteFileBytes(outside, "shared"));
    ASSERT_TRUE(SetFileAttributesW(outside.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe", "MZ"));
    ASSERT_TRUE(CreateHardLinkW((dir + L"\\settings.ini").c_str(), outside.c_str(), nullptr));

    const bool removed = RemoveDirectoryTree(dir);

    ASSERT_TRUE(FileExists(outside));
    EXPECT_NE(GetFileAttributesW(outside.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(outside, bytes));
    EXPECT_EQ(bytes, "shared");
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    if (IsWine()) {
        EXPECT_FALSE(removed);
        EXPECT_EQ(ListFiles(dir), std::vector<std::wstring>{L"settings.ini"});
    } else {
        EXPECT_TRUE(removed);
        EXPECT_FALSE(PathExists(dir));
    }
    SetFileAttributesW(outside.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW((dir + L"\\settings.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A read-only file that cannot go (a view of it is mapped, as a running program's is)
// keeps its attribute: where the older delete cleared it and then failed, it is put back.
// (Wine keeps no read-only attribute on folders, so a folder cannot show it there.)
TEST(RemoveDirectoryTree, ReadOnlyFileThatStaysKeepsItsAttribute)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    const std::wstring mapped = dir + L"\\codec.dll";
    ASSERT_TRUE(WriteFileBytes(mapped, "codec bytes"));
    ASSERT_TRUE(SetFileAttributesW(mapped.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE file = CreateFileW(mapped.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);

    const bool removed = RemoveDirectoryTree(dir);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);

    if (!FileExists(mapped))
        GTEST_SKIP() << "the system deletes a mapped file here";
    EXPECT_FALSE(removed);
    EXPECT_NE(GetFileAttributesW(mapped.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesW(mapped.c_str(), FILE_ATTRIBUTE_NORMAL);
}

#include "app/InstallDir.h"
#include "app/PathUtils.h"
#include "app/Removal.h"
#include "helpers/TestSupport.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace zmxtest;

namespace {

const char kExeBytes[] = "MZ";

// The accepted folder's path, empty when the directory is refused.
std::wstring AcceptedPath(const std::wstring& dir)
{
    const std::optional<AcceptedFolder> folder = AcceptedInstallDir(dir);
    return folder ? folder->Path() : L"";
}

std::wstring Marker(const std::wstring& dir)
{
    return JoinPath(dir, L"Uninstall.exe");
}

// A new directory directly below C:\ whose full path has exactly `length` characters.
std::wstring MakeDirOfLength(size_t length)
{
    const size_t nameLength = length - 3;
    for (int seed = 0; seed < 26 * 26 * 26; ++seed) {
        std::wstring name;
        for (size_t i = 0, value = seed; i < nameLength; ++i, value /= 26)
            name += static_cast<wchar_t>(L'a' + value % 26);
        const std::wstring dir = L"C:\\" + name;
        if (CreateDirectoryW(dir.c_str(), nullptr))
            return dir;
    }
    return {};
}

std::wstring ShellFolder(int csidl)
{
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) < 0)
        return {};
    return buffer;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id)
{
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path)
        result = path;
    CoTaskMemFree(path);
    return result;
}

std::wstring DownloadsFolder()
{
    return KnownFolder(FOLDERID_Downloads);
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buffer);
    std::wstring path = buffer;
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring WindowsFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    GetWindowsDirectoryW(buffer, MAX_PATH);
    return buffer;
}

std::wstring ShortPathOf(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : path;
}

// The ways a user or a script may spell the same folder.
std::vector<std::wstring> Spellings(const std::wstring& folder)
{
    const std::wstring shortForm = ShortPathOf(folder);
    const std::wstring adminShare = folder.substr(0, 1) + L"$" + folder.substr(2);
    return {
        folder,
        folder + L"\\",
        folder + L"\\\\",
        folder + L"/",
        folder + L".",
        folder + L" ",
        folder + L"\\.",
        folder + L"\\. .",
        ToUpper(folder),
        ToLower(folder) + L"\\",
        WithForwardSlashes(folder),
        WithForwardSlashes(ToUpper(folder)) + L"/",
        L"\\\\?\\" + folder,
        L"\\\\?\\" + ToLower(folder) + L"\\",
        L"\\\\.\\" + folder,
        L"//?/" + WithForwardSlashes(folder),
        L"\\\\?\\UNC\\localhost\\" + adminShare,
        L"\\\\localhost\\" + adminShare,
        shortForm,
        ToLower(shortForm) + L"\\",
        L"\\\\?\\" + shortForm,
    };
}

// Checks that folder is refused in every spelling although it holds an Uninstall.exe,
// which the test puts there when it is missing.
void ExpectRefusedWithUninstaller(const std::wstring& folder)
{
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(DirectoryExists(folder)) << WideToUtf8(folder);
    TemporaryFile marker(Marker(folder), kExeBytes);
    ASSERT_TRUE(marker.Exists()) << WideToUtf8(folder);
    for (const std::wstring& spelling : Spellings(folder)) {
        EXPECT_TRUE(IsProtectedDirectory(spelling)) << WideToUtf8(spelling);
        EXPECT_EQ(AcceptedPath(spelling), L"") << WideToUtf8(spelling);
    }
}

} // namespace

TEST(InstallDir, SixCharacterDirectoryWithUninstallerIsAccepted)
{
    const std::wstring dir = MakeDirOfLength(6);
    ASSERT_EQ(dir.size(), 6u);
    CleanupOnExit cleanup(dir);
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    EXPECT_TRUE(IsValidInstallDir(dir));
}

TEST(InstallDir, FiveCharacterDirectoryIsRejectedEvenWithUninstaller)
{
    const std::wstring dir = MakeDirOfLength(5);
    ASSERT_EQ(dir.size(), 5u);
    CleanupOnExit cleanup(dir);
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    EXPECT_FALSE(IsValidInstallDir(dir));
}

TEST(InstallDir, DotDotAnywhereIsRejected)
{
    ScratchDir scratch;
    const std::wstring install = scratch.MakeDir(L"Qelvo");
    const std::wstring dotted = scratch.MakeDir(L"Qelvo..old");
    ASSERT_TRUE(WriteFileBytes(Marker(install), kExeBytes));
    ASSERT_TRUE(WriteFileBytes(Marker(dotted), kExeBytes));
    ASSERT_TRUE(IsValidInstallDir(install));

    // Both name a real directory holding the uninstaller.
    EXPECT_FALSE(IsValidInstallDir(install + L"\\..\\Qelvo"));
    EXPECT_FALSE(IsValidInstallDir(dotted));
}

TEST(InstallDir, DirectoryWithoutUninstallerIsRejected)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Qelvo.exe", kExeBytes));
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Uninstall.exe.bak", kExeBytes));
    EXPECT_FALSE(IsValidInstallDir(dir));
    EXPECT_FALSE(IsValidInstallDir(scratch / L"Missing"));
    EXPECT_FALSE(IsValidInstallDir(L""));
}

TEST(InstallDir, SubdirectoryNamedUninstallExePasses)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(CreateDirectoryW(Marker(dir).c_str(), nullptr));
    EXPECT_TRUE(IsValidInstallDir(dir));
}

TEST(InstallDir, InstallationWithBlanksAndChineseNameIsAccepted)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo 视频格式转换器");
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    EXPECT_TRUE(IsValidInstallDir(dir));
    EXPECT_TRUE(IsValidInstallDir(dir + L"\\"));
    EXPECT_TRUE(IsValidInstallDir(WithForwardSlashes(dir)));
    EXPECT_FALSE(IsProtectedDirectory(dir));
}

TEST(InstallDir, ExtendedLengthSpellingIsAccepted)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo"); // two levels, like \\server\share
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    EXPECT_TRUE(IsValidInstallDir(L"\\\\?\\" + dir));
}

TEST(InstallDir, InstallationBelowProgramFilesIsAccepted)
{
    const std::wstring programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
    ASSERT_TRUE(DirectoryExists(programFiles));
    ScratchDir vendor(programFiles, L"Zembrivox-");
    ASSERT_FALSE(vendor.Path().empty());
    const std::wstring dir = vendor.MakeDir(L"Qelvo视频格式转换器");
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    EXPECT_TRUE(IsValidInstallDir(dir));
    EXPECT_TRUE(IsValidInstallDir(ToUpper(dir)));
}

TEST(InstallDir, InstallationBelowUserFoldersIsAccepted)
{
    // Only the folders themselves and their ancestors are guarded, not what users put in them.
    for (const std::wstring& folder : {ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_LOCAL_APPDATA),
                                       TempFolder()}) {
        ASSERT_TRUE(DirectoryExists(folder)) << WideToUtf8(folder);
        ScratchDir install(folder, L"Qelvo-");
        ASSERT_TRUE(WriteFileBytes(Marker(install.Path()), kExeBytes));
        EXPECT_FALSE(IsProtectedDirectory(install.Path())) << WideToUtf8(install.Path());
        EXPECT_TRUE(IsValidInstallDir(install.Path())) << WideToUtf8(install.Path());
    }
}

TEST(InstallDir, FolderSharingOnlyANamePrefixWithAProtectedOneIsAccepted)
{
    // "C:\windows-123" is not below "C:\windows".
    const std::wstring windows = WindowsFolder();
    ScratchDir sibling(DirectoryOfPath(windows), windows.substr(windows.find_last_of(L'\\') + 1) + L"-");
    ASSERT_FALSE(sibling.Path().empty());
    ASSERT_TRUE(WriteFileBytes(Marker(sibling.Path()), kExeBytes));
    EXPECT_FALSE(IsProtectedDirectory(sibling.Path()));
    EXPECT_TRUE(IsValidInstallDir(sibling.Path()));
}

TEST(ProtectedFolders, DriveRootIsRefused)
{
    TemporaryFile marker(L"C:\\Uninstall.exe", kExeBytes);
    ASSERT_TRUE(marker.Exists());
    // Long enough to pass the length rule, and each names C:\ holding an Uninstall.exe.
    for (const wchar_t* root : {L"C:\\\\\\\\", L"c:////", L"C:/././", L"C:\\.\\.\\", L"\\\\?\\C:\\", L"\\\\?\\C:"}) {
        EXPECT_TRUE(FileExists(JoinPath(root, L"Uninstall.exe"))) << WideToUtf8(root);
        EXPECT_TRUE(IsProtectedDirectory(root)) << WideToUtf8(root);
        EXPECT_FALSE(IsValidInstallDir(root)) << WideToUtf8(root);
    }
    for (const wchar_t* root : {L"C:\\", L"C:", L"c:/", L"Z:\\", L"D:\\\\\\\\"})
        EXPECT_TRUE(IsProtectedDirectory(root)) << WideToUtf8(root);
}

TEST(ProtectedFolders, WindowsDirectoryIsRefused)
{
    ExpectRefusedWithUninstaller(WindowsFolder());
    ExpectRefusedWithUninstaller(ShellFolder(CSIDL_SYSTEM));
}

TEST(ProtectedFolders, ProgramFilesIsRefused)
{
    ExpectRefusedWithUninstaller(ShellFolder(CSIDL_PROGRAM_FILES));
    ExpectRefusedWithUninstaller(ShellFolder(CSIDL_PROGRAM_FILES_COMMON));
}

TEST(ProtectedFolders, ProfileAndItsParentAreRefused)
{
    const std::wstring profile = ShellFolder(CSIDL_PROFILE);
    ExpectRefusedWithUninstaller(profile);
    ExpectRefusedWithUninstaller(DirectoryOfPath(profile));
}

TEST(ProtectedFolders, DesktopIsRefused)
{
    ExpectRefusedWithUninstaller(ShellFolder(CSIDL_DESKTOPDIRECTORY));
}

TEST(ProtectedFolders, DocumentsIsRefused)
{
    ExpectRefusedWithUninstaller(ShellFolder(CSIDL_PERSONAL));
}

TEST(ProtectedFolders, DownloadsIsRefused)
{
    ExpectRefusedWithUninstaller(DownloadsFolder());
}

TEST(ProtectedFolders, AppDataRootsAreRefused)
{
    const std::wstring roaming = ShellFolder(CSIDL_APPDATA);
    const std::wstring local = ShellFolder(CSIDL_LOCAL_APPDATA);
    ExpectRefusedWithUninstaller(roaming);
    ExpectRefusedWithUninstaller(local);
    // "AppData" above both: removing it removes them.
    ExpectRefusedWithUninstaller(DirectoryOfPath(roaming));
}

TEST(ProtectedFolders, TempDirectoryIsRefused)
{
    ExpectRefusedWithUninstaller(TempFolder());
}

TEST(ProtectedFolders, ListHoldsTheUsersFoldersInCanonicalForm)
{
    const std::vector<std::wstring> folders = ProtectedFolders();
    auto contains = [&](const std::wstring& folder) {
        const std::wstring canonical = CanonicalPath(folder);
        for (const std::wstring& entry : folders)
            if (entry == canonical)
                return true;
        return false;
    };
    const std::wstring profile = ShellFolder(CSIDL_PROFILE);
    const std::pair<const char*, std::wstring> expected[] = {
        {"Windows", WindowsFolder()},
        {"System", ShellFolder(CSIDL_SYSTEM)},
        {"Program Files", ShellFolder(CSIDL_PROGRAM_FILES)},
        {"Common Files", ShellFolder(CSIDL_PROGRAM_FILES_COMMON)},
        {"ProgramData", ShellFolder(CSIDL_COMMON_APPDATA)},
        {"Public", KnownFolder(FOLDERID_Public)},
        {"profile", profile},
        {"profiles root", DirectoryOfPath(profile)},
        {"Desktop", ShellFolder(CSIDL_DESKTOPDIRECTORY)},
        {"Documents", ShellFolder(CSIDL_PERSONAL)},
        {"Downloads", DownloadsFolder()},
        {"Roaming AppData", ShellFolder(CSIDL_APPDATA)},
        {"Local AppData", ShellFolder(CSIDL_LOCAL_APPDATA)},
        {"LocalLow", KnownFolder(FOLDERID_LocalAppDataLow)},
        {"Temp", TempFolder()},
    };
    for (const auto& folder : expected) {
        ASSERT_FALSE(folder.second.empty()) << folder.first;
        EXPECT_TRUE(contains(folder.second)) << folder.first << ": " << WideToUtf8(folder.second);
    }
    for (const std::wstring& entry : folders) {
        ASSERT_FALSE(entry.empty());
        EXPECT_EQ(CanonicalPath(entry), entry) << WideToUtf8(entry);
        EXPECT_EQ(entry.find_first_of(L"?/"), std::wstring::npos) << WideToUtf8(entry);
        EXPECT_NE(entry.back(), L'\\') << WideToUtf8(entry);
    }
}

// Every folder the check guards, as the code lists them, in every spelling and through a
// link: each is refused, and so is the folder above it.
TEST(ProtectedFolders, EveryListedFolderIsRefusedInEverySpelling)
{
    const std::vector<std::wstring> folders = ProtectedFolders();
    ASSERT_GE(folders.size(), 10u);
    for (const std::wstring& folder : folders) {
        SCOPED_TRACE(WideToUtf8(folder));
        ExpectRefusedWithUninstaller(folder);
        const std::wstring parent = DirectoryOfPath(folder);
        if (parent.size() > 2) {
            ExpectRefusedWithUninstaller(parent);
        }
    }
}

TEST(ProtectedFolders, LinkToAListedFolderIsRefused)
{
    ScratchDir scratch;
    int number = 0;
    for (const std::wstring& folder : ProtectedFolders()) {
        SCOPED_TRACE(WideToUtf8(folder));
        TemporaryFile marker(Marker(folder), kExeBytes);
        ASSERT_TRUE(marker.Exists());
        const std::wstring link = scratch / (L"link" + std::to_wstring(++number));
        ASSERT_TRUE(MakeDirectorySymlink(link, folder));
        EXPECT_EQ(CanonicalPath(link), folder);
        for (const std::wstring& spelling : {link, link + L"\\", L"\\\\?\\" + link, ShortPathOf(link)}) {
            EXPECT_TRUE(IsProtectedDirectory(spelling)) << WideToUtf8(spelling);
            EXPECT_EQ(AcceptedPath(spelling), L"") << WideToUtf8(spelling);
        }
        RemoveSymlink(link);
    }
}

TEST(PathNormalisation, SeparatorsAndTrailingSeparatorsAreUnified)
{
    EXPECT_EQ(NormalizeDirectory(L"C:/Program Files/Qelvo/"), L"C:\\Program Files\\Qelvo");
    EXPECT_EQ(NormalizeDirectory(L"C:\\Program Files\\Qelvo\\\\"), L"C:\\Program Files\\Qelvo");
    EXPECT_EQ(NormalizeDirectory(L"C:\\"), L"C:");
    EXPECT_EQ(NormalizeDirectory(L"C:\\a\\.\\b"), L"C:\\a\\b");
}

TEST(PathNormalisation, AncestorMatchStopsAtSeparators)
{
    EXPECT_TRUE(IsSameOrAncestorOf(L"C:\\Users", L"c:\\users\\qelvo\\Desktop"));
    EXPECT_TRUE(IsSameOrAncestorOf(L"C:\\USERS\\QELVO", L"C:\\users\\qelvo"));
    EXPECT_FALSE(IsSameOrAncestorOf(L"C:\\users\\qelvo\\Desktop\\Game", L"C:\\users\\qelvo\\Desktop"));
    EXPECT_FALSE(IsSameOrAncestorOf(L"C:\\use", L"C:\\users"));
    EXPECT_FALSE(IsSameOrAncestorOf(L"C:\\users2", L"C:\\users"));
    EXPECT_FALSE(IsSameOrAncestorOf(L"", L"C:\\users"));
}

TEST(PathNormalisation, VolumeRootsAreRecognised)
{
    EXPECT_TRUE(IsVolumeRoot(L"C:"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\server\\share"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\server"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\?\\C:"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\?\\UNC\\server\\share"));
    EXPECT_FALSE(IsVolumeRoot(L"C:\\Qelvo"));
    EXPECT_FALSE(IsVolumeRoot(L"\\\\server\\share\\Qelvo"));
    EXPECT_FALSE(IsVolumeRoot(L"\\\\?\\C:\\Qelvo"));
    EXPECT_FALSE(IsVolumeRoot(L"\\\\?\\UNC\\server\\share\\Qelvo"));
}

TEST(ProtectedFolders, NetworkShareRootIsRefused)
{
    EXPECT_TRUE(IsProtectedDirectory(L"\\\\server\\share"));
    EXPECT_TRUE(IsProtectedDirectory(L"\\\\server\\share\\"));
    EXPECT_TRUE(IsProtectedDirectory(L"//server/share/"));
    EXPECT_FALSE(IsProtectedDirectory(L"\\\\server\\share\\Qelvo"));
}

TEST(InstallDir, RelativeDriveRelativeAndRootedDirectoriesAreRefused)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo视频格式转换器");
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    ASSERT_TRUE(IsValidInstallDir(dir));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.Path().c_str()));

    // Each names the installation from this working directory, and would name another
    // folder from any other.
    const std::wstring name = L"Qelvo视频格式转换器";
    const std::wstring rooted = dir.substr(2);
    for (const std::wstring& spelling : {name, L".\\" + name, L"./" + name + L"/", dir.substr(0, 2) + name, rooted,
                                         WithForwardSlashes(rooted)}) {
        EXPECT_TRUE(FileExists(JoinPath(spelling, L"Uninstall.exe"))) << WideToUtf8(spelling);
        EXPECT_EQ(AcceptedPath(spelling), L"") << WideToUtf8(spelling);
        EXPECT_TRUE(IsProtectedDirectory(spelling)) << WideToUtf8(spelling);
    }
    SetCurrentDirectoryW(previous);
}

TEST(InstallDir, AcceptedFormIsTheCanonicalOne)
{
    ScratchDir scratch;
    const std::wstring dir = scratch.MakeDir(L"Qelvo Video Converter");
    ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
    const std::wstring canonical = CanonicalPath(dir);
    ASSERT_FALSE(canonical.empty());
    for (const std::wstring& spelling : {L"\\\\?\\" + ToUpper(dir), WithForwardSlashes(dir) + L"/", ShortPathOf(dir),
                                         dir + L". "})
        EXPECT_EQ(AcceptedPath(spelling), canonical) << WideToUtf8(spelling);
}

// The directory after "/run" in another spelling than its canonical one (8.3 name, trailing
// separator, forward slashes, other case): the check answers the canonical folder, the
// re-check passes on it, and the removal removes that folder and nothing beside it.
TEST(InstallDir, EverySpellingIsRecheckedAndRemovedAsTheCanonicalFolder)
{
    ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch / L"beside.txt", "keep"));
    const struct {
        const char* name;
        std::wstring (*spell)(const std::wstring& dir);
    } cases[] = {
        {"8.3 name", [](const std::wstring& dir) { return ShortPathOf(dir); }},
        {"trailing separator", [](const std::wstring& dir) { return dir + L"\\"; }},
        {"forward slashes", [](const std::wstring& dir) { return WithForwardSlashes(dir); }},
        {"other case", [](const std::wstring& dir) { return ToUpper(dir); }},
    };
    int index = 0;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const std::wstring dir = scratch.MakeDir(L"Qelvo Video Converter " + std::to_wstring(++index));
        ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
        ASSERT_TRUE(WriteFileBytes(dir + L"\\Qelvo.exe", kExeBytes));
        const std::wstring canonical = CanonicalPath(dir);
        const std::wstring spelling = row.spell(dir);
        ASSERT_NE(spelling, canonical);

        const std::optional<AcceptedFolder> folder = AcceptedInstallDir(spelling);
        ASSERT_TRUE(folder.has_value()) << WideToUtf8(spelling);
        EXPECT_EQ(folder->Path(), canonical);
        EXPECT_TRUE(IsStillAcceptedInstallDir(*folder));
        EXPECT_TRUE(RemoveDirectoryTree(*folder));
        EXPECT_FALSE(PathExists(dir));
    }
    EXPECT_TRUE(FileExists(scratch / L"beside.txt"));
}

// An installation reached through a link is the folder the link leads to: that folder is
// checked, shown and removed; the link itself is left, dangling.
TEST(InstallDir, LinkedInstallationIsItsTarget)
{
    ScratchDir scratch;
    const std::wstring target = scratch.MakeDir(L"Real\\Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(target), kExeBytes));
    ASSERT_TRUE(WriteFileBytes(target + L"\\Qelvo.exe", kExeBytes));
    ASSERT_TRUE(WriteFileBytes(scratch / L"Real\\beside.txt", "keep"));
    const std::wstring link = scratch / L"Qelvo";
    ASSERT_TRUE(MakeDirectorySymlink(link, target));

    const std::optional<AcceptedFolder> accepted = AcceptedInstallDir(link);
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->Path(), CanonicalPath(target));
    ASSERT_TRUE(RemoveDirectoryTree(*accepted));

    EXPECT_FALSE(PathExists(target));
    EXPECT_TRUE(FileExists(scratch / L"Real\\beside.txt"));
    // The link stays where it was, leading nowhere (Wine hides such a link from listings).
    EXPECT_FALSE(DirectoryExists(link));
    EXPECT_EQ(ListFiles(scratch / L"Real"), std::vector<std::wstring>{L"beside.txt"});
    RemoveSymlink(link);
}

// A scratch installation that the check at start accepted, with the identity it recorded.
class InstallDirRecheck : public ::testing::Test {
protected:
    void Accept(const wchar_t* name)
    {
        dir = scratch.MakeDir(name);
        ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
        folder = AcceptedInstallDir(dir);
        ASSERT_TRUE(folder.has_value());
        accepted = folder->Path();
        identity = folder->Identity();
    }

    ScratchDir scratch;
    std::wstring dir;
    std::optional<AcceptedFolder> folder;
    std::wstring accepted;
    FolderIdentity identity;
};

TEST_F(InstallDirRecheck, UnchangedInstallationIsStillAccepted)
{
    ASSERT_NO_FATAL_FAILURE(Accept(L"Qelvo"));
    EXPECT_TRUE(identity.known);
    EXPECT_TRUE(IsStillAcceptedInstallDir(*folder));
}

// A folder swapped for a link after the check is the end-to-end check swapped_for_link.sh:
// Wine's MoveFileW moves a link's target rather than the link, so it cannot be staged here.
TEST_F(InstallDirRecheck, LeftoversOfAFailedAttemptAreStillAccepted)
{
    ASSERT_NO_FATAL_FAILURE(Accept(L"Vendor\\Qelvo"));
    ASSERT_TRUE(WriteFileBytes(dir + L"\\Qelvo.exe", kExeBytes));

    // A first attempt removed Uninstall.exe but not the locked Qelvo.exe.
    ASSERT_TRUE(DeleteFileW(Marker(dir).c_str()));
    EXPECT_FALSE(IsValidInstallDir(dir));
    EXPECT_TRUE(IsStillAcceptedInstallDir(*folder));
}

TEST_F(InstallDirRecheck, OnlyTheCanonicalFormItselfPasses)
{
    ASSERT_NO_FATAL_FAILURE(Accept(L"Qelvo long folder name"));
    EXPECT_TRUE(IsStillAcceptedInstallDir(*folder));
    // Another spelling, a relative one or an unknown identity cannot even be carried: the
    // folder's path and identity come from one handle to the folder named by its own path.
    EXPECT_FALSE(AcceptedFolder::Read(ShortPathOf(accepted)).has_value());
    EXPECT_FALSE(AcceptedFolder::Read(L"Qelvo long folder name").has_value());
    EXPECT_TRUE(folder->Identity().known);
    for (const std::wstring& protectedFolder : {WindowsFolder(), DirectoryOfPath(ShellFolder(CSIDL_PROFILE))}) {
        const std::optional<AcceptedFolder> other = AcceptedFolder::Read(CanonicalPath(protectedFolder));
        ASSERT_TRUE(other.has_value()) << WideToUtf8(protectedFolder);
        EXPECT_FALSE(IsStillAcceptedInstallDir(*other)) << WideToUtf8(protectedFolder);
    }
}

// Another folder put in the accepted one's place under the same name, as a swapped USB
// stick with the same folders would be: same text, another identity, refused. (Before,
// the re-check compared the spelling only.)
TEST_F(InstallDirRecheck, AnotherFolderUnderTheSameNameIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(Accept(L"Qelvo"));

    ASSERT_TRUE(MoveFileW(dir.c_str(), (scratch / L"Qelvo.old").c_str()));
    const std::wstring replacement = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(replacement), kExeBytes));
    ASSERT_EQ(CanonicalPath(replacement), accepted);

    EXPECT_FALSE(IsStillAcceptedInstallDir(*folder));
    FolderIdentity moved;
    ASSERT_TRUE(IdentifyFolder(scratch / L"Qelvo.old", moved));
    EXPECT_TRUE(moved == identity);
}

// Spellings that reach a protected folder by another road than the ones the canonical form
// knows: another loopback address, the IPv6 loopback name. Where the system lets the road
// through, the folder is refused by its identity. Wine has no administrative shares, and its
// final path names a folder reached through drive Z: (the Unix root) by its C: path again,
// so there only the roads the canonical form already knows are reached.
TEST(ProtectedFolders, OtherRoadsToAProtectedFolderAreRefusedByIdentity)
{
    const std::wstring profile = ShellFolder(CSIDL_PROFILE);
    TemporaryFile marker(Marker(profile), kExeBytes);
    int reached = 0;
    std::vector<std::wstring> roads;
    for (const wchar_t* server : {L"127.0.0.2", L"127.0.0.1", L"localhost", L"::1"})
        roads.push_back(std::wstring(L"\\\\") + server + L"\\" + profile.substr(0, 1) + L"$" + profile.substr(2));
    // Wine's drive Z: is the Unix root, so every folder of C: has a second road through it.
    if (IsWine())
        roads.push_back(WindowsPathFromUnix(UnixPathOf(profile)));
    for (const std::wstring& road : roads) {
        FolderIdentity identity;
        if (!IdentifyFolder(road, identity))
            continue; // no share of the drive here (Wine has no SMB server)
        ++reached;
        EXPECT_TRUE(IsProtectedDirectory(road)) << WideToUtf8(road);
        EXPECT_EQ(AcceptedPath(road), L"") << WideToUtf8(road);
    }
    if (reached == 0)
        GTEST_SKIP() << "no administrative share reaches the local drive here";
}

namespace {

// Sets an environment variable of this process for one scope, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name(name)
    {
        wchar_t buffer[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
        hadValue = length > 0 && length < MAX_PATH;
        previous = buffer;
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name, hadValue ? previous.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* name;
    std::wstring previous;
    bool hadValue = false;
};

std::wstring RegistryValue(const wchar_t* keyPath, const wchar_t* value, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return {};
    wchar_t buffer[MAX_PATH] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    const LSTATUS status = RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? buffer : L"";
}

bool Listed(const std::vector<std::wstring>& folders, const std::wstring& folder)
{
    const std::wstring canonical = CanonicalPath(folder);
    for (const std::wstring& entry : folders)
        if (entry == canonical)
            return true;
    return false;
}

} // namespace

// A 32-bit program on 64-bit Windows is told the x86 folders; the native Program Files and
// Common Files come from ProgramW6432 and CommonProgramW6432, or, where the environment
// lacks them, from the registry's 64-bit view. Set and unset here in process, so the test
// means the same in a 32-bit prefix (where the 64-bit view is the only one) and under WoW64.
// (Before, CommonProgramW6432 was never read, and without ProgramW6432 nothing was.)
TEST(ProtectedFolders, NativeProgramFilesAndCommonFilesAreRefused)
{
    ScratchDir scratch;
    // Apart, so that only its own entry on the list can refuse either folder.
    const std::wstring programFiles = scratch.MakeDir(L"Native Program Files");
    const std::wstring commonFiles = scratch.MakeDir(L"Native Common Files");
    const std::wstring vendor = scratch.MakeDir(L"Native Program Files\\Zembrivox\\Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(vendor), kExeBytes));
    {
        ScopedEnvironment native(L"ProgramW6432", programFiles.c_str());
        ScopedEnvironment nativeCommon(L"CommonProgramW6432", commonFiles.c_str());
        ExpectRefusedWithUninstaller(programFiles);
        ExpectRefusedWithUninstaller(commonFiles);
        EXPECT_TRUE(IsValidInstallDir(vendor));
    }
    {
        ScopedEnvironment native(L"ProgramW6432", nullptr);
        ScopedEnvironment nativeCommon(L"CommonProgramW6432", nullptr);
        const wchar_t key[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        const std::wstring registryProgramFiles = RegistryValue(key, L"ProgramFilesDir", KEY_WOW64_64KEY);
        const std::wstring registryCommonFiles = RegistryValue(key, L"CommonFilesDir", KEY_WOW64_64KEY);
        ASSERT_FALSE(registryProgramFiles.empty());
        ASSERT_FALSE(registryCommonFiles.empty());
        bool complete = false;
        const std::vector<std::wstring> folders = ProtectedFolders(&complete);
        EXPECT_TRUE(complete);
        EXPECT_TRUE(Listed(folders, registryProgramFiles)) << WideToUtf8(registryProgramFiles);
        EXPECT_TRUE(Listed(folders, registryCommonFiles)) << WideToUtf8(registryCommonFiles);
        EXPECT_FALSE(Listed(folders, programFiles));
        ExpectRefusedWithUninstaller(registryCommonFiles);
    }
}

// Nothing inside the Windows folder is an installation: System32 and, under WoW64,
// SysWOW64 and the Sysnative alias are refused, and so is any folder below them. (Before,
// only the listed folders themselves and their ancestors were.)
TEST(ProtectedFolders, NothingInsideTheWindowsFolderIsAccepted)
{
    const std::wstring windows = WindowsFolder();
    for (const std::wstring& parent : {windows, ShellFolder(CSIDL_SYSTEM), windows + L"\\Fonts"}) {
        ASSERT_TRUE(DirectoryExists(parent)) << WideToUtf8(parent);
        ScratchDir vendor(parent, L"Zembrivox-");
        ASSERT_FALSE(vendor.Path().empty()) << WideToUtf8(parent);
        const std::wstring dir = vendor.MakeDir(L"Qelvo");
        ASSERT_TRUE(WriteFileBytes(Marker(dir), kExeBytes));
        EXPECT_TRUE(IsProtectedDirectory(vendor.Path())) << WideToUtf8(vendor.Path());
        EXPECT_EQ(AcceptedPath(dir), L"") << WideToUtf8(dir);
    }
    for (const wchar_t* name : {L"System32", L"SysWOW64", L"Sysnative", L"WinSxS"})
        EXPECT_TRUE(IsProtectedDirectory(windows + L"\\" + name)) << WideToUtf8(name);
}

// Every user's profile is refused, not only the current one and the root above it: each
// folder directly in the profiles root, and each profile the system's profile list names
// wherever it lies. What users put inside a profile stays acceptable.
TEST(ProtectedFolders, EveryUsersProfileIsRefused)
{
    const std::wstring profilesRoot = KnownFolder(FOLDERID_UserProfiles);
    ASSERT_TRUE(DirectoryExists(profilesRoot));
    ScratchDir otherUser(profilesRoot, L"Alice-");
    ASSERT_FALSE(otherUser.Path().empty());
    ExpectRefusedWithUninstaller(otherUser.Path());
    ExpectRefusedWithUninstaller(KnownFolder(FOLDERID_Public));

    ScratchDir scratch;
    const std::wstring bob = scratch.MakeDir(L"Profiles\\Bob");
    const std::wstring bobsProgram = scratch.MakeDir(L"Profiles\\Bob\\AppData\\Local\\Programs\\Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(bobsProgram), kExeBytes));
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-7-7-"
        + std::to_wstring(GetCurrentProcessId());
    HKEY profile = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                              &profile, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(profile, L"ProfileImagePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(bob.c_str()),
                   static_cast<DWORD>((bob.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(profile);

    ExpectRefusedWithUninstaller(bob);
    EXPECT_TRUE(IsValidInstallDir(bobsProgram));

    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
}

namespace {

// A private uninstall key, so no other test's installation is judged by it.
class RecordedKey {
public:
    RecordedKey() : path(L"Software\\ZmxTest\\Uninstall-" + std::to_wstring(GetCurrentProcessId())) {}
    ~RecordedKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
    void Set(const wchar_t* name, const std::wstring& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    void Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
    std::wstring Accepted(const std::wstring& dir) const
    {
        const std::optional<AcceptedFolder> folder = AcceptedInstallDir(dir, HKEY_CURRENT_USER, path.c_str());
        return folder ? folder->Path() : L"";
    }
    std::wstring Recorded() const { return RecordedInstallLocation(HKEY_CURRENT_USER, path.c_str()); }
    InstallDirRefusal Refusal(const std::wstring& dir) const
    {
        InstallDirRefusal refusal = InstallDirRefusal::None;
        AcceptedInstallDir(dir, HKEY_CURRENT_USER, path.c_str(), &refusal);
        return refusal;
    }

private:
    std::wstring path;
};

} // namespace

// A copy of the uninstaller somewhere else holds an Uninstall.exe too. Where the key
// records the product's folder, only that folder is accepted; without a record, or with an
// unusable one, the folder holding Uninstall.exe is, as before.
TEST(RecordedLocation, OnlyTheFolderTheKeyRecordsIsAccepted)
{
    ScratchDir scratch;
    const std::wstring install = scratch.MakeDir(L"Program Files\\Qelvo视频格式转换器");
    const std::wstring tools = scratch.MakeDir(L"Tools");
    ASSERT_TRUE(WriteFileBytes(Marker(install), kExeBytes));
    ASSERT_TRUE(WriteFileBytes(Marker(tools), kExeBytes));
    RecordedKey key;

    EXPECT_EQ(key.Accepted(tools), CanonicalPath(tools)) << "no key, no record";
    key.Set(L"DisplayName", L"Qelvo视频格式转换器");
    EXPECT_EQ(key.Accepted(tools), CanonicalPath(tools)) << "a key without a location";

    key.Set(L"UninstallString", L"\"" + install + L"\\Uninstall.exe\" /S");
    EXPECT_EQ(key.Recorded(), install);
    EXPECT_EQ(key.Accepted(tools), L"");
    EXPECT_EQ(key.Accepted(install), CanonicalPath(install));
    EXPECT_EQ(key.Accepted(ToUpper(install) + L"\\"), CanonicalPath(install)) << "compared in canonical form";

    key.Clear();
    key.Set(L"UninstallString", install + L"\\Uninstall.exe");
    EXPECT_EQ(key.Accepted(tools), L"");
    key.Clear();
    key.Set(L"DisplayIcon", install + L"\\Qelvo.exe,0");
    EXPECT_EQ(key.Recorded(), install);
    EXPECT_EQ(key.Accepted(tools), L"");
    key.Set(L"InstallLocation", tools);
    EXPECT_EQ(key.Accepted(tools), CanonicalPath(tools)) << "InstallLocation comes first";
    EXPECT_EQ(key.Accepted(install), L"");

    key.Clear();
    key.Set(L"UninstallString", L"Uninstall.exe");
    EXPECT_EQ(key.Recorded(), L"") << "a relative record names nothing";
    EXPECT_EQ(key.Accepted(tools), CanonicalPath(tools));
}

// The key records a folder that cannot be identified: the user moved the installation, or
// deleted it and kept a copy. The record still says the product lives elsewhere, so the
// folder at hand is refused as no installation; once the record names it (in any
// spelling), or nothing, it is accepted.
TEST(RecordedLocation, ARecordedFolderThatIsGoneRefusesTheFolderAtHand)
{
    ScratchDir scratch;
    const std::wstring moved = scratch.MakeDir(L"Moved\\Qelvo视频格式转换器");
    ASSERT_TRUE(WriteFileBytes(Marker(moved), kExeBytes));
    const std::wstring gone = scratch / L"Program Files\\Qelvo视频格式转换器";
    ASSERT_FALSE(PathExists(gone));
    const struct {
        const wchar_t* value;
        std::wstring recorded;
        InstallDirRefusal refusal;
    } cases[] = {
        {L"InstallLocation", gone, InstallDirRefusal::NotInstallation},
        {L"UninstallString", L"\"" + gone + L"\\Uninstall.exe\" /S", InstallDirRefusal::NotInstallation},
        {L"DisplayIcon", gone + L"\\Qelvo.exe,0", InstallDirRefusal::NotInstallation},
        {L"InstallLocation", moved, InstallDirRefusal::None},
        {L"InstallLocation", ToUpper(moved) + L"\\", InstallDirRefusal::None},
        {L"DisplayName", L"Qelvo视频格式转换器", InstallDirRefusal::None},
    };
    RecordedKey key;
    for (const auto& row : cases) {
        SCOPED_TRACE(WideToUtf8(row.recorded));
        key.Clear();
        key.Set(row.value, row.recorded);
        EXPECT_EQ(static_cast<int>(key.Refusal(moved)), static_cast<int>(row.refusal));
        EXPECT_EQ(key.Accepted(moved), row.refusal == InstallDirRefusal::None ? CanonicalPath(moved) : L"");
    }
}

// The identity rule on its own: a spelling no text rule can match (a share of another
// machine's name, standing for a mapped drive or the local drive's administrative share)
// with the identity of a protected folder is refused by that identity alone.
TEST(ProtectedFolders, IdentityRuleAloneRefusesWhatNoTextNames)
{
    const std::wstring profile = ShellFolder(CSIDL_PROFILE);
    ScratchDir otherUser(KnownFolder(FOLDERID_UserProfiles), L"Alice-");
    ScratchDir scratch;
    const std::wstring install = scratch.MakeDir(L"Qelvo");
    const struct {
        std::wstring folder;
        bool isProtected;
    } cases[] = {
        {profile, true},
        {DirectoryOfPath(profile), true},
        {otherUser.Path(), true},
        {ShellFolder(CSIDL_PERSONAL), true},
        {DirectoryOfPath(ShellFolder(CSIDL_APPDATA)), true},
        {ShellFolder(CSIDL_PROGRAM_FILES), true},
        {install, false},
        {scratch.Path(), false},
    };
    const std::wstring road = L"\\\\fileserver\\share\\Qelvo";
    ASSERT_FALSE(IsProtectedDirectory(road));
    for (const auto& row : cases) {
        FolderIdentity identity;
        ASSERT_TRUE(IdentifyFolder(row.folder, identity)) << WideToUtf8(row.folder);
        EXPECT_EQ(IsProtectedIdentity(road, identity), row.isProtected) << WideToUtf8(row.folder);
    }
}

namespace {

// This process's HKEY_CURRENT_USER turned to a private key that holds a copy of the user's
// shell folders with Documents recorded as the test says: the shell reads the copy, and no
// other program of the prefix sees the change.
class RedirectedDocuments : public ::testing::Test {
protected:
    void SetUp() override
    {
        original = ShellFolder(CSIDL_PERSONAL);
        ASSERT_FALSE(original.empty());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, rootPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root,
                                  nullptr),
                  ERROR_SUCCESS);
        HKEY source = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &source), ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyExW(root, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &folders, nullptr),
                  ERROR_SUCCESS);
        const LSTATUS copied = RegCopyTreeW(source, nullptr, folders);
        RegCloseKey(source);
        ASSERT_EQ(copied, ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root), ERROR_SUCCESS);
    }

    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (folders)
            RegCloseKey(folders);
        if (root)
            RegCloseKey(root);
        RegDeleteTreeW(HKEY_CURRENT_USER, rootPath.c_str());
    }

    void RecordDocuments(const std::wstring& path)
    {
        ASSERT_EQ(RegSetValueExW(folders, L"Personal", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    static constexpr const wchar_t* kShellFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const std::wstring rootPath = L"Software\\ZmxTest\\User-" + std::to_wstring(GetCurrentProcessId());
    HKEY root = nullptr;
    HKEY folders = nullptr;
    std::wstring original;
    ScratchDir scratch;
};

} // namespace

// Documents redirected to a folder that is gone (or to a share that is offline): the shell
// still names it, it stays protected by its text, and nothing else is refused for it.
// (Before, the shell was asked to verify, answered nothing, and every directory was refused.)
TEST_F(RedirectedDocuments, AMissingFolderRefusesNothingElse)
{
    const std::wstring redirected = scratch.MakeDir(L"Redirected");
    const std::wstring install = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(redirected), kExeBytes));
    ASSERT_TRUE(WriteFileBytes(Marker(install), kExeBytes));
    const std::wstring documents = redirected + L"\\Documents";
    ASSERT_NO_FATAL_FAILURE(RecordDocuments(documents));
    ASSERT_FALSE(PathExists(documents));

    bool complete = false;
    EXPECT_TRUE(Listed(ProtectedFolders(&complete), documents));
    EXPECT_TRUE(complete);
    EXPECT_EQ(AcceptedPath(install), CanonicalPath(install));
    InstallDirRefusal refusal = InstallDirRefusal::None;
    EXPECT_FALSE(AcceptedInstallDir(redirected, &refusal)) << "it holds Documents' path";
    EXPECT_EQ(static_cast<int>(refusal), static_cast<int>(InstallDirRefusal::Protected));
    TemporaryFile rootMarker(L"C:\\Uninstall.exe", kExeBytes);
    EXPECT_TRUE(IsProtectedDirectory(L"C:\\"));
    EXPECT_EQ(AcceptedPath(L"C:\\\\\\\\"), L"");
}

// A folder the list must hold with no path at all (Documents recorded as nothing, or as a
// name that is no path): nothing is accepted until it has one again.
TEST_F(RedirectedDocuments, NoPathForARequiredFolderRefusesEverythingUntilItHasOne)
{
    const std::wstring install = scratch.MakeDir(L"Qelvo");
    ASSERT_TRUE(WriteFileBytes(Marker(install), kExeBytes));
    for (const wchar_t* recorded : {L"", L"Documents"}) {
        ASSERT_NO_FATAL_FAILURE(RecordDocuments(recorded));
        bool complete = true;
        ProtectedFolders(&complete);
        EXPECT_FALSE(complete) << WideToUtf8(recorded);
        InstallDirRefusal refusal = InstallDirRefusal::None;
        EXPECT_FALSE(AcceptedInstallDir(install, &refusal)) << WideToUtf8(recorded);
        EXPECT_EQ(static_cast<int>(refusal), static_cast<int>(InstallDirRefusal::SystemFoldersUnknown));
        EXPECT_TRUE(IsProtectedDirectory(install));

        ASSERT_NO_FATAL_FAILURE(RecordDocuments(original));
        EXPECT_EQ(AcceptedPath(install), CanonicalPath(install)) << "once Documents has a path again";
    }
}

// Reads the resources and headers of the built Uninstall.exe, loaded as a data file.
#include "helpers/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

using namespace zmxtest;

namespace {

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExW(UninstallExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << WideToUtf8(UninstallExePath()) << " error " << GetLastError();
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    // The bytes of one resource; empty when it is missing.
    std::string Bytes(LPCWSTR type, LPCWSTR name) const
    {
        HRSRC resource = FindResourceW(module, name, type);
        if (!resource)
            return {};
        HGLOBAL loaded = LoadResource(module, resource);
        const DWORD size = SizeofResource(module, resource);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        return data ? std::string(static_cast<const char*>(data), size) : std::string();
    }

    HMODULE module = nullptr;
};

uint32_t BigEndian32(const std::string& bytes, size_t offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPng(const std::string& bytes)
{
    return bytes.size() >= 33 && bytes.compare(0, 8, kPngSignature, 8) == 0;
}

// Width and height from the IHDR chunk, which must come first.
void ExpectPngOfSize(const std::string& png, uint32_t width, uint32_t height)
{
    ASSERT_TRUE(IsPng(png));
    EXPECT_EQ(BigEndian32(png, 8), 13u);
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), width);
    EXPECT_EQ(BigEndian32(png, 20), height);
    // Complete, not cut short: the last chunk is IEND with its fixed CRC.
    ASSERT_GE(png.size(), 12u);
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconDirectoryEntry) == 14, "the resource layout of an icon group entry");

} // namespace

TEST(ExeVersion, FileAndProductVersionAre1_0_0_8)
{
    const std::wstring exe = UninstallExePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000008u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000008u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ExeVersion, ChineseUnicodeStringTableNamesTheOriginalFile)
{
    const std::wstring exe = UninstallExePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0804); // Chinese (Simplified, PRC)
    EXPECT_EQ(translation[1], 1200);   // UTF-16

    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Uninstall.exe");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.0.0.8");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.0.0.8");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Qelvo视频格式转换器");
}

TEST_F(ExeResources, IconGroupHasSevenSizesUpTo256)
{
    const std::string group = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(101));
    ASSERT_GE(group.size(), 6u);
    WORD header[3];
    std::memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(header[0], 0);
    EXPECT_EQ(header[1], 1); // icons, not cursors
    ASSERT_EQ(header[2], 7);
    ASSERT_EQ(group.size(), 6 + 7 * sizeof(IconDirectoryEntry));

    std::set<int> sizes;
    for (int i = 0; i < header[2]; ++i) {
        IconDirectoryEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
        const int size = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(entry.height == 0 ? 256 : entry.height, size);
        sizes.insert(size);

        // The image itself says the same size: a PNG (as 256-pixel images usually are) or a
        // DIB whose height counts the colour and the mask rows.
        SCOPED_TRACE(size);
        const std::string image = Bytes(RT_ICON, MAKEINTRESOURCEW(entry.id));
        ASSERT_EQ(image.size(), entry.bytesInResource);
        if (IsPng(image)) {
            EXPECT_EQ(BigEndian32(image, 16), static_cast<uint32_t>(size));
            EXPECT_EQ(BigEndian32(image, 20), static_cast<uint32_t>(size));
        } else {
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER dib;
            std::memcpy(&dib, image.data(), sizeof(dib));
            EXPECT_EQ(dib.biSize, sizeof(BITMAPINFOHEADER));
            EXPECT_EQ(dib.biWidth, size);
            EXPECT_EQ(dib.biHeight, 2 * size);
        }
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST_F(ExeResources, BannerIsA1040By520Png)
{
    ExpectPngOfSize(Bytes(RT_RCDATA, MAKEINTRESOURCEW(102)), 1040, 520);
}

TEST_F(ExeResources, LogoIsA280By48Png)
{
    ExpectPngOfSize(Bytes(RT_RCDATA, MAKEINTRESOURCEW(103)), 280, 48);
}

TEST_F(ExeResources, ManifestRunsAsInvoker)
{
    const std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("requestedExecutionLevel"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);
}

// Common Controls 6 gives the message boxes today's buttons, and "*" loads it on either
// machine; the program names its own machine, or Windows refuses to start it.
TEST_F(ExeResources, ManifestNamesItsMachineAndAsksForCommonControls6)
{
#if defined(_WIN64)
    const std::string machine = "amd64";
#else
    const std::string machine = "x86";
#endif
    const std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    const std::string own = "name=\"Zembrivox.Qelvo.Uninstall\" version=\"1.0.0.8\" processorArchitecture=\"" + machine;
    EXPECT_NE(manifest.find(own + "\"/>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("<dependentAssembly>\n      <assemblyIdentity type=\"win32\" "
                            "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
                            "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"),
              std::string::npos)
        << manifest;
}

// The copy runs from TEMP, alone: it must be a GUI program that needs no DLL of the MinGW
// runtime beside it, built for the machine of its build (the product is the 32-bit one;
// the 64-bit build exists to run the same tests where 32-bit code cannot run).
TEST(ExeImage, IsGuiForItsMachineWithoutMinGwRuntimeDlls)
{
#if defined(_WIN64)
    const WORD expectedMachine = IMAGE_FILE_MACHINE_AMD64;
    const WORD expectedMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
    const WORD expectedMachine = IMAGE_FILE_MACHINE_I386;
    const WORD expectedMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif
    std::string image;
    ASSERT_TRUE(ReadFileBytes(UninstallExePath(), image));
    ASSERT_GE(image.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof(dos));
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LE(static_cast<size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS), image.size());
    IMAGE_NT_HEADERS nt;
    std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof(nt));
    ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    ASSERT_EQ(nt.FileHeader.Machine, expectedMachine);
    ASSERT_EQ(nt.OptionalHeader.Magic, expectedMagic);
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const size_t sectionsAt = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader)
        + nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    ASSERT_LE(sectionsAt + sections.size() * sizeof(IMAGE_SECTION_HEADER), image.size());
    std::memcpy(sections.data(), image.data() + sectionsAt, sections.size() * sizeof(IMAGE_SECTION_HEADER));
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (const IMAGE_SECTION_HEADER& section : sections)
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        return 0;
    };

    const IMAGE_DATA_DIRECTORY& importDirectory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t at = fileOffset(importDirectory.VirtualAddress);
    ASSERT_NE(at, 0u);
    std::set<std::string> dlls;
    for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        ASSERT_LE(at + sizeof(IMAGE_IMPORT_DESCRIPTOR), image.size());
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, image.data() + at, sizeof(descriptor));
        if (descriptor.Name == 0)
            break;
        const size_t nameAt = fileOffset(descriptor.Name);
        ASSERT_NE(nameAt, 0u);
        std::string name = image.c_str() + nameAt;
        for (char& c : name)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        dlls.insert(name);
    }
    EXPECT_TRUE(dlls.count("kernel32.dll"));
    for (const std::string& dll : dlls) {
        EXPECT_NE(dll.compare(0, 6, "libgcc"), 0) << dll;
        EXPECT_NE(dll.compare(0, 9, "libstdc++"), 0) << dll;
        EXPECT_NE(dll.compare(0, 13, "libwinpthread"), 0) << dll;
    }
}

#include "app/CanonicalPath.h"

#include "app/PathUtils.h"

#include "base/UniqueHandle.h"

#include <windows.h>

namespace {

const wchar_t kLocalPrefix[] = L"\\\\?\\";
const wchar_t kUncPrefix[] = L"\\\\?\\UNC\\";

bool EqualIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring WithBackslashes(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

bool HasDevicePrefix(const std::wstring& path)
{
    return path.size() >= 4 && path[0] == L'\\' && path[1] == L'\\' && (path[2] == L'?' || path[2] == L'.')
        && path[3] == L'\\';
}

// "\\?\C:\x" and "\\.\C:\x" to "C:\x", "\\?\UNC\s\x" to "\\s\x" (backslashes only).
std::wstring WithoutDevicePrefix(const std::wstring& path)
{
    if (!HasDevicePrefix(path))
        return path;
    if (path.size() >= 8 && EqualIgnoringCase(path.c_str() + 4, 4, L"UNC\\", 4))
        return L"\\\\" + path.substr(8);
    return path.substr(4);
}

// "\\localhost\C$\x" names C:\x, but the final path of a handle keeps the share spelling,
// which no comparison with the drive spelling would match.
std::wstring WithLocalAdminShareAsDrive(const std::wstring& path)
{
    if (path.compare(0, 2, L"\\\\") != 0)
        return path;
    const size_t serverEnd = path.find(L'\\', 2);
    if (serverEnd == std::wstring::npos || serverEnd + 3 > path.size())
        return path;
    const size_t shareEnd = serverEnd + 3;
    if (!IsDriveLetter(path[serverEnd + 1]) || path[serverEnd + 2] != L'$'
        || (shareEnd < path.size() && path[shareEnd] != L'\\'))
        return path;
    const std::wstring server = path.substr(2, serverEnd - 2);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(computer, &size))
        computer[0] = L'\0';
    const bool local = EqualIgnoringCase(server.c_str(), -1, L"localhost", -1) || server == L"127.0.0.1"
        || (computer[0] && EqualIgnoringCase(server.c_str(), -1, computer, -1));
    if (!local)
        return path;
    return path.substr(serverEnd + 1, 1) + L":\\" + (shareEnd < path.size() ? path.substr(shareEnd + 1) : L"");
}

// "C:\…" or "\\server\share…" with backslashes and no device prefix.
bool IsAbsolutePlain(const std::wstring& path)
{
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\')
        return true;
    if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\' || path[2] == L'\\')
        return false;
    // A server name, a separator and a share name; "?" and "." would be device prefixes.
    const size_t share = path.find(L'\\', 2);
    if (share == std::wstring::npos || share + 1 >= path.size() || path[share + 1] == L'\\')
        return false;
    const std::wstring server = path.substr(2, share - 2);
    return server != L"?" && server != L".";
}

// The extended-length spelling of a normalised absolute path; a root keeps its separator,
// without which "\\?\C:" names the volume device rather than its root folder.
std::wstring ExtendedFromNormalized(const std::wstring& normalized)
{
    std::wstring extended = normalized.compare(0, 2, L"\\\\") == 0
        ? kUncPrefix + normalized.substr(2)
        : kLocalPrefix + normalized;
    if (IsVolumeRoot(normalized))
        extended += L'\\';
    return extended;
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The final path of an open handle without prefix or trailing separator; false when the
// system has none.
bool FinalPathOfHandle(HANDLE handle, std::wstring& finalPath)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, &buffer[0], static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return false;
        if (length < buffer.size()) {
            buffer.resize(length);
            finalPath = PlainFinalPath(buffer);
            return true;
        }
        buffer.assign(length, L'\0');
    }
}

// The final path of what normalized names, when it exists and can be opened.
bool FinalPathOf(const std::wstring& normalized, std::wstring& finalPath)
{
    const std::wstring extended = ExtendedFromNormalized(normalized);
    // Backup semantics let CreateFileW open a directory; no access right is needed to ask its name.
    const Base::UniqueFileHandle file(CreateFileW(extended.c_str(), 0,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return false;
    if (FinalPathOfHandle(file.get(), finalPath))
        return IsAbsolutePlain(finalPath + L'\\');
    // No final name (some network redirectors): the long form of the opened spelling.
    const DWORD length = GetLongPathNameW(extended.c_str(), nullptr, 0);
    if (length == 0)
        return false;
    std::wstring buffer(length, L'\0');
    if (GetLongPathNameW(extended.c_str(), &buffer[0], length) + 1 != length)
        return false;
    buffer.resize(length - 1);
    finalPath = PlainFinalPath(buffer);
    return true;
}

std::wstring Resolve(const std::wstring& normalized)
{
    std::wstring finalPath;
    if (FinalPathOf(normalized, finalPath))
        return finalPath;
    const size_t separator = normalized.find_last_of(L'\\');
    if (IsVolumeRoot(normalized) || separator == std::wstring::npos)
        return normalized;
    // What does not exist (yet) is spelled below the canonical form of what does.
    return JoinPath(Resolve(normalized.substr(0, separator)), normalized.substr(separator + 1));
}

} // namespace

bool IsAbsolutePathSpelling(const std::wstring& path)
{
    return IsAbsolutePlain(WithoutDevicePrefix(WithBackslashes(path)));
}

std::wstring PlainFinalPath(const std::wstring& finalName)
{
    // A handle opened through the machine's own administrative share keeps that road in its
    // final name (VOLUME_NAME_DOS gives "\\?\UNC\localhost\C$\…"): it names C:\… all the same.
    return WithoutTrailingSeparators(WithLocalAdminShareAsDrive(WithoutDevicePrefix(finalName)));
}

std::wstring CanonicalPath(const std::wstring& path)
{
    const std::wstring plain = WithLocalAdminShareAsDrive(WithoutDevicePrefix(WithBackslashes(path)));
    if (!IsAbsolutePlain(plain))
        return {};
    return Resolve(NormalizeDirectory(plain));
}

std::wstring CanonicalPathOfHandle(HANDLE handle)
{
    std::wstring finalPath;
    return FinalPathOfHandle(handle, finalPath) && IsAbsolutePlain(finalPath + L'\\') ? finalPath : L"";
}

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (HasDevicePrefix(path))
        return path;
    const std::wstring normalized = NormalizeDirectory(path);
    if (!IsAbsolutePlain(normalized + L'\\'))
        return path;
    return ExtendedFromNormalized(normalized);
}

std::wstring NormalizeDirectory(const std::wstring& dir)
{
    std::wstring path = WithBackslashes(dir);
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed > 0) {
        std::wstring full(needed, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
        if (length > 0 && length < needed) {
            full.resize(length);
            path = full;
        }
    }
    return WithoutTrailingSeparators(path);
}

bool SamePathText(const std::wstring& a, const std::wstring& b)
{
    return EqualIgnoringCase(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()));
}

bool IsSameOrAncestorOf(const std::wstring& path, const std::wstring& folder)
{
    if (path.empty() || folder.size() < path.size())
        return false;
    const int pathLength = static_cast<int>(path.size());
    if (!EqualIgnoringCase(path.c_str(), pathLength, folder.c_str(), pathLength))
        return false;
    return folder.size() == path.size() || folder[path.size()] == L'\\';
}

bool IsVolumeRoot(const std::wstring& normalized)
{
    if (normalized.size() <= 2)
        return true; // "", "C:" or a lone character
    if (normalized.compare(0, 2, L"\\\\") == 0) {
        // \\server\share, \\?\C:, \\?\UNC\server\share: at most a share below the prefix.
        std::wstring rest = normalized.substr(2);
        size_t parts = 0;
        size_t start = 0;
        while (start <= rest.size()) {
            const size_t end = rest.find(L'\\', start);
            const std::wstring part = rest.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            // \\?\C: is the root of drive C:, and every folder below it is a folder, not a share.
            if (part.size() == 2 && part[1] == L':')
                return end == std::wstring::npos;
            if (!part.empty() && part != L"?" && part != L"." && !EqualIgnoringCase(part.c_str(), -1, L"UNC", -1))
                ++parts;
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        return parts <= 2;
    }
    return false;
}

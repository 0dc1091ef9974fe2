#pragma once
#include <windows.h>

#include <string>

// True for a drive path ("C:\…") or a UNC path ("\\server\share…"), also behind a "\\?\"
// or "\\.\" prefix; relative, drive-relative ("D:dir") and rooted ("\dir") paths are not.
bool IsAbsolutePathSpelling(const std::wstring& path);

// The one spelling of an absolute path that every check and the removal use: full path,
// backslashes, long names, and for what exists the final path of an open handle, so that
// links and junctions resolve to what they name. No "\\?\" prefix, no trailing separator
// ("C:" for a drive root). Empty when path is not absolute.
std::wstring CanonicalPath(const std::wstring& path);

// A handle's final name (GetFinalPathNameByHandleW) in the same plain spelling: no "\\?\"
// or "\\?\UNC\" prefix, the machine's own "\\localhost\C$\…" as "C:\…", no trailing separator.
std::wstring PlainFinalPath(const std::wstring& finalName);

// The same form for what an open handle stands for: its final path; empty when the system
// cannot name it (some network redirectors).
std::wstring CanonicalPathOfHandle(HANDLE handle);

// path as "\\?\C:\…" or "\\?\UNC\server\share\…", which the file functions take beyond
// MAX_PATH; other spellings are made full first. Unchanged when it has a prefix already.
std::wstring ExtendedLengthPath(const std::wstring& path);

// Full path with backslashes and no trailing separator ("C:" for a drive root); spelling only.
std::wstring NormalizeDirectory(const std::wstring& dir);
// True when path equals folder or contains it; both normalised, compared ignoring case.
bool IsSameOrAncestorOf(const std::wstring& path, const std::wstring& folder);
// True for "C:", "\\server\share" and similar roots of a volume (normalised input).
bool IsVolumeRoot(const std::wstring& normalized);
// Whether two normalised paths are the same text, ignoring case.
bool SamePathText(const std::wstring& a, const std::wstring& b);

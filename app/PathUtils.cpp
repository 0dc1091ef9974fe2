#include "app/PathUtils.h"

#include <windows.h>

std::wstring GetModulePath()
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

std::wstring DirectoryOfPath(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    if (path.empty() || separator == std::wstring::npos)
        return L".";
    return path.substr(0, separator);
}

std::wstring GetModuleDirectory()
{
    return DirectoryOfPath(GetModulePath());
}

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name)
{
    if (dir.empty())
        return name;
    const wchar_t last = dir.back();
    if (last == L'\\' || last == L'/')
        return dir + name;
    return dir + L'\\' + name;
}

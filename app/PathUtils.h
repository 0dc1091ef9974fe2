#pragma once
#include <string>

// Full path of the running executable; empty when the system cannot tell.
std::wstring GetModulePath();
// Directory part of GetModulePath() without the trailing separator, or ".".
std::wstring GetModuleDirectory();
// Directory part of any path, by the rule of GetModuleDirectory.
std::wstring DirectoryOfPath(const std::wstring& path);
// dir and name joined by exactly one separator; an empty dir yields name.
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name);

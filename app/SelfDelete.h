#pragma once
#include <windows.h>

#include <string>

// How many times the script tries to delete the executable (about a second apart)
// before it gives up and only removes itself.
inline constexpr int kSelfDeleteAttempts = 60;

// The batch text that deletes ansiTarget once it is unlocked, then the script itself.
std::string BuildSelfDeleteScript(const std::string& ansiTarget);
// cmd.exe /c ""<script>"": the outer quotes keep the quotes around the script path.
std::wstring BuildSelfDeleteCommandLine(const std::wstring& scriptPath);
// text in codePage (CP_ACP: the system's ANSI code page); false when a character would be
// substituted or best-fitted, which would spell another name.
bool ToCodePage(const std::wstring& text, UINT codePage, std::string& bytes);
// The target path as the script may name it in codePage: the path itself, its short form
// when the path has characters the code page lacks, or false when neither can be written
// without naming another file.
bool ToScriptPath(const std::wstring& target, std::string& ansiTarget, UINT codePage = CP_ACP);

// Writes the script next to the running copy and starts it hidden; never waits.
void ScheduleSelfDelete(const std::wstring& target);

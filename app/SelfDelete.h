#pragma once
#include <string>

// How many times the script tries to delete the executable (about a second apart)
// before it gives up and only removes itself.
inline constexpr int kSelfDeleteAttempts = 60;

// The batch text that deletes the file named by its first argument once it is unlocked,
// waiting with the ping.exe of the folder named by its second, then deletes itself. Plain
// ASCII without any path, so neither the code page cmd.exe reads it in nor a "%", "^", "&",
// "!" or parenthesis in a path can change what it does.
std::string BuildSelfDeleteScript();
// "<cmdPath>" /d /c "".\<script>" "<target>" "<systemDir>"": the outer quotes keep the quotes
// around the arguments, /d skips the AutoRun commands of the registry.
std::wstring BuildSelfDeleteCommandLine(const std::wstring& cmdPath, const std::wstring& scriptName,
                                        const std::wstring& targetName, const std::wstring& systemDir);
// Whether path is a copy the relaunch made: a file named zmx….exe directly in the
// temporary directory. Only such a copy ever deletes itself.
bool IsTemporaryCopy(const std::wstring& path);

// When target is the temporary copy: writes the script beside it and starts it hidden
// with the temporary directory as its working directory; never waits.
void ScheduleSelfDelete(const std::wstring& target);

#pragma once
#include <string>

struct CommandLineRequest {
    bool uiModeRequested = false;
    std::wstring installDir; // empty unless "/run" and a directory were given
};

// Reads "/run <dir>" from a full command line (program name first).
CommandLineRequest ParseCommandLine(const wchar_t* commandLine);

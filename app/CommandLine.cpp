#include "app/CommandLine.h"

#include "app/ProductInfo.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

CommandLineRequest ParseCommandLine(const wchar_t* commandLine)
{
    CommandLineRequest request;
    int count = 0;
    LPWSTR* args = commandLine ? CommandLineToArgvW(commandLine, &count) : nullptr;
    if (!args)
        count = 0;
    // Ordinal and case-sensitive: "/RUN" is not the switch.
    if (count >= 3 && wcscmp(args[1], kRunSwitch) == 0) {
        request.uiModeRequested = true;
        request.installDir = args[2];
    }
    if (args)
        LocalFree(args);
    return request;
}

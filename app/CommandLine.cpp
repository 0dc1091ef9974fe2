#include "app/CommandLine.h"

#include "app/ProductInfo.h"

#include "base/UniqueHandle.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

CommandLineRequest ParseCommandLine(const wchar_t* commandLine)
{
    CommandLineRequest request;
    int count = 0;
    const Base::UniqueArgumentArray args(commandLine ? CommandLineToArgvW(commandLine, &count) : nullptr);
    if (!args)
        count = 0;
    // Ordinal and case-sensitive: "/RUN" is not the switch.
    if (count >= 3 && wcscmp(args.get()[1], kRunSwitch) == 0) {
        request.uiModeRequested = true;
        request.installDir = args.get()[2];
    }
    return request;
}

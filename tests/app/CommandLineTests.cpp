#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

// Each command line and what it asks for: the window for a directory, or the relaunch.
TEST(CommandLine, EachSpellingAsksForWhatItShould)
{
    const struct {
        const wchar_t* line;
        bool uiModeRequested;
        std::wstring installDir;
        const char* why;
    } cases[] = {
        {L"\"C:\\Program Files\\Qelvo\\Uninstall.exe\"", false, L"", "no arguments: relaunch"},
        {L"Uninstall.exe /run", false, L"", "the switch without a directory: relaunch"},
        {L"Uninstall.exe /RUN \"C:\\Qelvo\"", false, L"", "the switch is case-sensitive"},
        {L"Uninstall.exe /Run \"C:\\Qelvo\"", false, L"", "the switch is case-sensitive"},
        {L"Uninstall.exe -run \"C:\\Qelvo\"", false, L"", "the switch is case-sensitive"},
        {L"Uninstall.exe /run: \"C:\\Qelvo\"", false, L"", "the switch is case-sensitive"},
        {L"Uninstall.exe \"C:\\Qelvo\" /run \"C:\\Qelvo\"", false, L"", "the switch must be the first argument"},
        {L"\"C:\\Users\\A B\\AppData\\Local\\Temp\\zmx1A2B.tmp.exe\" /run \"C:\\Program Files\\Qelvo 视频\"", true,
         L"C:\\Program Files\\Qelvo 视频", "a quoted directory with blanks is taken without quotes"},
        {L"zmx1.tmp.exe /run C:\\Program Files\\Qelvo", true, L"C:\\Program",
         "an unquoted directory stops at the first blank"},
        {L"zmx1.tmp.exe /run \"C:\\Qelvo Dir\" extra \"more args\" /run", true, L"C:\\Qelvo Dir",
         "further arguments are ignored"},
        // Trailing separators, forward slashes and blanks between arguments are not touched.
        {L"zmx.exe    /run     \"C:/Qelvo/\"   ", true, L"C:/Qelvo/", "the directory is taken verbatim"},
        // Three elements: the request stands; the directory check rejects the empty string later.
        {L"zmx.exe /run \"\"", true, L"", "an empty quoted directory is still the window's request"},
        {L"", false, L"", "an empty command line: relaunch"},
    };
    for (const auto& row : cases) {
        const CommandLineRequest request = ParseCommandLine(row.line);
        EXPECT_EQ(request.uiModeRequested, row.uiModeRequested) << row.why;
        EXPECT_EQ(request.installDir, row.installDir) << row.why;
    }
    EXPECT_FALSE(ParseCommandLine(nullptr).uiModeRequested) << "no command line at all: relaunch";
}

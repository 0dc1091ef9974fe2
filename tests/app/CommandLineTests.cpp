#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, NoArgumentsMeansRelaunch)
{
    const CommandLineRequest request = ParseCommandLine(L"\"C:\\Program Files\\Qelvo\\Uninstall.exe\"");
    EXPECT_FALSE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"");
}

TEST(CommandLine, SwitchWithoutDirectoryMeansRelaunch)
{
    const CommandLineRequest request = ParseCommandLine(L"Uninstall.exe /run");
    EXPECT_FALSE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"");
}

TEST(CommandLine, SwitchIsCaseSensitive)
{
    for (const wchar_t* line : {L"Uninstall.exe /RUN \"C:\\Qelvo\"", L"Uninstall.exe /Run \"C:\\Qelvo\"",
                                L"Uninstall.exe -run \"C:\\Qelvo\"", L"Uninstall.exe /run: \"C:\\Qelvo\""}) {
        const CommandLineRequest request = ParseCommandLine(line);
        EXPECT_FALSE(request.uiModeRequested) << line;
        EXPECT_EQ(request.installDir, L"") << line;
    }
}

TEST(CommandLine, SwitchMustBeTheFirstArgument)
{
    const CommandLineRequest request = ParseCommandLine(L"Uninstall.exe \"C:\\Qelvo\" /run \"C:\\Qelvo\"");
    EXPECT_FALSE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"");
}

TEST(CommandLine, QuotedDirectoryWithBlanksIsTakenWithoutQuotes)
{
    const CommandLineRequest request =
        ParseCommandLine(L"\"C:\\Users\\A B\\AppData\\Local\\Temp\\zmx1A2B.tmp.exe\" /run \"C:\\Program Files\\Qelvo 视频\"");
    EXPECT_TRUE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"C:\\Program Files\\Qelvo 视频");
}

TEST(CommandLine, UnquotedDirectoryStopsAtTheFirstBlank)
{
    const CommandLineRequest request = ParseCommandLine(L"zmx1.tmp.exe /run C:\\Program Files\\Qelvo");
    EXPECT_TRUE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"C:\\Program");
}

TEST(CommandLine, FurtherArgumentsAreIgnored)
{
    const CommandLineRequest request = ParseCommandLine(L"zmx1.tmp.exe /run \"C:\\Qelvo Dir\" extra \"more args\" /run");
    EXPECT_TRUE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"C:\\Qelvo Dir");
}

TEST(CommandLine, DirectoryIsTakenVerbatim)
{
    // Trailing separators, forward slashes and blanks between arguments are not touched.
    const CommandLineRequest request = ParseCommandLine(L"zmx.exe    /run     \"C:/Qelvo/\"   ");
    EXPECT_TRUE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"C:/Qelvo/");
}

TEST(CommandLine, EmptyQuotedDirectoryIsStillTheUiRequest)
{
    // Three elements: the request stands; the directory check rejects the empty string later.
    const CommandLineRequest request = ParseCommandLine(L"zmx.exe /run \"\"");
    EXPECT_TRUE(request.uiModeRequested);
    EXPECT_EQ(request.installDir, L"");
}

TEST(CommandLine, EmptyOrMissingCommandLineMeansRelaunch)
{
    EXPECT_FALSE(ParseCommandLine(L"").uiModeRequested);
    EXPECT_FALSE(ParseCommandLine(nullptr).uiModeRequested);
}

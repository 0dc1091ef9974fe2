#include "images/IconTestSupport.h"
#include "ui/framework/images/NamedIcons.h"

#include <gtest/gtest.h>

#include <vector>

using namespace UIE;
using icontest::ResourceLookupCounter;

namespace {

// True when icon draws the same 16 × 16 picture as the SVG resource id.
bool DrawsResource(CUiSvgIcon& icon, int id)
{
    CUiSvgIcon direct;
    if (!direct.LoadFromResource(GetResourceModule(), id))
        return false;
    Gdiplus::Bitmap* expected = direct.Rasterize(16, 16, -1);
    Gdiplus::Bitmap* actual = icon.Rasterize(16, 16, -1);
    return expected && actual && icontest::ReadPixels(*actual).pixels == icontest::ReadPixels(*expected).pixels;
}

} // namespace

// The name map lives as long as the test program, so each table name is requested by one
// test only, and only that test sees its first request.

TEST(NamedIcon, ResourceModuleIsTheProgramHoldingTheCode)
{
    EXPECT_EQ(GetResourceModule(), GetModuleHandleW(nullptr));
}

TEST(NamedIcon, TableNameGivesItsResourceIconForTheWholeProcess)
{
    CUiSvgIcon* icon = GetNamedIcon(L"arrow_down");
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(DrawsResource(*icon, 101));
    EXPECT_FALSE(DrawsResource(*icon, 106));
    EXPECT_NE(icon->Rasterize(16, 16, 0x333333), nullptr);
    ResourceLookupCounter lookups;
    EXPECT_EQ(GetNamedIcon(L"arrow_down"), icon);
    EXPECT_EQ(lookups.Count(), 0);
}

TEST(NamedIcon, EmptyUnknownAndWrongCaseNamesGiveNoneWithoutLookingAnythingUp)
{
    ResourceLookupCounter lookups;
    for (const wchar_t* name : {L"", L"settings", L"Gear", L"CHROME_MIN", L"gear "})
        EXPECT_EQ(GetNamedIcon(name), nullptr) << name;
    EXPECT_EQ(lookups.Count(), 0);
}

TEST(NamedIcon, MissingResourceIsLookedForOnlyOnce)
{
    ResourceLookupCounter lookups;
    EXPECT_EQ(GetNamedIcon(L"chrome_max"), nullptr);
    EXPECT_EQ(lookups.Count(), 1);
    EXPECT_EQ(GetNamedIcon(L"chrome_max"), nullptr);
    EXPECT_EQ(lookups.Count(), 1);
}

TEST(NamedIcon, PngResourceGivesAnIconWithoutRasters)
{
    CUiSvgIcon* icon = GetNamedIcon(L"chrome_close");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Rasterize(16, 16, -1), nullptr);
}

TEST(NamedIcon, ProviderIsAskedFirstAndFallsBackToTheTable)
{
    CUiSvgIcon own;
    std::vector<std::wstring> asked;
    IconProvider = [&](const std::wstring& name) -> CUiSvgIcon* {
        asked.push_back(name);
        return name == L"gear" || name == L"custom" ? &own : nullptr;
    };
    ResourceLookupCounter lookups;
    CUiSvgIcon* gear = GetNamedIcon(L"gear");
    CUiSvgIcon* custom = GetNamedIcon(L"custom");
    const int lookupsForProvided = lookups.Count();
    CUiSvgIcon* fromTable = GetNamedIcon(L"chrome_min");
    CUiSvgIcon* empty = GetNamedIcon(L"");
    IconProvider = nullptr;

    EXPECT_EQ(gear, &own);
    EXPECT_EQ(custom, &own);
    EXPECT_EQ(lookupsForProvided, 0);
    ASSERT_NE(fromTable, nullptr);
    EXPECT_TRUE(DrawsResource(*fromTable, 106));
    EXPECT_EQ(empty, nullptr);
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"gear", L"custom", L"chrome_min"}));
}

#include "images/IconTestSupport.h"
#include "ui/framework/images/NamedIcons.h"
#include "ui/framework/images/SvgIcon.h"

#include <gtest/gtest.h>

using namespace UIE;

namespace {

// fill-opacity 0.502 comes out of NanoSVG as alpha 0x80 on every pixel.
const char* const opaqueSquare =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24"><rect width="24" height="24" fill="#ff8040"/></svg>)";
const char* const halfAlphaSquare = R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24">)"
                                    R"(<rect width="24" height="24" fill="#ff0000" fill-opacity="0.502"/></svg>)";

} // namespace

TEST(SvgIcon, ResourceWithSvgParsesIntoItsPicture)
{
    CUiSvgIcon icon;
    EXPECT_TRUE(icon.LoadFromResource(GetResourceModule(), 109));
    EXPECT_TRUE(icon.HasImage());
    // Resource 109 is the orange 12 × 12 corner of a 24 × 24 icon.
    Gdiplus::Bitmap* bitmap = icon.Rasterize(24, 24, -1);
    ASSERT_NE(bitmap, nullptr);
    const icontest::PixelGrid grid = icontest::ReadPixels(*bitmap);
    EXPECT_TRUE(grid.All(0, 0, 12, 12, 0xFFFF8040));
    EXPECT_TRUE(grid.All(12, 0, 24, 24, 0));
}

TEST(SvgIcon, MissingResourceLeavesTheIconUnchanged)
{
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.Parse(opaqueSquare));
    EXPECT_FALSE(icon.LoadFromResource(GetResourceModule(), 104));
    Gdiplus::Bitmap* bitmap = icon.Rasterize(8, 8, -1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(icontest::ReadPixels(*bitmap).All(0, 0, 8, 8, 0xFFFF8040)) << "still the parsed square";
}

TEST(SvgIcon, PngResourceParsesIntoAnImageWithoutRasters)
{
    CUiSvgIcon icon;
    EXPECT_TRUE(icon.LoadFromResource(GetResourceModule(), 103));
    EXPECT_EQ(icon.Rasterize(16, 16, -1), nullptr);
    EXPECT_TRUE(icon.Rasters().empty());
}

TEST(SvgIcon, EmptyTextDropsTheEarlierImage)
{
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.Parse(opaqueSquare));
    EXPECT_FALSE(icon.Parse(""));
    EXPECT_FALSE(icon.HasImage());
    EXPECT_EQ(icon.Rasterize(16, 16, -1), nullptr);
}

TEST(SvgIconRaster, EachSizeAndColourHasItsOwnRaster)
{
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.LoadFromResource(GetResourceModule(), 106));
    Gdiplus::Bitmap* tinted = icon.Rasterize(16, 16, 0x999999);
    Gdiplus::Bitmap* larger = icon.Rasterize(20, 20, -1);
    // The same tint with a top byte is still another colour value.
    Gdiplus::Bitmap* flagged = icon.Rasterize(16, 16, static_cast<int32_t>(0x7F999999));
    ASSERT_NE(tinted, nullptr);
    ASSERT_NE(larger, nullptr);
    ASSERT_NE(flagged, nullptr);
    EXPECT_NE(tinted, larger);
    EXPECT_NE(tinted, flagged);
    EXPECT_NE(larger, flagged);
    EXPECT_EQ(larger->GetWidth(), 20u);
    EXPECT_EQ(icon.Rasterize(16, 16, 0x999999), tinted);
    EXPECT_EQ(icon.Rasterize(20, 20, -1), larger);
    EXPECT_EQ(icon.Rasterize(16, 16, static_cast<int32_t>(0x7F999999)), flagged);
    EXPECT_EQ(icon.Rasters().size(), 3u);
}

TEST(SvgIconRaster, ColoursArePremultipliedByCoverage)
{
    struct Case {
        const char* svg;
        int32_t colour;
        uint32_t argb; // memory order blue, green, red, alpha
    };
    const Case cases[] = {
        {opaqueSquare, 0x999999, 0xFF999999},
        {halfAlphaSquare, 0x999999, 0x804C4C4C}, // 0x99 × 0x80 / 255, rounded down
        {halfAlphaSquare, static_cast<int32_t>(0x7F999999), 0x804C4C4C},
        {opaqueSquare, -1, 0xFFFF8040},
        {halfAlphaSquare, -1, 0x80800000},
    };
    for (const Case& c : cases) {
        CUiSvgIcon icon;
        ASSERT_TRUE(icon.Parse(c.svg));
        Gdiplus::Bitmap* bitmap = icon.Rasterize(16, 16, c.colour);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppPARGB);
        const icontest::PixelGrid grid = icontest::ReadPixels(*bitmap);
        ASSERT_EQ(grid.pixels.size(), 16u * 16u);
        EXPECT_TRUE(grid.All(0, 0, 16, 16, c.argb)) << std::hex << c.colour << " " << grid.At(0, 0);
    }
}

TEST(SvgIconRaster, IconKeepsItsAspectAtTheTopLeftOfTheBox)
{
    // The 12 × 12 corner of a 24 × 24 icon covers 8 × 8 pixels in each box; NanoSVG spreads
    // edge colours into transparent neighbours, which premultiplying must clear.
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.LoadFromResource(GetResourceModule(), 109));
    for (auto [width, height] : {std::pair{16, 16}, {32, 16}, {16, 32}}) {
        Gdiplus::Bitmap* bitmap = icon.Rasterize(width, height, -1);
        ASSERT_NE(bitmap, nullptr);
        const icontest::PixelGrid grid = icontest::ReadPixels(*bitmap);
        EXPECT_TRUE(grid.All(0, 0, 8, 8, 0xFFFF8040)) << width << "x" << height;
        EXPECT_TRUE(grid.All(8, 0, width, height, 0)) << width << "x" << height;
        EXPECT_TRUE(grid.All(0, 8, 8, height, 0)) << width << "x" << height;
    }
}

TEST(SvgIconRaster, EmptyBoxGivesNoneAndStoresNothing)
{
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.Parse(opaqueSquare));
    EXPECT_EQ(icon.Rasterize(0, 16, -1), nullptr);
    EXPECT_EQ(icon.Rasterize(16, 0, 0x999999), nullptr);
    EXPECT_TRUE(icon.Rasters().empty());
}

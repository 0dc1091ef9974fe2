#include "images/IconTestSupport.h"
#include "ui/framework/images/SvgIcon.h"

#include <gtest/gtest.h>

using namespace UIE;

namespace {

const char* const square =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24"><rect width="24" height="24" fill="#000"/></svg>)";

// The raster of size × size pixels, or null.
Gdiplus::Bitmap* RasterOfSize(const CUiSvgIcon& icon, int size)
{
    for (const auto& entry : icon.Rasters())
        if (entry.second.bitmap && entry.second.bitmap->GetWidth() == static_cast<UINT>(size))
            return entry.second.bitmap.get();
    return nullptr;
}

// Sizes 10 to 41: two-digit sizes, so key order is size order.
void FillCache(CUiSvgIcon& icon)
{
    ASSERT_TRUE(icon.Parse(square));
    for (int size = 10; size < 10 + static_cast<int>(CUiSvgIcon::MaxRasters); ++size)
        ASSERT_NE(icon.Rasterize(size, size, -1), nullptr);
}

} // namespace

TEST(SvgIconCache, HitReturnsTheSameBitmapAndOtherColoursGetTheirOwn)
{
    CUiSvgIcon icon;
    ASSERT_TRUE(icon.Parse(square));
    Gdiplus::Bitmap* tinted = icon.Rasterize(16, 16, 0x999999);
    ASSERT_NE(tinted, nullptr);
    EXPECT_EQ(icon.Rasterize(16, 16, 0x999999), tinted);
    Gdiplus::Bitmap* own = icon.Rasterize(16, 16, -1);
    EXPECT_NE(own, nullptr);
    EXPECT_NE(own, tinted);
    EXPECT_EQ(icon.Rasters().size(), 2u);
}

TEST(SvgIconCache, FullCacheEvictsTheLeastRecentlyUsed)
{
    CUiSvgIcon icon;
    FillCache(icon);
    Gdiplus::Bitmap* first = RasterOfSize(icon, 10);
    ASSERT_NE(first, nullptr);
    // Filled in key order and 10 refreshed a tick later: 11 holds the oldest time, alone
    // or tied with later keys, however the clock moved during the fill.
    icontest::WaitForNextTick();
    EXPECT_EQ(icon.Rasterize(10, 10, -1), first);

    ASSERT_NE(icon.Rasterize(42, 42, -1), nullptr);
    EXPECT_EQ(icon.Rasters().size(), CUiSvgIcon::MaxRasters);
    EXPECT_EQ(RasterOfSize(icon, 11), nullptr);
    EXPECT_NE(RasterOfSize(icon, 42), nullptr);
    EXPECT_EQ(icon.Rasterize(10, 10, -1), first);
}

TEST(SvgIconCache, EqualLastUseEvictsTheFirstKey)
{
    CUiSvgIcon icon;
    FillCache(icon);
    // Hit every raster within one tick, last key first, so only key order can decide.
    bool sameTick = false;
    for (int attempt = 0; attempt < 100 && !sameTick; ++attempt) {
        icontest::WaitForNextTick();
        const DWORD start = GetTickCount();
        for (int size = 41; size >= 10; --size)
            icon.Rasterize(size, size, -1);
        sameTick = GetTickCount() == start;
    }
    ASSERT_TRUE(sameTick);

    ASSERT_NE(icon.Rasterize(42, 42, -1), nullptr);
    EXPECT_EQ(icon.Rasters().size(), CUiSvgIcon::MaxRasters);
    EXPECT_EQ(RasterOfSize(icon, 10), nullptr);
    EXPECT_NE(RasterOfSize(icon, 41), nullptr);
}

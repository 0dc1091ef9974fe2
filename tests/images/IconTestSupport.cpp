#include "images/IconTestSupport.h"

#include "helpers/ImportSlot.h"
#include "ui/framework/base/GdiplusSession.h"

#include <gtest/gtest.h>

#include <memory>

namespace icontest {

namespace {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        gdiplus = std::make_unique<UIE::CGdiplusSession>();
        ASSERT_TRUE(gdiplus->Started());
    }
    void TearDown() override { gdiplus.reset(); }

private:
    std::unique_ptr<UIE::CGdiplusSession> gdiplus;
};

::testing::Environment* const gdiplusEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

using FindResourceFunction = HRSRC(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR);

int lookupCount = 0;
FindResourceFunction realFindResource = nullptr;

HRSRC WINAPI CountingFindResource(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    ++lookupCount;
    return realFindResource(module, name, type);
}

} // namespace

// The import slot that every call of FindResourceW in this statically linked program goes through.
extern "C" FindResourceFunction findResourceSlot __asm__(ZMX_IMPORT_SLOT(FindResourceW, 12));

bool PixelGrid::All(int x0, int y0, int x1, int y1, uint32_t value) const
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (At(x, y) != value)
                return false;
        }
    }
    return true;
}

PixelGrid ReadPixels(Gdiplus::Bitmap& bitmap)
{
    PixelGrid grid;
    grid.width = static_cast<int>(bitmap.GetWidth());
    grid.height = static_cast<int>(bitmap.GetHeight());
    Gdiplus::Rect whole(0, 0, grid.width, grid.height);
    Gdiplus::BitmapData data{};
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return grid;
    for (int y = 0; y < grid.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(data.Scan0) +
                                                            static_cast<ptrdiff_t>(y) * data.Stride);
        grid.pixels.insert(grid.pixels.end(), row, row + grid.width);
    }
    bitmap.UnlockBits(&data);
    return grid;
}

void WaitForNextTick()
{
    const DWORD start = GetTickCount();
    for (int i = 0; i < 10000 && GetTickCount() == start; ++i)
        Sleep(1);
}

namespace {

void WriteSlot(FindResourceFunction function)
{
    DWORD protection = 0;
    VirtualProtect(&findResourceSlot, sizeof(findResourceSlot), PAGE_READWRITE, &protection);
    findResourceSlot = function;
    VirtualProtect(&findResourceSlot, sizeof(findResourceSlot), protection, &protection);
}

} // namespace

ResourceLookupCounter::ResourceLookupCounter()
{
    lookupCount = 0;
    realFindResource = findResourceSlot;
    WriteSlot(CountingFindResource);
}

ResourceLookupCounter::~ResourceLookupCounter()
{
    WriteSlot(realFindResource);
}

int ResourceLookupCounter::Count() const
{
    return lookupCount;
}

} // namespace icontest

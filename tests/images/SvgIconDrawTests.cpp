#include "helpers/Canvas.h"
#include "images/IconTestSupport.h"
#include "ui/framework/drawing/Primitives.h"
#include "ui/framework/images/SvgIcon.h"

#include <gtest/gtest.h>

using namespace UIE;

namespace {

constexpr uint32_t white = 0xFFFFFF;

class SvgIconDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(icon.Parse(R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24">)"
                               R"(<rect width="24" height="24" fill="#ff8040"/></svg>)"));
        context.Reset(canvas.Dc(), 40, 40);
    }

    // True when exactly the box (x, y, size, size) holds rgb and the pixels around it are untouched.
    bool DrawnExactlyAt(int x, int y, int size, uint32_t rgb) const
    {
        for (int py = y - 1; py <= y + size; ++py) {
            for (int px = x - 1; px <= x + size; ++px) {
                const bool inside = px >= x && px < x + size && py >= y && py < y + size;
                if (canvas.At(px, py) != (inside ? rgb : white))
                    return false;
            }
        }
        return true;
    }

    zmxtest::Canvas canvas{40, 40, white};
    CUiPaintContext context;
    CUiSvgIcon icon;
};

} // namespace

TEST_F(SvgIconDraw, CopiesPixelForPixelAndLeavesNoGraphics)
{
    icon.Draw(context, 4, 6, 16, 16, 0x999999);
    EXPECT_EQ(context.graphics, nullptr);
    EXPECT_TRUE(DrawnExactlyAt(4, 6, 16, 0x999999));
}

TEST_F(SvgIconDraw, KeepsAGraphicsObjectThatWasThere)
{
    Gdiplus::Graphics* graphics = GetGraphics(context);
    icon.Draw(context, 4, 4, 16, 16, -1);
    ASSERT_EQ(context.graphics.get(), graphics);
    graphics->Flush(Gdiplus::FlushIntentionSync);
    EXPECT_TRUE(DrawnExactlyAt(4, 4, 16, 0xFF8040));
    ReleaseGraphics(context);
}

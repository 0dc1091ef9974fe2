// The window's parts on their own: the back buffer, the ancestor
// walk and the input state driven by plain calls, without a window.
#include "window/WindowTestSupport.h"

#include "ui/framework/window/BackBuffer.h"
#include "ui/framework/window/InputDispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using windowtest::EventLog;
using windowtest::Place;
using windowtest::RecordingControl;

namespace {

bool IsLiveGdiObject(HGDIOBJ object)
{
    return GetObjectType(object) != 0;
}

class BackBuffer : public ::testing::Test {
protected:
    void SetUp() override { screen = GetDC(nullptr); }
    void TearDown() override { ReleaseDC(nullptr, screen); }
    HDC screen = nullptr;
    UIE::CBackBuffer buffer;
};

TEST_F(BackBuffer, KeptForTheSameSizeAndRemadeForANewOne)
{
    ASSERT_TRUE(buffer.Ensure(screen, 200, 100));
    const HDC dc = buffer.Dc();
    const HBITMAP bitmap = buffer.Bitmap();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    ASSERT_TRUE(buffer.Ensure(screen, 200, 100));
    EXPECT_EQ(buffer.Dc(), dc);
    EXPECT_EQ(buffer.Bitmap(), bitmap);

    ASSERT_TRUE(buffer.Ensure(screen, 300, 150));
    EXPECT_EQ(buffer.Width(), 300);
    EXPECT_EQ(buffer.Height(), 150);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(buffer.Bitmap(), sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 300);
    EXPECT_FALSE(IsLiveGdiObject(bitmap)) << "the old bitmap was deselected and freed";
}

TEST_F(BackBuffer, ReleaseFreesTheBitmapItHadSelected)
{
    ASSERT_TRUE(buffer.Ensure(screen, 40, 30));
    const HBITMAP bitmap = buffer.Bitmap();
    const HDC dc = buffer.Dc();
    buffer.Release();
    EXPECT_FALSE(IsLiveGdiObject(bitmap));
    EXPECT_FALSE(IsLiveGdiObject(dc));
    EXPECT_EQ(buffer.Dc(), nullptr);
    EXPECT_EQ(buffer.Width(), 0);
    EXPECT_EQ(buffer.Height(), 0);
}

TEST_F(BackBuffer, RefusedBitmapLeavesItEmptyAndUsableAgain)
{
    ASSERT_TRUE(buffer.Ensure(screen, 40, 30));
    EXPECT_FALSE(buffer.Ensure(screen, 100000, 100000));
    EXPECT_EQ(buffer.Dc(), nullptr);
    EXPECT_EQ(buffer.Bitmap(), nullptr);
    EXPECT_EQ(buffer.Width(), 0);
    EXPECT_TRUE(buffer.Ensure(screen, 40, 30));
    EXPECT_NE(buffer.Dc(), nullptr);
}

TEST(FindSelfOrAncestor, NearestMatchFromTheControlUp)
{
    EventLog log;
    RecordingControl root("Root", log);
    auto* middle = Place(&root, new RecordingControl("Middle", log), 0, 0, 10, 10);
    auto* leaf = Place(middle, new RecordingControl("Leaf", log), 0, 0, 5, 5);
    root.focusable = true;
    middle->focusable = true;
    const struct {
        UIE::CUiControl* from;
        bool (*test)(UIE::CUiControl*);
        UIE::CUiControl* expected;
    } cases[] = {
        {leaf, [](UIE::CUiControl* c) { return c->CanFocus(); }, middle},
        {middle, [](UIE::CUiControl* c) { return c->CanFocus(); }, middle},
        {leaf, [](UIE::CUiControl* c) { return c->parent == nullptr; }, &root},
        {leaf, [](UIE::CUiControl*) { return false; }, nullptr},
        {nullptr, [](UIE::CUiControl*) { return true; }, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UIE::FindSelfOrAncestor(c.from, c.test), c.expected);
}

// The input state with two buttons side by side, no window: no capture is taken.
class InputState : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = Place(new RecordingControl("Root", log), 0, 0, 400, 300);
        a = Place(root, new RecordingControl("A", log), 10, 10, 50, 20);
        b = Place(root, new RecordingControl("B", log), 70, 10, 50, 20);
        a->handCursor = true;
        b->handCursor = true;
        roots.push_back(root);
    }
    void TearDown() override { delete root; }

    EventLog log;
    RecordingControl* root = nullptr;
    RecordingControl* a = nullptr;
    RecordingControl* b = nullptr;
    std::vector<UIE::CUiControl*> roots;
    UIE::CUiInputDispatch input;
};

TEST_F(InputState, HoverMovesFromControlToControl)
{
    input.PointerMove(roots, 15, 15);
    input.PointerMove(roots, 75, 15);
    input.PointerLeave();
    EXPECT_EQ(log, (EventLog{"A enter", "A move 5,5", "A leave", "B enter", "B move 5,5", "B leave"}));
    EXPECT_EQ(input.hoveredControl, nullptr);
}

TEST_F(InputState, PressHoldsThePointerUntilRelease)
{
    input.PointerMove(roots, 15, 15);
    input.ButtonDown(roots, nullptr, 15, 15);
    input.PointerMove(roots, 80, 15);
    input.ButtonUp(nullptr, 80, 15);
    EXPECT_EQ(log, (EventLog{"A enter", "A move 5,5", "A down 5,5", "A move 70,5", "A up 70,5"}));
    EXPECT_EQ(input.capturedControl, nullptr);
    EXPECT_EQ(input.hoveredControl, a) << "hover is frozen while the button is held";
}

TEST_F(InputState, PressOnEmptySpaceTakesTheFocusAway)
{
    a->focusable = true;
    input.ButtonDown(roots, nullptr, 15, 15);
    input.ButtonUp(nullptr, 15, 15);
    EXPECT_EQ(input.focusedControl, a);
    input.ButtonDown(roots, nullptr, 500, 500);
    EXPECT_EQ(input.focusedControl, nullptr);
    EXPECT_EQ(input.capturedControl, nullptr);
    EXPECT_EQ(log.back(), "A blur");
}

} // namespace

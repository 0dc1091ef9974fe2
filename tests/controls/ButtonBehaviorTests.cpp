#include "ui/framework/controls/ButtonBehavior.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs events on a fresh 100 × 40 button: e enter, l leave, p press, r release inside,
// o release outside. Returns the number of clicks.
int Drive(UIE::ButtonBehavior& button, const std::string& events, bool needsPress = true)
{
    int clicks = 0;
    for (char event : events) {
        switch (event) {
        case 'e': button.Enter(); break;
        case 'l': button.Leave(); break;
        case 'p': button.Press(); break;
        case 'r': clicks += button.Release(50, 20, 100, 40, needsPress); break;
        case 'o': clicks += button.Release(150, 20, 100, 40, needsPress); break;
        }
    }
    return clicks;
}

TEST(ButtonBehavior, ClicksOnlyOnAPressReleasedInside)
{
    const struct {
        const char* events;
        bool needsPress;
        int clicks;
        bool hovered;
        bool pressed;
    } cases[] = {
        {"e", true, 0, true, false},
        {"ep", true, 0, true, true},
        {"epr", true, 1, true, false},
        {"epo", true, 0, true, false},
        {"eplr", true, 0, false, false}, // leaving drops the press
        {"er", true, 0, true, false},
        {"eprpr", true, 2, true, false}, // a double click is two presses
        {"er", false, 1, true, false},
        {"eo", false, 0, true, false},
        {"el", true, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.events) + (c.needsPress ? "" : " without press"));
        UIE::ButtonBehavior button;
        EXPECT_EQ(Drive(button, c.events, c.needsPress), c.clicks);
        EXPECT_EQ(button.isHovered, c.hovered);
        EXPECT_EQ(button.isPressed, c.pressed);
    }
}

TEST(ButtonBehavior, InsideMeansLeftAndTopEdgesButNotRightAndBottom)
{
    const struct {
        int x;
        int y;
        bool click;
    } cases[] = {{0, 0, true}, {99, 39, true}, {100, 20, false}, {50, 40, false}, {-1, 20, false}, {50, -1, false}};
    for (const auto& c : cases) {
        UIE::ButtonBehavior button;
        button.Press();
        EXPECT_EQ(button.Release(c.x, c.y, 100, 40), c.click) << c.x << "," << c.y;
    }
}

} // namespace

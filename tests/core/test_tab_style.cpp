#include "core/TabStyle.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(TabStyle, BitsAndBorderFromTheThreeSettings)
{
    struct Case
    {
        bool bottom, buttons;
        unsigned stackedBits, flatBits;
        int border;
    };
    const Case cases[] = {
        {true, true, 0x342, 0x142, 0},
        {true, false, 0x242, 0x042, 1},
        {false, true, 0x340, 0x140, 2},
        {false, false, 0x240, 0x040, 1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(tabStyle(c.bottom, c.buttons, true), (TabStyle{c.stackedBits, c.border}));
        EXPECT_EQ(tabStyle(c.bottom, c.buttons, false), (TabStyle{c.flatBits, c.border}));
    }
    const TabStyle s = tabStyle(true, false, true);
    EXPECT_TRUE(s.bottom());
    EXPECT_FALSE(s.buttons());
    EXPECT_TRUE(s.stacked());
}

TEST(TabStyle, InsetByBorderCollapsesNarrowAreasInsteadOfInverting)
{
    EXPECT_EQ(insetByBorder(Rect{0, 0, 100, 50}, 2), (Rect{2, 2, 98, 48}));
    EXPECT_EQ(insetByBorder(Rect{10, 10, 20, 20}, 0), (Rect{10, 10, 20, 20}));
    // Not wider than twice the border: zero width at the right edge.
    EXPECT_EQ(insetByBorder(Rect{10, 0, 14, 50}, 2), (Rect{14, 2, 14, 48}));
    EXPECT_EQ(insetByBorder(Rect{10, 0, 15, 50}, 2), (Rect{12, 2, 13, 48}));
    // The same vertically, at the bottom edge.
    EXPECT_EQ(insetByBorder(Rect{0, 30, 100, 31}, 1), (Rect{1, 31, 99, 31}));
    // Already inverted: collapsed, never more inverted.
    EXPECT_EQ(insetByBorder(Rect{50, 50, 40, 40}, 1), (Rect{40, 40, 40, 40}));
}

TEST(TabStyle, TitleRequestThenDocumentThenWindowText)
{
    EXPECT_EQ(tabTitle("asked", "doc", "window"), "asked");
    EXPECT_EQ(tabTitle("", "doc", "window"), "doc");
    EXPECT_EQ(tabTitle("", "", "window"), "window");
    EXPECT_EQ(tabTitle("", "", ""), "");
}

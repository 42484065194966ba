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

TEST(TabStyle, DisplayAreaLeavesTheStripAndFrameAndNeverInverts)
{
    const Rect bar{0, 0, 400, 300};
    // Tabs on top: border 1, the strip, the frame on every side.
    EXPECT_EQ(tabDisplayArea(bar, tabStyle(false, false, false), 24, 2), (Rect{3, 27, 397, 297}));
    // Tabs at the bottom.
    EXPECT_EQ(tabDisplayArea(bar, tabStyle(true, false, false), 24, 2), (Rect{3, 3, 397, 273}));
    // Buttons at the bottom: no border, no frame, the spacing above the buttons.
    EXPECT_EQ(tabDisplayArea(bar, tabStyle(true, true, false), 24, 2), (Rect{0, 0, 400, 273}));
    // Buttons on top: border 2.
    EXPECT_EQ(tabDisplayArea(bar, tabStyle(false, true, false), 24, 2), (Rect{2, 29, 398, 298}));

    // Not wider than twice the border: no width at all rather than a negative one.
    const Rect narrow = tabDisplayArea(Rect{100, 0, 102, 300}, tabStyle(false, false, false), 24, 2);
    EXPECT_EQ(narrow.width(), 0);
    EXPECT_GE(narrow.height(), 0);
    // A strip taller than the bar.
    const Rect low = tabDisplayArea(Rect{0, 0, 400, 20}, tabStyle(false, false, true), 48, 2);
    EXPECT_EQ(low.height(), 0);
    EXPECT_GE(low.width(), 0);
}

TEST(TabStyle, StackedTabsFillRowsStretchAndBringTheSelectedRowNextToTheWindows)
{
    const std::vector<int> widths(5, 100);
    const TabStyle tabs = tabStyle(false, false, true);
    TabStrip s = layoutTabStrip(widths, 250, tabs, 0, 0, 0);
    EXPECT_EQ(s.rows, 3);
    EXPECT_FALSE(s.scrolls);
    EXPECT_EQ(s.slots[0], (TabSlot{0, 0, 125}));
    EXPECT_EQ(s.slots[1], (TabSlot{0, 125, 125}));
    EXPECT_EQ(s.slots[3], (TabSlot{1, 125, 125}));
    EXPECT_EQ(s.slots[4], (TabSlot{2, 0, 250}));

    // Selecting the last tab brings its row down; the others follow round.
    s = layoutTabStrip(widths, 250, tabs, 4, 0, 0);
    EXPECT_EQ(s.slots[4].row, 0);
    EXPECT_EQ(s.slots[0].row, 1);
    EXPECT_EQ(s.slots[2].row, 2);

    // Buttons keep their rows, and their spacing.
    const TabStyle buttons = tabStyle(false, true, true);
    s = layoutTabStrip(widths, 250, buttons, 4, 0, 0);
    EXPECT_EQ(s.rows, 3);
    EXPECT_EQ(s.slots[4].row, 2);
    EXPECT_EQ(s.slots[0], (TabSlot{0, 0, 124}));
    EXPECT_EQ(s.slots[1], (TabSlot{0, 127, 123}));

    // What fits stays one row at natural widths; a tab wider than the strip gets a row of its own.
    s = layoutTabStrip({60, 70}, 250, tabs, 0, 0, 0);
    EXPECT_EQ(s.rows, 1);
    EXPECT_EQ(s.slots[1], (TabSlot{0, 60, 70}));
    s = layoutTabStrip({60, 900, 60}, 250, tabs, 0, 0, 0);
    EXPECT_EQ(s.rows, 3);
    EXPECT_EQ(s.slots[1].width, 250);
}

TEST(TabStyle, OneRowScrollsNoFurtherThanTheLastTab)
{
    const std::vector<int> widths(5, 100);
    const TabStyle tabs = tabStyle(true, false, false);
    TabStrip s = layoutTabStrip(widths, 600, tabs, 0, 0, 30);
    EXPECT_FALSE(s.scrolls);
    EXPECT_EQ(s.slots[4], (TabSlot{0, 400, 100}));

    // 220 pixels for tabs beside the arrows: tabs 3 and 4 are the last that fit.
    s = layoutTabStrip(widths, 250, tabs, 0, 10, 30);
    EXPECT_TRUE(s.scrolls);
    EXPECT_EQ(s.firstShown, 3);
    EXPECT_EQ(s.slots[3].left, 0);
    EXPECT_EQ(s.slots[0].left, -300);

    EXPECT_EQ(tabFirstShownFor(widths, 220, tabs, 0, 4), 3);
    EXPECT_EQ(tabFirstShownFor(widths, 220, tabs, 3, 1), 1);
    EXPECT_EQ(tabFirstShownFor(widths, 220, tabs, 1, 2), 1) << "already in view: no move";
    EXPECT_EQ(tabFirstShownFor(widths, 50, tabs, 0, 2), 2) << "wider than the room: starts there";
}

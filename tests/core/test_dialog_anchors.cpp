#include "core/DialogAnchors.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(DialogAnchors, ListGrowsButtonsMoveWithTheDialog)
{
    // A 300 x 200 dialog: a list filling it but for margins, a button at the
    // top right.
    const Anchor list = makeAnchor(Rect{10, 10, 200, 190}, 300, 200, kAnchorTopLeft, kAnchorBottomRight);
    EXPECT_EQ(list.marginRight, -100);
    EXPECT_EQ(list.marginBottom, -10);
    EXPECT_EQ(anchoredRect(list, 300, 200), (Rect{10, 10, 200, 190})); // unchanged size: unchanged place
    EXPECT_EQ(anchoredRect(list, 400, 260), (Rect{10, 10, 300, 250}));

    const Anchor button = makeAnchor(Rect{220, 10, 290, 35}, 300, 200, kAnchorTopRight);
    EXPECT_EQ(anchoredRect(button, 400, 260), (Rect{320, 10, 390, 35}));
}

TEST(DialogAnchors, CentreAnchorsTruncateAndKeepTheSize)
{
    // 50% of 301 is 150 (truncated), of 400 is 200.
    const Anchor a = makeAnchor(Rect{140, 90, 160, 110}, 301, 201, kAnchorMiddleCenter);
    EXPECT_EQ(a.marginLeft, -10);
    EXPECT_EQ(a.marginTop, -10);
    const Rect moved = anchoredRect(a, 400, 300);
    EXPECT_EQ(moved, (Rect{190, 140, 210, 160}));
    // Whatever the size, a point anchor never changes the control's size.
    for (int w : {0, 1, 77, 333, 1001}) {
        const Rect r = anchoredRect(makeAnchor(Rect{5, 5, 25, 15}, 300, 200, kAnchorBottomCenter), w, w);
        EXPECT_EQ(r.width(), 20);
        EXPECT_EQ(r.height(), 10);
    }
}

TEST(DialogAnchors, NoneAsTopLeftIsTheTopLeft)
{
    const Anchor a = makeAnchor(Rect{10, 10, 50, 30}, 300, 200, kAnchorNone, kAnchorNone);
    EXPECT_EQ(anchoredRect(a, 1000, 900), (Rect{10, 10, 50, 30}));
}

TEST(DialogAnchors, ListBoxHorizontalExtent)
{
    EXPECT_EQ(listBoxHorizontalExtent({120, 250, 80}, kSpawningListExtentOffset), 200);
    EXPECT_EQ(listBoxHorizontalExtent({120, 250, 80}, kLinksListExtentOffset), 150);
    EXPECT_EQ(listBoxHorizontalExtent({50, 20}, kSpawningListExtentOffset), 0);
    EXPECT_EQ(listBoxHorizontalExtent({99}, kWorkspacesListExtentOffset), 0);
    EXPECT_EQ(listBoxHorizontalExtent({}, kSpawningListExtentOffset), 0);
}

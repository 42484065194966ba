// Keeping a restored window where the user can reach it.
#include "core/Rect.h"

#include <climits>

#include <gtest/gtest.h>

TEST(Rect, KeepOnAreaMovesOnlyWhatCannotBeReached)
{
    const Rect area{0, 0, 1280, 1000};
    // Wholly on the area, or partly off it but reachable: kept.
    EXPECT_EQ(keepOnArea(Rect{88, 88, 952, 697}, area), (Rect{88, 88, 952, 697}));
    EXPECT_EQ(keepOnArea(Rect{-400, 900, 400, 1300}, area), (Rect{-400, 900, 400, 1300}));
    // Wholly off to the right, below, left, above, or with too little of it
    // left on the area: wholly back on it, its size kept.
    EXPECT_EQ(keepOnArea(Rect{3000, 100, 3500, 500}, area), (Rect{780, 100, 1280, 500}));
    EXPECT_EQ(keepOnArea(Rect{100, 2000, 600, 2400}, area), (Rect{100, 600, 600, 1000}));
    EXPECT_EQ(keepOnArea(Rect{-900, 100, -400, 500}, area), (Rect{0, 100, 500, 500}));
    EXPECT_EQ(keepOnArea(Rect{-490, 100, 10, 500}, area), (Rect{0, 100, 500, 500}));
    EXPECT_EQ(keepOnArea(Rect{100, -300, 600, -10}, area), (Rect{100, 0, 600, 290})) << "the title bar on the area";
    // On an area that does not start at 0 (a second screen, a panel).
    EXPECT_EQ(keepOnArea(Rect{0, 0, 200, 100}, Rect{1280, 30, 2560, 1024}), (Rect{1280, 30, 1480, 130}));
}

TEST(Rect, KeepOnAreaBoundsSizesAndOddRecords)
{
    const Rect area{0, 0, 1280, 1000};
    // Larger than the area: the area's size.
    EXPECT_EQ(keepOnArea(Rect{0, 0, 5000, 4000}, area), (Rect{0, 0, 1280, 1000}));
    // Edges at the ends of the int range, inverted or empty rectangles.
    EXPECT_EQ(keepOnArea(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, area), (Rect{0, 0, 1280, 1000}));
    EXPECT_EQ(keepOnArea(Rect{INT_MIN, 0, INT_MIN + 100, 100}, area), (Rect{0, 0, 100, 100}));
    EXPECT_EQ(keepOnArea(Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, area), (Rect{1248, 968, 1280, 1000}));
    EXPECT_EQ(keepOnArea(Rect{10, 10, 10, 10}, area), (Rect{10, 10, 42, 42}));
    // An area smaller than the margin, an empty area.
    EXPECT_EQ(keepOnArea(Rect{500, 500, 900, 900}, Rect{0, 0, 20, 10}), (Rect{0, 0, 20, 10}));
    EXPECT_EQ(keepOnArea(Rect{5, 6, 7, 8}, Rect{}), (Rect{5, 6, 7, 8}));
}

TEST(Rect, APlacementWithoutAReportedPositionKeepsTheStoredCorner)
{
    const Rect stored{40, 30, 840, 630};
    // Reported at 0, 0 with another size: the stored corner, the new size.
    EXPECT_EQ(placementToStore(Rect{0, 0, 1000, 700}, stored, false), (Rect{40, 30, 1040, 730}));
    // Where positions are reported, or nothing was stored: as reported.
    EXPECT_EQ(placementToStore(Rect{0, 0, 1000, 700}, stored, true), (Rect{0, 0, 1000, 700}));
    EXPECT_EQ(placementToStore(Rect{0, 0, 1000, 700}, std::nullopt, false), (Rect{0, 0, 1000, 700}));
    // A corner at the end of the int range never wraps round.
    EXPECT_EQ(placementToStore(Rect{0, 0, 500, 400}, Rect{INT_MAX - 10, -5, INT_MAX, 5}, false),
              (Rect{INT_MAX - 10, -5, INT_MAX, 395}));
}

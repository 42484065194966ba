// Placing a restored window where the user can reach and use it.
#include "core/Rect.h"

#include <climits>

#include <gtest/gtest.h>

namespace {
const Rect kArea{0, 0, 1280, 1000};
const Size kUsable{240, 180};
} // namespace

TEST(Rect, PlaceOnAreaKeepsAUsablePlaceAndMovesWhatCannotBeUsed)
{
    // Wholly on the area, or partly off it with enough of it on the area
    // (the title bar included): kept.
    EXPECT_EQ(placeOnArea(Rect{88, 88, 952, 697}, kArea, kUsable), (Rect{88, 88, 952, 697}));
    EXPECT_EQ(placeOnArea(Rect{-400, 700, 400, 1300}, kArea, kUsable), (Rect{-400, 700, 400, 1300}));
    EXPECT_EQ(placeOnArea(Rect{1000, 100, 1500, 500}, kArea, kUsable), (Rect{1000, 100, 1500, 500}));
    // A sliver on the area (a corner, an edge) comes wholly onto it, its
    // size kept; so does one whose title bar is above the area.
    EXPECT_EQ(placeOnArea(Rect{1248, 968, 2528, 1968}, kArea, kUsable), (Rect{0, 0, 1280, 1000}));
    EXPECT_EQ(placeOnArea(Rect{1200, 100, 1700, 500}, kArea, kUsable), (Rect{780, 100, 1280, 500}));
    EXPECT_EQ(placeOnArea(Rect{-400, 900, 400, 1300}, kArea, kUsable), (Rect{0, 600, 800, 1000}));
    EXPECT_EQ(placeOnArea(Rect{-490, 100, 10, 500}, kArea, kUsable), (Rect{0, 100, 500, 500}));
    EXPECT_EQ(placeOnArea(Rect{100, -300, 600, 10}, kArea, kUsable), (Rect{100, 0, 600, 310}));
    // On an area that does not start at 0 (a second screen, a panel).
    EXPECT_EQ(placeOnArea(Rect{1270, 20, 1780, 420}, Rect{1280, 30, 2560, 1024}, kUsable),
              (Rect{1280, 30, 1790, 430}));
}

TEST(Rect, PlaceOnAreaGivesNothingForAWindowWhollyOffTheArea)
{
    // The window then stays where it would open without a record.
    EXPECT_EQ(placeOnArea(Rect{3000, 100, 3500, 500}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{100, 2000, 600, 2400}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{-900, 100, -400, 500}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{0, 1000, 500, 1400}, kArea, kUsable), std::nullopt) << "touching is not on";
    // Empty and inverted rectangles have no part anywhere.
    EXPECT_EQ(placeOnArea(Rect{10, 10, 10, 10}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{0, 0, 0, 0}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, kArea, kUsable), std::nullopt);
    EXPECT_EQ(placeOnArea(Rect{INT_MIN, 0, INT_MIN + 100, 100}, kArea, kUsable), std::nullopt);
}

TEST(Rect, PlaceOnAreaBoundsSizes)
{
    // Too small to use: the usable size, where it stands when that fits.
    EXPECT_EQ(placeOnArea(Rect{10, 10, 42, 42}, kArea, kUsable), (Rect{10, 10, 250, 190}));
    EXPECT_EQ(placeOnArea(Rect{1270, 990, 1280, 1000}, kArea, kUsable), (Rect{1040, 820, 1280, 1000}));
    EXPECT_EQ(placeOnArea(Rect{0, 0, 32, 32}, kArea, kUsableMainWindow),
              (Rect{0, 0, kUsableMainWindow.width, kUsableMainWindow.height}));
    // Larger than the area: the area's size, whatever the int edges.
    EXPECT_EQ(placeOnArea(Rect{0, 0, 5000, 4000}, kArea, kUsable), (Rect{0, 0, 1280, 1000}));
    EXPECT_EQ(placeOnArea(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kArea, kUsable), (Rect{0, 0, 1280, 1000}));
    EXPECT_EQ(placeOnArea(Rect{1900, 900, INT_MAX, INT_MAX}, Rect{0, 0, 1920, 1050}, kUsable),
              (Rect{0, 0, 1920, 1050}));
    // An area smaller than the usable size, an empty area.
    EXPECT_EQ(placeOnArea(Rect{5, 5, 900, 900}, Rect{0, 0, 20, 10}, kUsable), (Rect{0, 0, 20, 10}));
    EXPECT_EQ(placeOnArea(Rect{5, 6, 7, 8}, Rect{}, kUsable), (Rect{5, 6, 7, 8}));
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

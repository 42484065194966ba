#include "core/PaneGrid.h"
#include "core/Workspace.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace corvane;

namespace {

PaneGrid grid(int width, int height)
{
    PaneGrid g;
    g.setSize(width, height);
    return g;
}

} // namespace

TEST(PaneGrid, FourPanesShareOneRowAndOneColumnPosition)
{
    PaneGrid g = grid(400, 300);
    EXPECT_FALSE(g.isSplit());
    EXPECT_EQ(g.paneRect({0, 0}), (Rect{0, 0, 400, 300})) << "an unsplit window has no ring";
    EXPECT_EQ(g.borderRect({0, 0}), g.paneRect({0, 0}));

    g.splitRow(102);
    g.splitColumn(152);
    EXPECT_EQ(g.rows(), 2);
    EXPECT_EQ(g.columns(), 2);
    EXPECT_EQ(g.rowPosition(), 100);
    EXPECT_EQ(g.columnPosition(), 150);
    EXPECT_EQ(g.paneRect({0, 0}), (Rect{2, 2, 152, 102}));
    EXPECT_EQ(g.paneRect({0, 1}), (Rect{159, 2, 398, 102}));
    EXPECT_EQ(g.paneRect({1, 0}), (Rect{2, 109, 152, 298}));
    EXPECT_EQ(g.paneRect({1, 1}), (Rect{159, 109, 398, 298}));
    EXPECT_EQ(g.borderRect({1, 1}), (Rect{157, 107, 400, 300}));
    EXPECT_EQ(g.rowBarRect(), (Rect{0, 102, 400, 109}));
    EXPECT_EQ(g.columnBarRect(), (Rect{152, 0, 159, 300}));

    // The stored form of a position (the size plus the ring) splits at the same place.
    g.splitRow(g.rowPosition() + kPaneBorder);
    EXPECT_EQ(g.rowPosition(), 100);

    EXPECT_EQ(g.hitTest(50, 50), SplitHit::Pane);
    EXPECT_EQ(g.hitTest(50, 105), SplitHit::RowBar);
    EXPECT_EQ(g.hitTest(155, 50), SplitHit::ColumnBar);
    EXPECT_EQ(g.hitTest(155, 105), SplitHit::Intersection);
    EXPECT_EQ(g.hitTest(1, 50), SplitHit::None) << "the outer ring";
    EXPECT_EQ(g.hitTest(400, 50), SplitHit::None);
}

TEST(PaneGrid, SplitPositionsAreKeptInsideTheWindowNeverRefused)
{
    PaneGrid g = grid(400, 300);
    g.splitRow(-50);
    EXPECT_EQ(g.rows(), 2);
    EXPECT_EQ(g.rowPosition(), kPaneMinSize);
    g.splitRow(10000);
    EXPECT_EQ(g.rowPosition(), 300 - 11 - kPaneMinSize);
    EXPECT_EQ(g.paneRect({1, 0}).height(), kPaneMinSize);

    // A window too small for the position asked for keeps it for later.
    g.splitColumn(252);
    g.setSize(200, 300);
    EXPECT_EQ(g.columnPosition(), 200 - 11 - kPaneMinSize);
    g.setSize(600, 300);
    EXPECT_EQ(g.columnPosition(), 250);

    // Too small for two panes at all: empty panes, never inverted ones.
    g.setSize(15, 12);
    for (const PanePos &p : g.panes()) {
        const Rect r = g.paneRect(p);
        EXPECT_GE(r.width(), 0);
        EXPECT_GE(r.height(), 0);
    }
    g.setSize(0, 0);
    EXPECT_GE(g.rowPosition(), 0);
}

TEST(PaneGrid, AGridNeverLaidOutRecordsThePositionsItWasSplitAt)
{
    // A window restored out of view: split at the stored positions, never
    // given a size. Laid out at no size it would record positions of 0.
    PaneGrid restored;
    restored.splitRow(200);
    restored.splitColumn(320);
    EXPECT_FALSE(restored.laidOut());
    EXPECT_EQ(restored.rowPosition(), 0);
    EXPECT_EQ(restored.recordedRowPosition(), 198);
    EXPECT_EQ(restored.recordedColumnPosition(), 318);
    const SplitPositions captured =
        capturedSplitPositions(2, 2, restored.recordedRowPosition(), restored.recordedColumnPosition());
    EXPECT_EQ(captured, (SplitPositions{200, 320})) << "splits at the same place again";

    // Once laid out, what the window shows.
    restored.setSize(300, 250);
    EXPECT_TRUE(restored.laidOut());
    EXPECT_EQ(restored.recordedRowPosition(), restored.rowPosition());
    EXPECT_EQ(restored.recordedColumnPosition(), 300 - 11 - kPaneMinSize);
    // A direction without a split records the whole pane, as before.
    PaneGrid rows;
    rows.splitRow(100);
    EXPECT_EQ(rows.recordedColumnPosition(), rows.columnPosition());
}

TEST(PaneGrid, DroppedBarRemovesThePaneItLeavesTooSmall)
{
    // Along 300 pixels: the first pane is position - 2, the second 300 - position - 9.
    EXPECT_EQ(PaneGrid::dropBar(11, 300), BarDrop::RemoveFirst);
    EXPECT_EQ(PaneGrid::dropBar(12, 300), BarDrop::Place);
    EXPECT_EQ(PaneGrid::dropBar(281, 300), BarDrop::Place);
    EXPECT_EQ(PaneGrid::dropBar(282, 300), BarDrop::RemoveSecond);
    EXPECT_EQ(PaneGrid::dropBar(-5, 300), BarDrop::RemoveFirst);
    EXPECT_EQ(PaneGrid::dropBar(20, 25), BarDrop::RemoveSecond);

    const int middle = PaneGrid::middlePosition(300);
    PaneGrid g = grid(400, 300);
    g.splitRow(middle);
    EXPECT_LE(std::abs(g.paneRect({0, 0}).height() - g.paneRect({1, 0}).height()), 1);
}

TEST(PaneGrid, PanesGoRowByRowAndPreviousWrapsAround)
{
    PaneGrid g = grid(400, 300);
    EXPECT_EQ(g.previousPane({0, 0}), (PanePos{0, 0})) << "one pane is its own neighbour";

    g.splitColumn(200);
    EXPECT_EQ(g.previousPane({0, 0}), (PanePos{0, 1}));
    EXPECT_EQ(g.nextPane({0, 1}), (PanePos{0, 0}));

    g.splitRow(150);
    EXPECT_EQ(g.panes(), (std::vector<PanePos>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(g.previousPane({0, 0}), (PanePos{1, 1}));
    EXPECT_EQ(g.previousPane({1, 0}), (PanePos{0, 1}));
    EXPECT_EQ(g.nextPane({0, 1}), (PanePos{1, 0}));
    EXPECT_EQ(g.nextPane({1, 1}), (PanePos{0, 0}));

    // Going back four times comes round to the start.
    PanePos p{0, 1};
    for (int i = 0; i < 4; ++i)
        p = g.previousPane(p);
    EXPECT_EQ(p, (PanePos{0, 1}));

    // A workspace's order: the active pane, then back through the others.
    g.setActivePane({1, 0});
    EXPECT_EQ(g.panesFromActive(), (std::vector<PanePos>{{1, 0}, {0, 1}, {0, 0}, {1, 1}}));
    g.removeRow(1);
    EXPECT_EQ(g.panesFromActive(), (std::vector<PanePos>{{0, 0}, {0, 1}}));
    EXPECT_EQ(grid(400, 300).panesFromActive(), (std::vector<PanePos>{{0, 0}}));
}

TEST(PaneGrid, ActivePaneStaysInsideTheGrid)
{
    PaneGrid g = grid(400, 300);
    g.setActivePane({1, 1});
    EXPECT_EQ(g.activePane(), (PanePos{0, 0}));
    g.splitRow(150);
    g.splitColumn(200);
    g.setActivePane({1, 1});
    EXPECT_EQ(g.activePane(), (PanePos{1, 1}));
    g.removeRow(0);
    EXPECT_EQ(g.rows(), 1);
    EXPECT_EQ(g.activePane(), (PanePos{0, 1})) << "the active pane keeps its column";
    g.removeColumn(1);
    EXPECT_EQ(g.activePane(), (PanePos{0, 0}));
    EXPECT_FALSE(g.isSplit());
    g.removeRow(1); // nothing to remove
    EXPECT_EQ(g.rows(), 1);
}

TEST(PaneGrid, ActiveBorderFramesOnlyTheActivePaneOfASplitWindow)
{
    PaneGrid g = grid(400, 300);
    g.setActivePane({0, 0});
    EXPECT_FALSE(g.framedPane(true)) << "a window that is not split shows no border";
    g.splitColumn(200);
    EXPECT_FALSE(g.framedPane(false));
    g.setActivePane({0, 1});
    EXPECT_EQ(g.framedPane(true), (PanePos{0, 1}));

    const Rgb red = makeRgb(255, 0, 0);
    EXPECT_EQ(activeBorderLook(red, true),
              (ActiveBorderLook{red, makeRgb(0, 0, 0), makeRgb(192, 192, 192)}));
    EXPECT_EQ(activeBorderLook(red, false), (ActiveBorderLook{red, red, red}));
}

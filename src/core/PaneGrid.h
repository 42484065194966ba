#pragma once

#include "core/Rect.h"
#include "core/SettingsStore.h"

#include <optional>
#include <vector>

namespace corvane {

// The panes of one browser window: up to two rows and two columns sharing one
// row position and one column position, the active pane, the geometry of the
// panes and split bars, where a dropped bar leaves the grid, and ActiveBorder.

// Sizes in pixels.
inline constexpr int kPaneMinSize = 10;   // the smallest pane, both ways
inline constexpr int kPaneBorder = 2;     // the ring around every pane of a split window
inline constexpr int kSplitBarWidth = 3;  // the bar between the rings of two panes
// From the inside of one pane to the inside of the next.
inline constexpr int kSplitGap = 2 * kPaneBorder + kSplitBarWidth;
// An arrow key moves a keyboard split's tracker this far; with Ctrl one pixel.
inline constexpr int kKeyboardSplitStep = 16;
inline constexpr int kKeyboardSplitFineStep = 1;

struct PanePos
{
    int row = 0;
    int column = 0;
    bool operator==(const PanePos &) const = default;
};

// What lies under a point of the window.
enum class SplitHit {
    None,         // the ring around the panes
    Pane,
    RowBar,       // the bar between the rows
    ColumnBar,    // the bar between the columns
    Intersection, // where both bars cross
};

// Where a bar dragged to a position leaves its two panes.
enum class BarDrop {
    Place,        // both panes keep at least the minimum
    RemoveFirst,  // the first (top or left) pane would be too small: it goes
    RemoveSecond, // the second pane would be too small: it goes
};

class PaneGrid
{
public:
    // --- size -------------------------------------------------------------------------
    void setSize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    // --- rows and columns ---------------------------------------------------------------
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    bool isSplit() const { return m_rows > 1 || m_columns > 1; }
    // The height of row 0 and the width of column 0 as laid out now; the whole
    // height or width while there is one row or column.
    int rowPosition() const;
    int columnPosition() const;
    // Whether the grid has ever had a size: a window restored out of view
    // (behind a maximized one) has none until it is shown and laid out.
    bool laidOut() const { return m_width > 0 || m_height > 0; }
    // The positions a capture records: as laid out now, or, while the grid
    // has never been laid out, the ones asked for (the row's height and the
    // column's width a split at them gives), so a window restored out of
    // view is recorded as it was restored, however often.
    int recordedRowPosition() const;
    int recordedColumnPosition() const;
    // Splits into two rows (or moves the bar when already split) so that the
    // bar's top edge lies at y: row 0 becomes y - kPaneBorder high. Any y is
    // taken: the height is kept within what the window can hold now, and the
    // position asked for comes back when the window grows. The same for
    // columns with x.
    void splitRow(int y);
    void splitColumn(int x);
    // Removes a row (column); the other one stays. The active pane stays in
    // the row (column) that stays.
    void removeRow(int row);
    void removeColumn(int column);

    // Where a bar whose top (left) edge is dropped at position leaves the
    // panes, along an extent of the window's height (width).
    static BarDrop dropBar(int position, int extent);
    // The position that puts the bar in the middle of the extent.
    static int middlePosition(int extent);

    // --- panes ----------------------------------------------------------------------------
    PanePos activePane() const { return m_active; }
    // Taken into the grid: a row or column that does not exist gives the last.
    void setActivePane(PanePos pane);
    // Every pane, row by row.
    std::vector<PanePos> panes() const;
    // The pane after / before one, row by row, wrapping around.
    PanePos nextPane(PanePos pane) const;
    PanePos previousPane(PanePos pane) const;
    // Every pane once, from the active one on through the previous ones: the
    // order a workspace stores a split window's panes in.
    std::vector<PanePos> panesFromActive() const;

    // --- geometry ---------------------------------------------------------------------------
    // The inside of a pane, and the pane with its ring (the same while not split).
    Rect paneRect(PanePos pane) const;
    Rect borderRect(PanePos pane) const;
    // The gap between the rows (columns) across the whole window: the rings
    // of both panes and the bar. Empty while not split that way.
    Rect rowBarRect() const;
    Rect columnBarRect() const;
    SplitHit hitTest(int x, int y) const;

    // --- ActiveBorder -------------------------------------------------------------------------
    // The pane framed by ActiveBorder: the active one, only while split and
    // only with ActiveBorder on.
    std::optional<PanePos> framedPane(bool activeBorderOn) const;

private:
    // The first pane's size along an extent for the position asked for.
    static int fittedFirst(int wanted, int extent);

    int m_width = 0;
    int m_height = 0;
    int m_rows = 1;
    int m_columns = 1;
    int m_rowWanted = 0;    // row 0's height as asked for
    int m_columnWanted = 0; // column 0's width as asked for
    PanePos m_active;
};

// ActiveBorder's two one-pixel frames: an outer frame in the colour, and an
// inner frame black at the top and left and light grey at the bottom and
// right when 3D, else again in the colour.
struct ActiveBorderLook
{
    Rgb outer = makeRgb(0, 255, 0);
    Rgb innerTopLeft = makeRgb(0, 255, 0);
    Rgb innerBottomRight = makeRgb(0, 255, 0);
    bool operator==(const ActiveBorderLook &) const = default;
};
ActiveBorderLook activeBorderLook(Rgb colour, bool threeD);

} // namespace corvane

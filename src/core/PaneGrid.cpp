#include "core/PaneGrid.h"

#include <algorithm>

namespace corvane {

namespace {
// What two panes and the gap between them take beyond the first pane: the
// outer rings of both, the gap, and the second pane's minimum.
constexpr int kTwoPaneOverhead = 2 * kPaneBorder + kSplitGap;
} // namespace

void PaneGrid::setSize(int width, int height)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

int PaneGrid::fittedFirst(int wanted, int extent)
{
    const int room = extent - kTwoPaneOverhead; // for both panes together
    const int highest = room - kPaneMinSize;
    if (highest < kPaneMinSize)
        return std::max(0, room / 2); // too small for two panes: share what there is
    return std::clamp(wanted, kPaneMinSize, highest);
}

int PaneGrid::rowPosition() const
{
    return m_rows > 1 ? fittedFirst(m_rowWanted, m_height) : paneRect(PanePos{0, 0}).height();
}

int PaneGrid::columnPosition() const
{
    return m_columns > 1 ? fittedFirst(m_columnWanted, m_width) : paneRect(PanePos{0, 0}).width();
}

int PaneGrid::recordedRowPosition() const
{
    return m_rows > 1 && !laidOut() ? m_rowWanted : rowPosition();
}

int PaneGrid::recordedColumnPosition() const
{
    return m_columns > 1 && !laidOut() ? m_columnWanted : columnPosition();
}

void PaneGrid::splitRow(int y)
{
    m_rows = 2;
    m_rowWanted = y - kPaneBorder;
}

void PaneGrid::splitColumn(int x)
{
    m_columns = 2;
    m_columnWanted = x - kPaneBorder;
}

void PaneGrid::removeRow(int row)
{
    if (m_rows < 2 || row < 0 || row > 1)
        return;
    m_rows = 1;
    m_active.row = 0;
}

void PaneGrid::removeColumn(int column)
{
    if (m_columns < 2 || column < 0 || column > 1)
        return;
    m_columns = 1;
    m_active.column = 0;
}

BarDrop PaneGrid::dropBar(int position, int extent)
{
    const int first = position - kPaneBorder;
    const int second = extent - position - kPaneBorder - kSplitGap;
    if (first < kPaneMinSize)
        return BarDrop::RemoveFirst;
    if (second < kPaneMinSize)
        return BarDrop::RemoveSecond;
    return BarDrop::Place;
}

int PaneGrid::middlePosition(int extent)
{
    return (extent - kSplitGap) / 2;
}

void PaneGrid::setActivePane(PanePos pane)
{
    m_active.row = std::clamp(pane.row, 0, m_rows - 1);
    m_active.column = std::clamp(pane.column, 0, m_columns - 1);
}

std::vector<PanePos> PaneGrid::panes() const
{
    std::vector<PanePos> all;
    for (int row = 0; row < m_rows; ++row)
        for (int column = 0; column < m_columns; ++column)
            all.push_back(PanePos{row, column});
    return all;
}

PanePos PaneGrid::nextPane(PanePos pane) const
{
    if (++pane.column >= m_columns) {
        pane.column = 0;
        if (++pane.row >= m_rows)
            pane.row = 0;
    }
    return pane;
}

PanePos PaneGrid::previousPane(PanePos pane) const
{
    if (--pane.column < 0) {
        pane.column = m_columns - 1;
        if (--pane.row < 0)
            pane.row = m_rows - 1;
    }
    return pane;
}

std::vector<PanePos> PaneGrid::panesFromActive() const
{
    std::vector<PanePos> order{m_active};
    const std::size_t count = static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns);
    for (PanePos p = previousPane(m_active); order.size() < count; p = previousPane(p))
        order.push_back(p);
    return order;
}

Rect PaneGrid::paneRect(PanePos pane) const
{
    if (!isSplit())
        return Rect{0, 0, m_width, m_height};
    Rect r;
    if (m_columns == 1) {
        r.left = kPaneBorder;
        r.right = m_width - kPaneBorder;
    } else if (pane.column == 0) {
        r.left = kPaneBorder;
        r.right = kPaneBorder + columnPosition();
    } else {
        r.left = kPaneBorder + columnPosition() + kSplitGap;
        r.right = m_width - kPaneBorder;
    }
    if (m_rows == 1) {
        r.top = kPaneBorder;
        r.bottom = m_height - kPaneBorder;
    } else if (pane.row == 0) {
        r.top = kPaneBorder;
        r.bottom = kPaneBorder + rowPosition();
    } else {
        r.top = kPaneBorder + rowPosition() + kSplitGap;
        r.bottom = m_height - kPaneBorder;
    }
    // A window too small for its panes gives empty panes, never inverted ones.
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    return r;
}

Rect PaneGrid::borderRect(PanePos pane) const
{
    Rect r = paneRect(pane);
    if (isSplit()) {
        r.left -= kPaneBorder;
        r.top -= kPaneBorder;
        r.right += kPaneBorder;
        r.bottom += kPaneBorder;
    }
    return r;
}

Rect PaneGrid::rowBarRect() const
{
    if (m_rows < 2)
        return Rect{};
    const int top = kPaneBorder + rowPosition();
    return Rect{0, top, m_width, top + kSplitGap};
}

Rect PaneGrid::columnBarRect() const
{
    if (m_columns < 2)
        return Rect{};
    const int left = kPaneBorder + columnPosition();
    return Rect{left, 0, left + kSplitGap, m_height};
}

SplitHit PaneGrid::hitTest(int x, int y) const
{
    auto inside = [x, y](const Rect &r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    };
    if (!inside(Rect{0, 0, m_width, m_height}))
        return SplitHit::None;
    const bool onRowBar = inside(rowBarRect());
    const bool onColumnBar = inside(columnBarRect());
    if (onRowBar && onColumnBar)
        return SplitHit::Intersection;
    if (onRowBar)
        return SplitHit::RowBar;
    if (onColumnBar)
        return SplitHit::ColumnBar;
    for (const PanePos &pane : panes())
        if (inside(paneRect(pane)))
            return SplitHit::Pane;
    return SplitHit::None;
}

std::optional<PanePos> PaneGrid::framedPane(bool activeBorderOn) const
{
    if (!activeBorderOn || !isSplit())
        return std::nullopt;
    return m_active;
}

ActiveBorderLook activeBorderLook(Rgb colour, bool threeD)
{
    ActiveBorderLook look;
    look.outer = colour;
    look.innerTopLeft = threeD ? makeRgb(0, 0, 0) : colour;
    look.innerBottomRight = threeD ? makeRgb(192, 192, 192) : colour;
    return look;
}

} // namespace corvane

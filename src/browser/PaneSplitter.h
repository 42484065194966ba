#pragma once

#include "core/PaneGrid.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class BrowserView;
class SettingsStore;

// The client of a browser window: up to two rows and two columns of views of
// one document. One row position and one column position are shared across
// the grid. The user drags the split bars (a bar dropped near an edge removes
// its row or column, a double click on a bar removes the row or column
// without the active pane) or splits with the keyboard (the mouse or the
// arrow keys place the bars, Enter or a click takes them, Esc cancels); a
// locked splitter allows none of it. While split, ActiveBorder frames the
// active pane. A right click on the bars asks for the split menu once a
// split has been placed.
class PaneSplitter : public QWidget
{
    Q_OBJECT
public:
    // Makes the view of a new pane, a child of parent. The splitter starts
    // the first navigation of the panes a split adds.
    using ViewFactory = std::function<BrowserView *(QWidget *parent)>;

    // The first pane's view comes from the factory at once. ActiveBorder
    // reads its settings from the store at each paint; without a store it
    // is off.
    PaneSplitter(ViewFactory factory, SettingsStore *settings, QWidget *parent = nullptr);
    ~PaneSplitter() override;

    // --- the grid ---------------------------------------------------------------------
    int rows() const { return m_grid.rows(); }
    int columns() const { return m_grid.columns(); }
    bool isSplit() const { return m_grid.isSplit(); }
    // The height of row 0 and the width of column 0 now (the whole pane
    // while not split that way).
    int rowPosition() const { return m_grid.rowPosition(); }
    int columnPosition() const { return m_grid.columnPosition(); }
    // Splits so that the bar's top (left) edge lies at y (x): row 0 becomes
    // y - corvane::kPaneBorder high, so rowPosition() + kPaneBorder splits at
    // the same place again. Out-of-range positions are kept within the
    // window, never refused; already split, the bar moves there. The panes
    // added open the home page, as a new window's view does, unless their
    // pages come from elsewhere (a workspace).
    enum class NewPanes { OpenHomePage, LeaveEmpty };
    void splitRow(int y, NewPanes added = NewPanes::OpenHomePage);
    void splitColumn(int x, NewPanes added = NewPanes::OpenHomePage);
    // Removes a row (column) and its views; the other one stays.
    void removeRow(int row);
    void removeColumn(int column);

    // --- panes --------------------------------------------------------------------------
    // nullptr outside the grid.
    BrowserView *pane(int row, int column) const;
    // Every view, row by row.
    QList<BrowserView *> views() const;
    BrowserView *activeView() const;
    corvane::PanePos activePane() const { return m_grid.activePane(); }
    // Makes the pane active and gives it the focus; a row or column that
    // does not exist gives the last one.
    void setActivePane(int row, int column);
    // The pane before (after) the active one, row by row, wrapping around.
    void activatePreviousPane();
    void activateNextPane();
    // Where a view of this splitter sits; {-1, -1} for another view.
    corvane::PanePos paneOf(const BrowserView *view) const;

    // --- lock and tracking ------------------------------------------------------------------
    bool locked() const { return m_locked; }
    void setLocked(bool on);
    // Set when a bar placement ends (and by a workspace restore); while
    // clear, a right click only cancels a placement.
    bool contextMenuReady() const { return m_contextMenuReady; }
    void setContextMenuReady(bool on) { m_contextMenuReady = on; }
    bool keyboardSplitPending() const { return m_keyboardSplitPending; }
    // A bar is being placed (dragged or split from the keyboard).
    bool tracking() const { return m_track != Track::None; }
    // Starts a keyboard split: the bars there are (or both new ones, in the
    // middle) follow the mouse and the arrow keys. False when locked.
    bool startKeyboardSplit();
    // Ends a placement: accepted, the bars go where the tracker is.
    void stopTracking(bool accept);
    // Where the tracker's bars cross (or lie), in the splitter.
    QPoint trackerPoint() const { return m_trackPoint; }

    // A new window's size when it opens restored.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The grid's geometry, for the window and for tests.
    const corvane::PaneGrid &grid() const { return m_grid; }

Q_SIGNALS:
    // Another pane became active.
    void activePaneChanged(BrowserView *view);
    // A keyboard split ended (accepted or not).
    void keyboardSplitEnded();
    // A right click on the bars while the menu is ready, at this screen point.
    void splitMenuRequested(const QPoint &globalPos);
    // Rows or columns were added or removed, a bar moved, or the lock
    // changed.
    void layoutChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void settleAfterRemoval(bool hadFocus, bool activeGone);
    enum class Track { None, Row, Column, Both };

    BrowserView *makeView();
    void layoutPanes();
    void onViewFocused(BrowserView *view);
    void changeActivePane(corvane::PanePos pane, bool giveFocus);
    // The ring of a pane (its border without the inside), for repainting.
    QRegion ringRegion(corvane::PanePos pane) const;
    void beginTracking(Track track, const QPoint &point);
    void moveTracker(const QPoint &point);
    void showTrackers();
    void updateCursor(const QPoint &pos);

    ViewFactory m_factory;
    SettingsStore *m_settings = nullptr;
    corvane::PaneGrid m_grid;
    QPointer<BrowserView> m_views[2][2];
    QWidget *m_rowTracker = nullptr;
    QWidget *m_columnTracker = nullptr;
    Track m_track = Track::None;
    QPoint m_trackPoint;
    QPoint m_grabOffset; // from the mouse to the tracker point while dragging
    bool m_locked = false;
    bool m_contextMenuReady = false;
    bool m_keyboardSplitPending = false;
    bool m_grabbing = false;
};

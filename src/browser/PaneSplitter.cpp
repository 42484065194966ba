#include "browser/PaneSplitter.h"

#include "browser/BrowserView.h"
#include "core/SettingsStore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

using corvane::BarDrop;
using corvane::PaneGrid;
using corvane::PanePos;
using corvane::SplitHit;

namespace {

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

QColor toColor(Rgb rgb)
{
    return QColor(rgbRed(rgb), rgbGreen(rgb), rgbBlue(rgb));
}

// A one-pixel frame: topLeft along the top and left, bottomRight along the
// bottom and right.
void drawFrame(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The hatched bar that shows where a split bar will go.
class SplitTracker : public QWidget
{
public:
    explicit SplitTracker(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QBrush(palette().color(QPalette::WindowText), Qt::Dense4Pattern));
    }
};

} // namespace

PaneSplitter::PaneSplitter(ViewFactory factory, SettingsStore *settings, QWidget *parent)
    : QWidget(parent), m_factory(std::move(factory)), m_settings(settings)
{
    // Only the bars and rings are the splitter's own; the cursor follows them.
    setMouseTracking(true);
    m_views[0][0] = makeView();
    setFocusProxy(m_views[0][0]);
}

PaneSplitter::~PaneSplitter() = default;

BrowserView *PaneSplitter::makeView()
{
    BrowserView *view = m_factory(this);
    const QPointer<BrowserView> guard(view);
    connect(view, &BrowserView::focusEntered, this, [this, guard] {
        if (guard)
            onViewFocused(guard);
    });
    view->show();
    return view;
}

// --- the grid ---------------------------------------------------------------------------

void PaneSplitter::splitRow(int y, NewPanes added)
{
    const bool adding = m_grid.rows() == 1;
    m_grid.splitRow(y);
    QList<BrowserView *> made;
    if (adding) {
        for (int column = 0; column < m_grid.columns(); ++column)
            made << (m_views[1][column] = makeView());
    }
    layoutPanes();
    update();
    Q_EMIT layoutChanged();
    if (added == NewPanes::OpenHomePage) {
        for (BrowserView *view : made)
            view->startFirstNavigation();
    }
}

void PaneSplitter::splitColumn(int x, NewPanes added)
{
    const bool adding = m_grid.columns() == 1;
    m_grid.splitColumn(x);
    QList<BrowserView *> made;
    if (adding) {
        for (int row = 0; row < m_grid.rows(); ++row)
            made << (m_views[row][1] = makeView());
    }
    layoutPanes();
    update();
    Q_EMIT layoutChanged();
    if (added == NewPanes::OpenHomePage) {
        for (BrowserView *view : made)
            view->startFirstNavigation();
    }
}

void PaneSplitter::removeRow(int row)
{
    if (m_grid.rows() < 2 || row < 0 || row > 1)
        return;
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    const bool activeGoes = m_grid.activePane().row == row;
    for (int column = 0; column < 2; ++column) {
        delete m_views[row][column];
        if (row == 0) {
            m_views[0][column] = m_views[1][column];
            m_views[1][column] = nullptr;
        }
    }
    m_grid.removeRow(row);
    settleAfterRemoval(hadFocus, activeGoes);
}

void PaneSplitter::removeColumn(int column)
{
    if (m_grid.columns() < 2 || column < 0 || column > 1)
        return;
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    const bool activeGoes = m_grid.activePane().column == column;
    for (int row = 0; row < 2; ++row) {
        delete m_views[row][column];
        if (column == 0) {
            m_views[row][0] = m_views[row][1];
            m_views[row][1] = nullptr;
        }
    }
    m_grid.removeColumn(column);
    settleAfterRemoval(hadFocus, activeGoes);
}

// After a row or column has gone: lays the panes out again and, when the
// active pane went with it, hands the focus and the window to the new one.
void PaneSplitter::settleAfterRemoval(bool hadFocus, bool activeGone)
{
    setFocusProxy(activeView());
    layoutPanes();
    update();
    Q_EMIT layoutChanged();
    if (activeGone) {
        if (hadFocus && activeView())
            activeView()->setFocus();
        Q_EMIT activePaneChanged(activeView());
    }
}

QSize PaneSplitter::sizeHint() const
{
    // Without a size of its own a restored window would shrink to its title
    // bar, and a page of no size keeps the engine drawing for nothing.
    return QSize(640, 480);
}

QSize PaneSplitter::minimumSizeHint() const
{
    return QSize(corvane::kPaneMinSize, corvane::kPaneMinSize);
}

void PaneSplitter::layoutPanes()
{
    for (const PanePos &pane : m_grid.panes()) {
        if (BrowserView *view = m_views[pane.row][pane.column])
            view->setGeometry(toQRect(m_grid.paneRect(pane)));
    }
}

void PaneSplitter::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_grid.setSize(width(), height());
    layoutPanes();
    if (tracking())
        moveTracker(m_trackPoint);
}

// --- panes ----------------------------------------------------------------------------------

BrowserView *PaneSplitter::pane(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_grid.rows() || column >= m_grid.columns())
        return nullptr;
    return m_views[row][column];
}

QList<BrowserView *> PaneSplitter::views() const
{
    QList<BrowserView *> all;
    for (const PanePos &p : m_grid.panes())
        if (BrowserView *view = m_views[p.row][p.column])
            all << view;
    return all;
}

BrowserView *PaneSplitter::activeView() const
{
    const PanePos p = m_grid.activePane();
    return m_views[p.row][p.column];
}

PanePos PaneSplitter::paneOf(const BrowserView *view) const
{
    for (const PanePos &p : m_grid.panes())
        if (view && m_views[p.row][p.column] == view)
            return p;
    return PanePos{-1, -1};
}

void PaneSplitter::setActivePane(int row, int column)
{
    changeActivePane(PanePos{row, column}, true);
}

void PaneSplitter::activatePreviousPane()
{
    changeActivePane(m_grid.previousPane(m_grid.activePane()), true);
}

void PaneSplitter::activateNextPane()
{
    changeActivePane(m_grid.nextPane(m_grid.activePane()), true);
}

void PaneSplitter::onViewFocused(BrowserView *view)
{
    // Only a pane the user can see can be picked by focus: the focus Qt
    // hands back to a pane while the panes are out of view (a window
    // restored behind a maximized one, coming into the hidden area) is no
    // choice of the user's, and must not move the active pane.
    if (!view->isVisible() || !m_grid.laidOut())
        return;
    const PanePos pane = paneOf(view);
    if (pane.row >= 0 && !(pane == m_grid.activePane()))
        changeActivePane(pane, false);
}

void PaneSplitter::changeActivePane(PanePos pane, bool giveFocus)
{
    const PanePos before = m_grid.activePane();
    m_grid.setActivePane(pane);
    const PanePos after = m_grid.activePane();
    // The focus the window gives its client (when it is activated again,
    // say) goes to the active pane, not to the first one.
    setFocusProxy(activeView());
    if (!(after == before)) {
        // ActiveBorder leaves the old pane and frames the new one at once.
        repaint(ringRegion(before) + ringRegion(after));
    }
    if (giveFocus && activeView())
        activeView()->setFocus();
    if (!(after == before))
        Q_EMIT activePaneChanged(activeView());
}

QRegion PaneSplitter::ringRegion(PanePos pane) const
{
    if (!m_grid.isSplit())
        return QRegion();
    return QRegion(toQRect(m_grid.borderRect(pane))) - QRegion(toQRect(m_grid.paneRect(pane)));
}

void PaneSplitter::paintEvent(QPaintEvent *event)
{
    if (!m_grid.isSplit())
        return;
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(event->rect(), pal.color(QPalette::Button));

    std::optional<PanePos> framed;
    corvane::ActiveBorderLook look;
    if (m_settings && m_settings->viewBorder3DEnabled()) {
        framed = m_grid.framedPane(true);
        look = corvane::activeBorderLook(m_settings->viewRgb(), m_settings->viewBorder3D() != 0);
    }
    for (const PanePos &pane : m_grid.panes()) {
        const QRect outer = toQRect(m_grid.borderRect(pane));
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        if (framed && *framed == pane) {
            const QColor colour = toColor(look.outer);
            drawFrame(p, outer, colour, colour);
            drawFrame(p, inner, toColor(look.innerTopLeft), toColor(look.innerBottomRight));
        } else {
            // The sunken edge every pane of a split window has.
            drawFrame(p, outer, pal.color(QPalette::Dark), pal.color(QPalette::Light));
            drawFrame(p, inner, pal.color(QPalette::Shadow), pal.color(QPalette::Button));
        }
    }
}

// --- lock and tracking ----------------------------------------------------------------------

void PaneSplitter::setLocked(bool on)
{
    const bool changed = m_locked != on;
    m_locked = on;
    if (changed)
        Q_EMIT layoutChanged();
    if (on) {
        stopTracking(false);
        unsetCursor();
    }
}

bool PaneSplitter::startKeyboardSplit()
{
    if (m_locked)
        return false;
    stopTracking(false);
    m_keyboardSplitPending = true;
    m_contextMenuReady = false;
    m_grabOffset = QPoint();
    const int half = corvane::kSplitGap / 2;
    const QPoint middle(PaneGrid::middlePosition(width()) + half,
                        PaneGrid::middlePosition(height()) + half);
    const QPoint bars(corvane::kPaneBorder + m_grid.columnPosition() + half,
                      corvane::kPaneBorder + m_grid.rowPosition() + half);
    if (m_grid.rows() > 1 && m_grid.columns() > 1)
        beginTracking(Track::Both, bars);
    else if (m_grid.rows() > 1)
        beginTracking(Track::Row, QPoint(middle.x(), bars.y()));
    else if (m_grid.columns() > 1)
        beginTracking(Track::Column, QPoint(bars.x(), middle.y()));
    else
        beginTracking(Track::Both, middle);
    // The mouse and the keys belong to the placement until it ends.
    grabMouse();
    grabKeyboard();
    m_grabbing = true;
    return true;
}

void PaneSplitter::beginTracking(Track track, const QPoint &point)
{
    m_track = track;
    if (!m_rowTracker) {
        m_rowTracker = new SplitTracker(this);
        m_columnTracker = new SplitTracker(this);
    }
    moveTracker(point);
    showTrackers();
    switch (track) {
    case Track::Row: setCursor(Qt::SplitVCursor); break;
    case Track::Column: setCursor(Qt::SplitHCursor); break;
    default: setCursor(Qt::SizeAllCursor); break;
    }
}

void PaneSplitter::moveTracker(const QPoint &point)
{
    m_trackPoint = QPoint(qBound(0, point.x(), qMax(0, width() - 1)),
                          qBound(0, point.y(), qMax(0, height() - 1)));
    const int half = corvane::kSplitGap / 2;
    if (m_rowTracker)
        m_rowTracker->setGeometry(0, m_trackPoint.y() - half, width(), corvane::kSplitGap);
    if (m_columnTracker)
        m_columnTracker->setGeometry(m_trackPoint.x() - half, 0, corvane::kSplitGap, height());
}

void PaneSplitter::showTrackers()
{
    const bool row = m_track == Track::Row || m_track == Track::Both;
    const bool column = m_track == Track::Column || m_track == Track::Both;
    if (m_rowTracker) {
        m_rowTracker->setVisible(row);
        m_rowTracker->raise();
    }
    if (m_columnTracker) {
        m_columnTracker->setVisible(column);
        m_columnTracker->raise();
    }
}

void PaneSplitter::stopTracking(bool accept)
{
    if (m_track == Track::None)
        return;
    const Track track = m_track;
    m_track = Track::None;
    showTrackers();
    if (m_grabbing) {
        releaseKeyboard();
        releaseMouse();
        m_grabbing = false;
    }
    unsetCursor();
    if (accept) {
        const int half = corvane::kSplitGap / 2;
        if (track == Track::Row || track == Track::Both) {
            const int y = m_trackPoint.y() - half;
            const BarDrop drop = PaneGrid::dropBar(y, height());
            if (drop == BarDrop::Place)
                splitRow(y);
            else if (m_grid.rows() > 1)
                removeRow(drop == BarDrop::RemoveFirst ? 0 : 1);
        }
        if (track == Track::Column || track == Track::Both) {
            const int x = m_trackPoint.x() - half;
            const BarDrop drop = PaneGrid::dropBar(x, width());
            if (drop == BarDrop::Place)
                splitColumn(x);
            else if (m_grid.columns() > 1)
                removeColumn(drop == BarDrop::RemoveFirst ? 0 : 1);
        }
    }
    m_contextMenuReady = true;
    if (m_keyboardSplitPending) {
        m_keyboardSplitPending = false;
        Q_EMIT keyboardSplitEnded();
    }
}

void PaneSplitter::updateCursor(const QPoint &pos)
{
    if (m_locked) {
        unsetCursor();
        return;
    }
    switch (m_grid.hitTest(pos.x(), pos.y())) {
    case SplitHit::RowBar: setCursor(Qt::SplitVCursor); break;
    case SplitHit::ColumnBar: setCursor(Qt::SplitHCursor); break;
    case SplitHit::Intersection: setCursor(Qt::SizeAllCursor); break;
    default: unsetCursor(); break;
    }
}

void PaneSplitter::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (tracking()) {
        moveTracker(pos - m_grabOffset);
        return;
    }
    updateCursor(pos);
}

void PaneSplitter::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (tracking())
            stopTracking(false);
        else if (m_contextMenuReady)
            Q_EMIT splitMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || tracking() || m_locked)
        return;
    const int half = corvane::kSplitGap / 2;
    const QPoint bars(corvane::kPaneBorder + m_grid.columnPosition() + half,
                      corvane::kPaneBorder + m_grid.rowPosition() + half);
    switch (m_grid.hitTest(pos.x(), pos.y())) {
    case SplitHit::RowBar:
        m_grabOffset = QPoint(0, pos.y() - bars.y());
        beginTracking(Track::Row, QPoint(pos.x(), bars.y()));
        break;
    case SplitHit::ColumnBar:
        m_grabOffset = QPoint(pos.x() - bars.x(), 0);
        beginTracking(Track::Column, QPoint(bars.x(), pos.y()));
        break;
    case SplitHit::Intersection:
        m_grabOffset = pos - bars;
        beginTracking(Track::Both, bars);
        break;
    default:
        break;
    }
}

void PaneSplitter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && tracking()) {
        m_grabOffset = QPoint();
        stopTracking(true);
    }
}

void PaneSplitter::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_locked || event->button() != Qt::LeftButton)
        return;
    stopTracking(false);
    // The row or column without the active pane goes.
    const QPoint pos = event->position().toPoint();
    const PanePos active = m_grid.activePane();
    const SplitHit hit = m_grid.hitTest(pos.x(), pos.y());
    if (hit == SplitHit::RowBar || hit == SplitHit::Intersection)
        removeRow(active.row == 0 ? 1 : 0);
    if (hit == SplitHit::ColumnBar || hit == SplitHit::Intersection)
        removeColumn(active.column == 0 ? 1 : 0);
}

void PaneSplitter::keyPressEvent(QKeyEvent *event)
{
    if (!tracking()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int step = (event->modifiers() & Qt::ControlModifier) ? corvane::kKeyboardSplitFineStep
                                                                  : corvane::kKeyboardSplitStep;
    switch (event->key()) {
    case Qt::Key_Escape: stopTracking(false); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: stopTracking(true); break;
    case Qt::Key_Left: moveTracker(m_trackPoint - QPoint(step, 0)); break;
    case Qt::Key_Right: moveTracker(m_trackPoint + QPoint(step, 0)); break;
    case Qt::Key_Up: moveTracker(m_trackPoint - QPoint(0, step)); break;
    case Qt::Key_Down: moveTracker(m_trackPoint + QPoint(0, step)); break;
    default: break;
    }
}

#pragma once

#include "core/TabStyle.h"

#include <QBasicTimer>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QMdiArea;
class QMdiSubWindow;
class QToolButton;

// The window tabs: one tab per visible browser window with the window's icon
// and title, around the MDI area. The bar covers the room its parent gives
// the MDI area and places the area inside what its ring, tab strip and frame
// leave. A click on a tab activates its window, a double click maximises it
// or restores the active maximised one, and dragging anything over a tab
// activates its window (nothing can be dropped). Tabs are drawn as tabs or
// buttons, above or below the windows, in one scrolling row or stacked in as
// many rows as they need.
//
// The bar keeps in step with the windows by a 500 ms tick, which covers
// title, icon and visibility changes, and at once when the area adds,
// removes or activates a window or changes size. The tick runs while a
// window has reported such a change and rests otherwise, so an idle program
// does no work for its tabs; a pass that finds nothing changed repaints
// nothing.
class WindowTabBar : public QWidget
{
    Q_OBJECT
public:
    // area is not owned; it must be a sibling of the bar (same parent).
    WindowTabBar(QMdiArea *area, const corvane::TabStyle &style, QWidget *parent);
    ~WindowTabBar() override;

    const corvane::TabStyle &tabStyle() const { return m_style; }

    // --- tabs, in tab order ------------------------------------------------------------
    int count() const { return int(m_items.size()); }
    QString tabText(int index) const;
    QIcon tabIcon(int index) const;
    QMdiSubWindow *tabWindow(int index) const;
    // The selected tab; -1 for none.
    int currentIndex() const { return m_selected; }
    int indexOf(const QMdiSubWindow *window) const;
    // The rows the tabs take (1 unless stacked).
    int rowCount() const { return m_rows; }
    // A tab's rectangle in the bar (empty when scrolled out), and the tab
    // at a point (-1 for none).
    QRect tabRect(int index) const;
    int tabAt(const QPoint &pos) const;
    // Where the MDI area goes, in the bar.
    QRect displayRect() const { return m_display; }

    // Brings the tabs in step with the windows: titles and icons, hidden
    // windows' tabs out, new windows' tabs in when addNew, the active
    // window's tab selected.
    void updateTabs(bool addNew = true);
    // Lays out the strip and places the MDI area.
    void layoutClient();
    // How many passes changed something (for the idle check).
    int changeCount() const { return m_changes; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Item
    {
        QPointer<QMdiSubWindow> window;
        const QObject *key = nullptr; // the window, also while it is being destroyed
        QString title;
        QIcon icon;
        qint64 iconKey = 0;
        int width = 0; // natural width
    };

    QString titleOf(QMdiSubWindow *window) const;
    static qint64 iconKeyOf(const QIcon &icon);
    int naturalWidth(const Item &item) const;
    int rowHeight() const;
    void addTab(QMdiSubWindow *window, const QString &title);
    void removeTab(int index);
    void removeTabOf(const QObject *window);
    void select(int index);
    // A click picked another tab: its window becomes active.
    void onTabPicked(int index);
    void activateWindowAt(int index);
    // Something a tab shows may have changed: the tick runs.
    void noteChange();
    void postUpdate();
    void scrollBy(int tabs);
    void drawTab(QPainter &p, int index) const;

    QPointer<QMdiArea> m_area;
    corvane::TabStyle m_style;
    QList<Item> m_items;
    QList<QPointer<QMdiSubWindow>> m_pending; // added to the area, no tab yet
    QList<QRect> m_tabRects; // as laid out, also where scrolled out
    QList<int> m_tabRows;
    QBasicTimer m_tick; // every 500 ms while there is a change to pick up
    QToolButton *m_scrollLeft = nullptr;
    QToolButton *m_scrollRight = nullptr;
    QRect m_display;
    QRect m_strip;
    int m_selected = -1;
    int m_hovered = -1;
    int m_rows = 1;
    int m_firstShown = 0;
    int m_changes = 0;
    bool m_followSelected = true; // the row scrolls to the selected tab
    bool m_dirty = false; // the area changed size
    bool m_updatePosted = false;
};

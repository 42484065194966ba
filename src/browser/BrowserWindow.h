#pragma once

#include <QMdiSubWindow>
#include <QRect>

class BrowserDocument;
class BrowserHost;
class BrowserView;
class PaneSplitter;

// The MDI child that holds one browser window: its document and the splitter
// with the document's views. The window is created maximised when
// ChildMaximized is on, and every resize stores whether it is maximised, so
// the last window resized decides how the next one opens.
class BrowserWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    // The first pane's view is made at once, its control from the host; its
    // first navigation is the opener's to start.
    explicit BrowserWindow(BrowserHost &host, QWidget *parent = nullptr);
    ~BrowserWindow() override;

    BrowserDocument *document() const { return m_doc; }
    PaneSplitter *splitter() const { return m_splitter; }
    // The view of the first pane.
    BrowserView *view() const;
    // The view of the active pane: the one the window's commands go to.
    // nullptr while the window is being made.
    BrowserView *activeView() const;
    // Where the window lies in the MDI area while neither maximized nor
    // minimized (the last such place); invalid while it has never been
    // shown that way.
    QRect normalPlacement() const { return m_normalPlacement; }
    // Puts the window at this place for when it is neither maximized nor
    // minimized, and keeps it as that place at once: a window still out of
    // view (a workspace's, in a hidden area) gets its move and resize only
    // when shown, maximized by then.
    void setNormalPlacement(const QRect &place);
    // Wholly covered by a maximized window in front: the panes are hidden,
    // so the engine draws none of their pages, until uncovered. A minimized
    // window is left alone: the area hides and shows its panes itself.
    // Neither makes the window active.
    void setPanesCovered(bool covered);
    bool panesCovered() const;
    // The window has just become the active one: when the keyboard focus
    // went to the window itself (its panes were hidden as it was made
    // active) or stays on a hidden part of it, the active pane's page takes
    // it, keeping the place it had inside the page.
    void focusActivePane();

Q_SIGNALS:
    // Another pane became active.
    void activeViewChanged(BrowserView *view);
    // The splitter's menu is asked for at this screen point.
    void splitMenuRequested(const QPoint &globalPos);
    // The window moved, was resized, maximized, minimized or restored.
    void placementChanged();

protected:
    // A hidden window, or one whose panes are covered, passes the focus on
    // to none of its panes (see the .cpp).
    bool focusNextPrevChild(bool next) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    BrowserView *createView(QWidget *parent);
    void noteNormalPlacement();
    void updateCaption();
    void updateIcon();
    void storeMaximized();
    // After a keyboard split: the window shown again in the state
    // ChildMaximized names, with the main window's painting held meanwhile.
    void repairLayout();

    BrowserHost &m_host;
    BrowserDocument *m_doc = nullptr;
    PaneSplitter *m_splitter = nullptr;
    QRect m_normalPlacement;
};

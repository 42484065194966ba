#pragma once

#include <QList>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>

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
    // Covered panes are shown once more for a moment, under the window in
    // front, a second after they were covered (or their page came in while
    // covered) with nothing changed for them since, then covered again:
    // hidden before the engine drew them as they are now (at the normal
    // size the area restores the window it covers to, a new page), they kept
    // its display compositor waking 60 times a second for good. They stay
    // shown until each page has been drawn and kSettleAfterDrawnMs more (a
    // fixed moment was too short on a busy machine, where the engine's
    // pictures come late), kSettleShowMaxMs at most, and count as covered
    // meanwhile.
    void setPanesCovered(bool covered);
    bool panesCovered() const;
    // A pane's page came in (its load ended); covered, the panes settle.
    void settleIfCovered();
    static constexpr int kSettleDelayMs = 1000;
    static constexpr int kSettleShowMaxMs = 3000;
    static constexpr int kSettleAfterDrawnMs = 500;
    // The window has just become the active one: when the keyboard focus
    // went to the window itself (its panes were hidden as it was made
    // active) or stays on a hidden part of it, the active pane's page takes
    // it, keeping the place it had inside the page.
    void focusActivePane();

    // --- closing -----------------------------------------------------------------
    // A close of the user's (Close, Close All, the window's close button,
    // Exit) asks each page first, one after another, as leaving it by a
    // navigation does: a page's beforeunload may ask the user, and a page
    // kept open keeps the window (closeRefused). Closes of the program's
    // own go without asking (closeWithoutAsking); so does every close once
    // the program is ending (a SIGTERM, the end of the session).
    enum class PagesAnswer { MayClose, Stay, Pending };
    // Asks the pages without closing: MayClose or Stay when every page
    // answered at once; Pending when done(mayClose) follows. A second
    // round while one runs is Pending and gets no answer of its own.
    PagesAnswer askPagesToClose(std::function<void(bool mayClose)> done = {});
    bool askingPages() const { return m_askingPages; }
    // Closes the window as it is: a page's own window.close(), a refused
    // popup, a workspace loaded in its place, the program's exit.
    void closeWithoutAsking();
    // The window in front of the area, with view as its active pane.
    void bringForward(BrowserView *view);

Q_SIGNALS:
    // Another pane became active.
    void activeViewChanged(BrowserView *view);
    // The splitter's menu is asked for at this screen point.
    void splitMenuRequested(const QPoint &globalPos);
    // The window moved, was resized, maximized, minimized or restored.
    void placementChanged();
    // A close was asked for and a page kept itself open.
    void closeRefused();

protected:
    // A hidden window, or one whose panes are covered, passes the focus on
    // to none of its panes (see the .cpp).
    bool focusNextPrevChild(bool next) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The close, once approved.
    void closeInArea(QCloseEvent *event);

private:
    void settleCoveredPanes();
    BrowserView *createView(QWidget *parent);
    void noteNormalPlacement();
    void updateCaption();
    void updateIcon();
    void storeMaximized();
    // After a keyboard split: the window shown again in the state
    // ChildMaximized names, with the main window's painting held meanwhile.
    void repairLayout();
    // Asks the pages left in m_pagesToAsk, up to one whose answer is pending.
    PagesAnswer askRemainingPages();
    void onPageCloseAnswered(BrowserView *view, bool mayClose);

    BrowserHost &m_host;
    BrowserDocument *m_doc = nullptr;
    PaneSplitter *m_splitter = nullptr;
    QRect m_normalPlacement;
    QList<QPointer<BrowserView>> m_pagesToAsk;
    QPointer<BrowserView> m_waitingFor; // the page whose answer is pending
    std::function<void(bool)> m_pagesDone;
    bool m_askingPages = false;
    bool m_closeApproved = false;
    // Covered panes settling (setPanesCovered).
    QTimer m_settle;
    bool m_settling = false;
    int m_settleRound = 0; // a new one for each showing; answers to old ones are stale
    int m_settleWaits = 0; // panes of this showing not drawn yet
};

// Workspaces in the main window: capturing the main window and every browser
// window (split ones with their panes) as a workspace record, and loading a
// record back. The record, its
// text and the capture order are core's (corvane::Workspace); this file
// reads and sets the windows.
#include "mainframe/MainWindow.h"

#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/PaneGrid.h"
#include "core/Rect.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "ui/StoredQString.h"
#include "ui/WindowPlatform.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

using corvane::PanePos;
using corvane::Workspace;
using corvane::WorkspacePane;
using corvane::WorkspaceWindow;

namespace {

Rect toRect(const QRect &r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

bool isMinimizedShowCmd(int showCmd)
{
    return showCmd == 2 || showCmd == 6 || showCmd == 7;
}

// The page a view shows for a capture: its address (or, while the first
// one is still on its way, the address it goes to), its scroll position
// and AutoRefresh.
struct PageState
{
    std::string url;
    int scrollLeft = 0;
    int scrollTop = 0;
    int autoRefresh = 0;
    int refreshMinutes = 2;
    int refreshSeconds = 0;
};

PageState pageState(const BrowserView *view)
{
    PageState page;
    page.url = WorkspaceWindow().url;
    if (!view)
        return page;
    BrowserControl *control = view->control();
    QString url = control ? control->pageUrl() : QString();
    if (url.isEmpty())
        url = view->currentNavigationAddress();
    if (!url.isEmpty())
        page.url = corvane::toStoredText(url);
    // A restored position the page has not reached yet (it is still
    // loading, the engine has not scrolled yet, or the view has not been in
    // sight since it was restored, so its page has no room of its own) is
    // the one to keep.
    const QPoint scroll = control ? control->scrollPosition() : QPoint();
    if (view->hasSavedScrollPosition() && (view->navigating() || scroll.isNull() || !view->seenAtSize())) {
        page.scrollLeft = view->savedScrollLeft();
        page.scrollTop = view->savedScrollTop();
    } else {
        page.scrollLeft = scroll.x();
        page.scrollTop = scroll.y();
    }
    page.autoRefresh = view->autoRefreshOn() ? 1 : 0;
    page.refreshMinutes = view->autoRefreshMinutes();
    page.refreshSeconds = view->autoRefreshSeconds();
    return page;
}

WorkspaceWindow captureWindow(const BrowserWindow *window)
{
    WorkspaceWindow entry;
    const QRect normal = window->normalPlacement();
    if (normal.isValid()) {
        entry.setPlace(toRect(normal));
    }
    entry.showCmd = window->isMaximized() ? 3 : window->isMinimized() ? 2 : 1;

    // A split window: its positions, active pane and lock, then its panes
    // from the active one back through the others.
    const PaneSplitter *splitter = window->splitter();
    if (splitter && splitter->isSplit()) {
        // A window not laid out since it was restored out of view has the
        // positions it was restored with.
        const corvane::PaneGrid &grid = splitter->grid();
        const corvane::SplitPositions split = corvane::capturedSplitPositions(
            grid.rows(), grid.columns(), grid.recordedRowPosition(), grid.recordedColumnPosition());
        entry.rowSplit = split.rowSplit;
        entry.colSplit = split.colSplit;
        entry.activeRow = splitter->activePane().row;
        entry.activeCol = splitter->activePane().column;
        entry.splitterLocked = splitter->locked() ? 1 : 0;
        for (const PanePos &p : splitter->grid().panesFromActive()) {
            const PageState page = pageState(splitter->pane(p.row, p.column));
            entry.panes.push_back(WorkspacePane{page.url, page.autoRefresh, page.refreshMinutes,
                                                page.refreshSeconds, page.scrollLeft, page.scrollTop});
        }
        return entry;
    }

    const PageState page = pageState(window->activeView());
    entry.url = page.url;
    entry.scrollLeft = page.scrollLeft;
    entry.scrollTop = page.scrollTop;
    entry.autoRefresh = page.autoRefresh;
    entry.refreshMinutes = page.refreshMinutes;
    entry.refreshSeconds = page.refreshSeconds;
    return entry;
}

// Hands a view its page from a record: AutoRefresh (its timer starts when
// the page has loaded), the address, and the scroll position it takes once
// the page is there.
// A view whose window opened at the page already (Opened) is not sent there
// again.
enum class PageStart { Navigate, Opened };
void restorePage(BrowserView *view, const std::string &url, int autoRefresh, int minutes, int seconds,
                 int scrollLeft, int scrollTop, PageStart start = PageStart::Navigate)
{
    view->setAutoRefresh(minutes, seconds, autoRefresh != 0);
    if (start == PageStart::Navigate)
        view->navigate(corvane::fromStoredText(url));
    view->setSavedScrollPosition(scrollLeft, scrollTop);
}

// A split window's panes from a record: the splits at the stored positions
// (the splitter keeps them within the window), the active pane, the lock,
// then each pane's page from the active one back through the others. A pane
// the record does not describe opens the home page. opened: the first pane
// opened at its stored page already.
void restoreSplit(BrowserWindow *window, const WorkspaceWindow &entry, bool opened)
{
    PaneSplitter *splitter = window->splitter();
    const corvane::SplitPositions split = corvane::restoredSplitPositions(entry);
    if (split.rowSplit >= 0)
        splitter->splitRow(split.rowSplit, PaneSplitter::NewPanes::LeaveEmpty);
    if (split.colSplit >= 0)
        splitter->splitColumn(split.colSplit, PaneSplitter::NewPanes::LeaveEmpty);
    splitter->setActivePane(entry.activeRow, entry.activeCol);
    splitter->setContextMenuReady(true);
    splitter->setLocked(entry.splitterLocked != 0);

    const std::vector<PanePos> order = splitter->grid().panesFromActive();
    for (std::size_t i = 0; i < order.size(); ++i) {
        BrowserView *view = splitter->pane(order[i].row, order[i].column);
        if (!view)
            continue;
        if (i < entry.panes.size()) {
            const WorkspacePane &pane = entry.panes[i];
            restorePage(view, pane.url, pane.autoRefresh, pane.refreshMinutes, pane.refreshSeconds,
                        pane.scrollLeft, pane.scrollTop,
                        view == window->view() && opened ? PageStart::Opened : PageStart::Navigate);
        } else if (view != window->view()) {
            // The first pane has its page from the window's opening.
            view->startFirstNavigation();
        }
    }
}

// The screen a stored main window rectangle belongs on: the one holding its
// centre, else the primary one.
QRect workAreaFor(const Rect &stored)
{
    const QPoint centre(int((static_cast<long long>(stored.left) + stored.right) / 2),
                        int((static_cast<long long>(stored.top) + stored.bottom) / 2));
    QScreen *screen = QGuiApplication::screenAt(centre);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

// --- capture -------------------------------------------------------------------------

QList<BrowserWindow *> MainWindow::browserWindowsInVisitingOrder() const
{
    QList<BrowserWindow *> visited;
    if (!m_mdi)
        return visited;
    // The active window, then the others from the most recently active on:
    // what "next window" reaches one after the other. Windows not shown (a
    // popup waiting for its decision, a window closing) are not part of it.
    auto add = [&visited](QMdiSubWindow *w) {
        auto *window = qobject_cast<BrowserWindow *>(w);
        if (window && !window->isHidden() && !visited.contains(window))
            visited.append(window);
    };
    add(m_mdi->currentSubWindow());
    const QList<QMdiSubWindow *> history = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        add(*it);
    return visited;
}

Workspace MainWindow::captureWorkspace(const std::string &name, int startup) const
{
    Workspace workspace;
    // The main window: its normal rectangle on the screen and whether it is
    // maximized (a minimized one counts as normal).
    QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!normal.isValid())
        normal = geometry();
    workspace.setPlace(placementToStore(toRect(normal), m_givenPlace, platformReportsWindowPositions()));
    workspace.showCmd = isMaximized() ? 3 : 1;
    workspace.toolBar = m_toolBarVisible ? 1 : 0;
    workspace.statusBar = m_statusBarVisible ? 1 : 0;
    workspace.addressBar = m_addressBarVisible ? 1 : 0;
    workspace.tabs = m_tabsVisible ? 1 : 0;
    workspace.name = name;
    workspace.startup = startup;

    std::vector<std::string> visited;
    for (const BrowserWindow *window : browserWindowsInVisitingOrder())
        visited.push_back(captureWindow(window).entryText());
    workspace.setWindows(corvane::orderCapturedWindows(std::move(visited)));
    workspace.empty = false;
    return workspace;
}

// --- loading -------------------------------------------------------------------------

void MainWindow::closeAllWindowsNow()
{
    if (!m_mdi)
        return;
    m_closingAll = false;
    for (QMdiSubWindow *window : m_mdi->subWindowList()) {
        if (auto *browser = qobject_cast<BrowserWindow *>(window))
            browser->closeWithoutAsking();
        else
            window->close();
    }
}

BrowserWindow *MainWindow::openWorkspaceWindow(const WorkspaceWindow &entry)
{
    // A window as New opens it, at its first pane's page rather than the
    // home page.
    const int before = int(m_mdi->subWindowList().size());
    const std::string first = corvane::firstPaneUrl(entry);
    if (first.empty())
        Q_EMIT newWindowRequested();
    else
        Q_EMIT newWindowAtRequested(corvane::fromStoredText(first));
    const bool opened = !first.empty();
    BrowserWindow *window = activeBrowserWindow();
    if (!window || int(m_mdi->subWindowList().size()) == before || !window->activeView())
        return nullptr;

    // Its place within reach in the MDI area: stored places up to the size
    // of the screen are kept as they are (the main window may still be
    // growing to its own stored size). A place with no part in the area
    // leaves the window where it opened.
    QSize room = m_mdi->viewport()->size();
    if (const QScreen *screen = this->screen())
        room = room.expandedTo(screen->availableGeometry().size());
    const std::optional<Rect> place =
        placeOnArea(entry.place(), Rect{0, 0, room.width(), room.height()}, kUsableBrowserWindow);
    if (window->isMaximized() || window->isMinimized())
        window->showNormal();
    if (place)
        window->setNormalPlacement(toQRect(*place));
    if (entry.showCmd == 3)
        window->showMaximized();
    else if (isMinimizedShowCmd(entry.showCmd))
        window->showMinimized();

    if (entry.isSplit())
        restoreSplit(window, entry, opened);
    else
        // Without a page of its own the window stays at the home page it
        // opened at.
        restorePage(window->activeView(), entry.url, entry.autoRefresh, entry.refreshMinutes,
                    entry.refreshSeconds, entry.scrollLeft, entry.scrollTop,
                    opened || entry.url.empty() ? PageStart::Opened : PageStart::Navigate);
    return window;
}

void MainWindow::loadWorkspace(const Workspace &workspace, bool keepWindows)
{
    if (!m_mdi)
        return;
    // 1. Painting waits for the end (start-up holds it already).
    m_loadingWorkspace = true;
    const bool holdPainting = updatesEnabled();
    if (holdPainting)
        setUpdatesEnabled(false);
    QMdiSubWindow *front = m_mdi->currentSubWindow();
    // The windows join a hidden MDI area and come into view together, each
    // at its final place and state, with the stored one in front. In a
    // shown area every window and its page came into view as it opened,
    // first at its normal place, then maximized, each step laid out and
    // drawn: about a third of a second a window on a loaded machine.
    const bool hideArea = !m_mdi->isHidden();
    if (hideArea)
        m_mdi->hide();

    // 2. The windows open now go, without questions.
    if (!keepWindows)
        closeAllWindowsNow();

    // 3. An empty record loads nothing more.
    if (!workspace.empty) {
        if (!keepWindows) {
            // 4. The bars as stored; the tabs wait for the end.
            if (m_addressBarVisible != (workspace.addressBar != 0))
                toggleAddressBar();
            if (m_toolBarVisible != (workspace.toolBar != 0))
                toggleToolBar();
            if (m_statusBarVisible != (workspace.statusBar != 0))
                toggleStatusBar();
            if (m_tabsVisible)
                toggleTabs();

            // 5. The main window's place, usable on its screen; one with no
            // part on the screen leaves the window where it is.
            const Rect stored = workspace.place();
            m_givenPlace = stored;
            const std::optional<Rect> place =
                placeOnArea(stored, toRect(workAreaFor(stored)), kUsableMainWindow);
            if (workspace.showCmd == 3) {
                if (!isMaximized() && place)
                    setGeometry(toQRect(*place));
                showMaximized();
            } else {
                if (isMaximized() || isMinimized())
                    showNormal();
                if (place)
                    setGeometry(toQRect(*place));
            }
        }

        // 6. The windows, each with its place and its page. A window made
        // active keeps its own state: activating one does not maximize it
        // because the one before was.
        const bool maximizeOnActivation =
            !m_mdi->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
        m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
        BrowserWindow *first = nullptr;
        for (const auto &[number, text] : workspace.windowMap()) {
            BrowserWindow *window = openWorkspaceWindow(WorkspaceWindow::parse(text));
            if (!first)
                first = window;
        }

        // 8. The first window stored is the active one, unless a window
        // opened before stays in front.
        QMdiSubWindow *active = keepWindows && front ? front : first;
        if (active)
            m_mdi->setActiveSubWindow(active);

        // 7. The tabs as stored, made once the stack is final: they come in
        // its order, from the active window down.
        if (!keepWindows && m_tabsVisible != (workspace.tabs != 0))
            toggleTabs();

        // Only what the front windows leave uncovered comes into view: the
        // pages behind a maximized window are not drawn until uncovered.
        // (The activations as the area comes into view ask for the update
        // again, once they are done.)
        updateCoveredWindows(active);
        if (hideArea) {
            m_mdi->show();
            // A hidden area takes no activation: it comes into view with the
            // window opened last as the active one (the stored one is raised
            // already); activation follows, still without maximizing.
            if (active && m_mdi->currentSubWindow() != active)
                m_mdi->setActiveSubWindow(active);
        }
        m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !maximizeOnActivation);
    }

    if (hideArea && m_mdi->isHidden())
        m_mdi->show();

    // 9.
    if (holdPainting)
        setUpdatesEnabled(true);
    m_loadingWorkspace = false;
    updateCommandUI();
}

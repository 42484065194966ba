// Workspaces in the main window: what a capture records of the windows, how
// a workspace loads, the start-up restore and the "default" saved at exit.
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "mainframe/MainWindow.h"
#include "mainframe/WindowTabBar.h"
#include "support/AppHarness.h"
#include "support/Eventually.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>

namespace cmd = corvane::cmd;
using corvane::PanePos;
using corvane::Workspace;
using corvane::WorkspacePane;
using corvane::WorkspaceWindow;

namespace {

class WorkspacesTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setChildMaximized(0);
        });
    }

    static FakeBrowserControl *controlOf(const BrowserWindow *window)
    {
        return static_cast<FakeBrowserControl *>(window->activeView()->control());
    }

    // A new window showing a page, as if it had loaded.
    BrowserWindow *openPage(const QString &url)
    {
        mainWindow()->runCommand(cmd::New);
        BrowserWindow *window = mainWindow()->activeBrowserWindow();
        controlOf(window)->setLocation(url, url);
        return window;
    }

    QList<BrowserWindow *> shownWindows() const
    {
        QList<BrowserWindow *> shown;
        for (QMdiSubWindow *w : mainWindow()->mdiArea()->subWindowList())
            if (!w->isHidden())
                shown << qobject_cast<BrowserWindow *>(w);
        return shown;
    }

    static QStringList urls(const Workspace &workspace)
    {
        QStringList out;
        for (const auto &[number, text] : workspace.windowMap())
            out << QString::fromStdString(WorkspaceWindow::parse(text).url);
        return out;
    }

    static WorkspaceWindow entry(const std::string &url, int showCmd = 1)
    {
        WorkspaceWindow w;
        w.url = url;
        w.showCmd = showCmd;
        return w;
    }

    // Reports every widget coming into view while it lives.
    class ShowWatch : public QObject
    {
    public:
        explicit ShowWatch(std::function<void(QObject *)> onShow) : m_onShow(std::move(onShow))
        {
            qApp->installEventFilter(this);
        }
        ~ShowWatch() override { qApp->removeEventFilter(this); }

    protected:
        bool eventFilter(QObject *object, QEvent *event) override
        {
            if (event->type() == QEvent::Show)
                m_onShow(object);
            return false;
        }

    private:
        std::function<void(QObject *)> m_onShow;
    };

    static Workspace workspaceOf(const std::vector<WorkspaceWindow> &windows)
    {
        Workspace ws;
        ws.empty = false;
        std::vector<std::string> entries;
        for (const WorkspaceWindow &w : windows)
            entries.push_back(w.entryText());
        ws.setWindows(entries);
        return ws;
    }
};

} // namespace

TEST_F(WorkspacesTest, CaptureStoresTheActiveWindowFirstThenTheOthersInReverseVisitingOrder)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    mainWindow()->closeActiveWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mainWindow()->captureWorkspace("x", 0).windows, "none") << "no window: none";

    // Opened W3, W2, W1: the next-window order from W1 is W1, W2, W3.
    BrowserWindow *w3 = openPage(QStringLiteral("http://w3.example/"));
    openPage(QStringLiteral("http://w2.example/"));
    BrowserWindow *w1 = openPage(QStringLiteral("http://w1.example/"));
    EXPECT_EQ(mainWindow()->browserWindowsInVisitingOrder().first(), w1);
    Workspace captured = mainWindow()->captureWorkspace("three", 1);
    EXPECT_EQ(captured.name, "three");
    EXPECT_EQ(captured.startup, 1);
    EXPECT_FALSE(captured.empty);
    EXPECT_EQ(urls(captured), (QStringList{QStringLiteral("http://w1.example/"), QStringLiteral("http://w3.example/"),
                                           QStringLiteral("http://w2.example/")}));

    // Loaded and captured again, the order and the active window hold.
    mainWindow()->loadWorkspace(captured);
    EXPECT_EQ(controlOf(mainWindow()->activeBrowserWindow())->operations(QStringLiteral("navigate")).last(),
              QStringLiteral("navigate http://w1.example/"));
    for (BrowserWindow *w : shownWindows())
        controlOf(w)->setLocation(QString(), controlOf(w)->operations(QStringLiteral("navigate")).last().mid(9));
    EXPECT_EQ(urls(mainWindow()->captureWorkspace("again", 0)), urls(captured));

    // Two windows: the active one, then the other.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shownWindows().size(), 3);
    EXPECT_FALSE(shownWindows().contains(w3)) << "the windows open before loading are gone";
    mainWindow()->closeActiveWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(shownWindows().size(), 2);
    const QStringList two = urls(mainWindow()->captureWorkspace("two", 0));
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two.first(), controlOf(mainWindow()->activeBrowserWindow())->pageUrl());
}

TEST_F(WorkspacesTest, CaptureRecordsPlacePageScrollAndAutoRefreshAndLoadGivesThemBack)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(900, 700);
    BrowserWindow *first = main->activeBrowserWindow();
    controlOf(first)->setLocation(QStringLiteral("Scrolled"), QStringLiteral("http://scrolled.example/a|b"));
    controlOf(first)->setScroll(QPoint(5, 1200));
    first->activeView()->setAutoRefresh(1, 30, true);
    first->showNormal();
    first->setGeometry(20, 30, 400, 300);
    BrowserWindow *second = openPage(QStringLiteral("http://second.example/"));
    second->showMaximized();
    main->toggleStatusBar();

    const Workspace captured = main->captureWorkspace("default", 0);
    EXPECT_EQ(captured.statusBar, 0);
    EXPECT_EQ(captured.toolBar, 1);
    EXPECT_EQ(captured.showCmd, 1);
    const std::map<int, std::string> map = captured.windowMap();
    ASSERT_EQ(map.size(), 2u);
    const WorkspaceWindow maximized = WorkspaceWindow::parse(map.at(1));
    EXPECT_EQ(maximized.showCmd, 3);
    const WorkspaceWindow normal = WorkspaceWindow::parse(map.at(2));
    EXPECT_EQ(normal.url, "http://scrolled.example/a%7Cb") << "a bar in an address is kept readable";
    EXPECT_EQ(normal.showCmd, 1);
    EXPECT_EQ((std::vector<int>{normal.left, normal.top, normal.right, normal.bottom}),
              (std::vector<int>{20, 30, 420, 330}));
    EXPECT_EQ((std::vector<int>{normal.scrollLeft, normal.scrollTop}), (std::vector<int>{5, 1200}));
    EXPECT_EQ((std::vector<int>{normal.autoRefresh, normal.refreshMinutes, normal.refreshSeconds}),
              (std::vector<int>{1, 1, 30}));

    // Loading closes what is open and brings all of it back.
    main->toggleStatusBar();
    main->toggleToolBar();
    main->loadWorkspace(captured);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(main->statusBarVisible());
    EXPECT_TRUE(main->toolBarVisible());
    const QList<BrowserWindow *> windows = shownWindows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_FALSE(windows.contains(first));
    BrowserWindow *back = windows.at(1);
    EXPECT_EQ(main->activeBrowserWindow(), windows.at(0)) << "the first stored window is active";
    EXPECT_TRUE(windows.at(0)->isMaximized());
    EXPECT_FALSE(back->isMaximized()) << "making the other window active did not maximize it";
    EXPECT_EQ(back->geometry(), QRect(20, 30, 400, 300));
    BrowserView *view = back->activeView();
    FakeBrowserControl *control = controlOf(back);
    EXPECT_EQ(control->operations(QStringLiteral("navigate")).last(),
              QStringLiteral("navigate http://scrolled.example/a%7Cb"));
    EXPECT_TRUE(view->autoRefreshOn());
    EXPECT_EQ(view->autoRefreshMinutes(), 1);
    EXPECT_EQ(view->autoRefreshSeconds(), 30);
    EXPECT_FALSE(view->autoRefreshTimerActive()) << "AutoRefresh runs once the page has loaded";
    // The scroll position is applied as the page loads, then once it is there.
    control->clearOperations();
    control->fireNavigationStarting(QStringLiteral("http://scrolled.example/a%7Cb"));
    control->fireProgress(50, 100);
    control->fireDocumentComplete(QStringLiteral("http://scrolled.example/a%7Cb"));
    EXPECT_EQ(control->operations(QStringLiteral("setScrollPosition")),
              (QStringList{QStringLiteral("setScrollPosition 5,1200"), QStringLiteral("setScrollPosition 5,1200")}));
    EXPECT_TRUE(view->autoRefreshTimerActive());

    // A capture while the page has not scrolled yet keeps the stored place.
    control->setScroll(QPoint());
    const WorkspaceWindow again = WorkspaceWindow::parse(main->captureWorkspace("x", 0).windowMap().at(2));
    EXPECT_EQ(again.scrollTop, 1200);
}

TEST_F(WorkspacesTest, ASplitWindowComesBackWithItsPanesPositionsActivePaneAndLock)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(1000, 800);
    BrowserWindow *window = main->activeBrowserWindow();
    window->showNormal();
    window->setGeometry(10, 10, 700, 500);
    PaneSplitter *splitter = window->splitter();
    splitter->splitRow(150);
    splitter->splitColumn(300);
    ASSERT_EQ(splitter->views().size(), 4);
    const QString pages[2][2] = {{QStringLiteral("http://p00.example/"), QStringLiteral("http://p01.example/")},
                                 {QStringLiteral("http://p10.example/"), QStringLiteral("http://p11.example/")}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            static_cast<FakeBrowserControl *>(splitter->pane(r, c)->control())->setLocation(pages[r][c], pages[r][c]);
    splitter->pane(0, 1)->setAutoRefresh(0, 5, true);
    static_cast<FakeBrowserControl *>(splitter->pane(1, 1)->control())->setScroll(QPoint(0, 900));
    splitter->setActivePane(1, 0);
    splitter->setLocked(true);
    openPage(QStringLiteral("http://plain.example/"));
    main->mdiArea()->setActiveSubWindow(window);

    // The split entry: positions with the bar, the active pane, the lock, and
    // the panes from the active one back through the others.
    const Workspace captured = main->captureWorkspace("split", 0);
    const WorkspaceWindow stored = WorkspaceWindow::parse(captured.windowMap().at(1));
    ASSERT_TRUE(stored.isSplit());
    EXPECT_EQ(stored.rowSplit, splitter->rowPosition() + 2);
    EXPECT_EQ(stored.colSplit, splitter->columnPosition() + 2);
    EXPECT_EQ((std::vector<int>{stored.activeRow, stored.activeCol, stored.splitterLocked}),
              (std::vector<int>{1, 0, 1}));
    QStringList order;
    for (const WorkspacePane &pane : stored.panes)
        order << QString::fromStdString(pane.url);
    EXPECT_EQ(order, (QStringList{pages[1][0], pages[0][1], pages[0][0], pages[1][1]}));
    EXPECT_EQ((std::vector<int>{stored.panes[1].autoRefresh, stored.panes[1].refreshSeconds}),
              (std::vector<int>{1, 5}));
    EXPECT_EQ(stored.panes[3].scrollTop, 900);
    EXPECT_FALSE(WorkspaceWindow::parse(captured.windowMap().at(2)).isSplit());

    // Loaded: every pane in its place, nothing opened only to be replaced.
    // (The window and its splitter go with the load.)
    const int rowPosition = splitter->rowPosition();
    const int columnPosition = splitter->columnPosition();
    main->loadWorkspace(captured);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    BrowserWindow *back = main->activeBrowserWindow();
    ASSERT_NE(back, window);
    PaneSplitter *restored = back->splitter();
    ASSERT_EQ(restored->rows(), 2);
    ASSERT_EQ(restored->columns(), 2);
    EXPECT_EQ(restored->rowPosition(), rowPosition);
    EXPECT_EQ(restored->columnPosition(), columnPosition);
    EXPECT_EQ(restored->activePane(), (PanePos{1, 0}));
    EXPECT_TRUE(restored->locked());
    EXPECT_TRUE(restored->contextMenuReady());
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const auto *control = static_cast<FakeBrowserControl *>(restored->pane(r, c)->control());
            EXPECT_EQ(control->operations(QStringLiteral("navigate")), QStringList{QStringLiteral("navigate ") + pages[r][c]})
                << "no pane opens the home page first, the window's first one included";
        }
    }
    EXPECT_TRUE(restored->pane(0, 1)->autoRefreshOn());
    EXPECT_EQ(restored->pane(0, 1)->autoRefreshSeconds(), 5);
    EXPECT_FALSE(restored->pane(1, 0)->autoRefreshOn());
    EXPECT_TRUE(restored->pane(1, 1)->hasSavedScrollPosition());
    EXPECT_EQ(restored->pane(1, 1)->savedScrollTop(), 900);

    // Positions that do not fit the window it comes back in are kept within
    // it, not refused.
    WorkspaceWindow big = stored;
    big.showCmd = 1;
    big.setPlace(Rect{0, 0, 300, 200});
    big.rowSplit = 5000;
    big.colSplit = 1;
    big.activeRow = 7;
    big.activeCol = -3;
    big.panes.resize(3); // fewer panes stored than the grid holds
    main->loadWorkspace(workspaceOf({big}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    PaneSplitter *clamped = main->activeBrowserWindow()->splitter();
    ASSERT_EQ(clamped->rows(), 2);
    ASSERT_EQ(clamped->columns(), 2);
    for (const PanePos &p : clamped->grid().panes()) {
        const Rect r = clamped->grid().paneRect(p);
        EXPECT_GE(r.width(), corvane::kPaneMinSize);
        EXPECT_GE(r.height(), corvane::kPaneMinSize);
        EXPECT_LE(r.bottom, clamped->height());
    }
    EXPECT_EQ(clamped->activePane(), (PanePos{1, 0}));
    // The pane the record does not describe opens the home page.
    const QList<BrowserView *> views = clamped->views();
    int navigated = 0;
    for (BrowserView *v : views)
        navigated += static_cast<FakeBrowserControl *>(v->control())->operations(QStringLiteral("navigate")).isEmpty() ? 0 : 1;
    EXPECT_EQ(navigated, 4);
}

TEST_F(WorkspacesTest, ASplitWindowRestoredBehindAMaximizedOneIsCapturedAsItWasRestored)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(1000, 800);
    WorkspaceWindow split;
    split.setPlace(Rect{20, 20, 620, 420});
    split.showCmd = 1;
    split.rowSplit = 180;
    split.colSplit = 260;
    split.activeRow = 1;
    split.activeCol = 1;
    // From the active pane back: (1,1), (1,0), (0,1), (0,0).
    split.panes = {WorkspacePane{"http://p11.example/", 0, 2, 0, 0, 1146}, WorkspacePane{"http://p10.example/", 0, 2, 0, 0, 0},
                   WorkspacePane{"http://p01.example/", 0, 2, 0, 0, 576}, WorkspacePane{"http://p00.example/", 0, 2, 0, 0, 0}};
    const WorkspaceWindow front = entry("http://front.example/", 3);
    Workspace ws = workspaceOf({front, split});

    // Three rounds of AutoSave: load what the last exit captured, let the
    // pages load behind the front window (in no room of their own, the
    // engine scrolls them less far), capture again.
    BrowserWindow *behind = nullptr;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        main->loadWorkspace(ws);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const QList<BrowserWindow *> windows = shownWindows();
        ASSERT_EQ(windows.size(), 2);
        behind = windows.first() == main->activeBrowserWindow() ? windows.last() : windows.first();
        ASSERT_TRUE(behind->panesCovered());
        for (BrowserWindow *window : windows) {
            for (BrowserView *view : window->splitter()->views()) {
                auto *control = static_cast<FakeBrowserControl *>(view->control());
                const QString page = control->operations(QStringLiteral("navigate")).last().mid(9);
                control->setLocation(page, page);
            }
        }
        for (BrowserView *view : behind->splitter()->views()) {
            auto *control = static_cast<FakeBrowserControl *>(view->control());
            control->fireDocumentComplete(control->pageUrl());
            if (view->hasSavedScrollPosition())
                control->setScroll(QPoint(0, view->savedScrollTop() * 3 / 4));
        }
        ws = main->captureWorkspace("default", 0);
        ASSERT_EQ(ws.windowMap().size(), 2u);
        EXPECT_EQ(WorkspaceWindow::parse(ws.windowMap().at(2)).entryText(), split.entryText());
        EXPECT_EQ(WorkspaceWindow::parse(ws.windowMap().at(1)).entryText(), front.entryText());
    }

    // Uncovered, it is laid out at its size and its pages go back to where
    // they stood; from then on what it shows is what is captured.
    main->mdiArea()->setActiveSubWindow(behind);
    QCoreApplication::processEvents();
    ASSERT_FALSE(behind->panesCovered());
    PaneSplitter *splitter = behind->splitter();
    ASSERT_TRUE(splitter->grid().laidOut());
    EXPECT_EQ(splitter->activePane(), (PanePos{1, 1}));
    EXPECT_EQ(static_cast<FakeBrowserControl *>(splitter->pane(1, 1)->control())->scrollPosition(), QPoint(0, 1146));
    EXPECT_EQ(static_cast<FakeBrowserControl *>(splitter->pane(0, 1)->control())->scrollPosition(), QPoint(0, 576));
    splitter->splitRow(150);
    const WorkspaceWindow live = WorkspaceWindow::parse(main->captureWorkspace("default", 0).windowMap().at(1));
    EXPECT_EQ(live.rowSplit, splitter->rowPosition() + 2);
    EXPECT_EQ(live.colSplit, splitter->columnPosition() + 2);
}

TEST_F(WorkspacesTest, AMaximizedSplitWindowKeepsItsActivePaneWhenAnotherOpensInFront)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(1000, 800);
    BrowserWindow *window = main->activeBrowserWindow();
    window->showMaximized();
    PaneSplitter *splitter = window->splitter();
    splitter->splitRow(200);
    splitter->splitColumn(300);
    splitter->setActivePane(1, 1);
    ASSERT_EQ(splitter->activePane(), (PanePos{1, 1}));

    BrowserWindow *other = openPage(QStringLiteral("http://other.example/"));
    other->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->panesCovered());
    EXPECT_EQ(splitter->activePane(), (PanePos{1, 1}));
    const WorkspaceWindow stored = WorkspaceWindow::parse(main->captureWorkspace("default", 0).windowMap().at(2));
    EXPECT_EQ((std::vector<int>{stored.activeRow, stored.activeCol}), (std::vector<int>{1, 1}));

    // Back in front, the focus goes to its active pane.
    main->mdiArea()->setActiveSubWindow(window);
    QCoreApplication::processEvents();
    EXPECT_EQ(splitter->activePane(), (PanePos{1, 1}));
    EXPECT_EQ(main->activeView(), splitter->pane(1, 1));
}

TEST_F(WorkspacesTest, ASplitHeaderWithoutPanesOpensTheHomePageAtItsPlace)
{
    preset([](SettingsStore &s) { s.setHomeUrl("http://home.example/"); });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    mainWindow()->resize(1000, 800);
    Workspace ws;
    ws.empty = false;
    // bottom 400, left 30, right 500, top 40, shown normal, a row split at 200.
    ws.setWindows({"400\xB7" "30\xB7" "500\xB7" "40\xB7" "1\xB7" "200\xB7" "-1\xB7" "0\xB7" "0\xB7" "0"});
    mainWindow()->loadWorkspace(ws);
    ASSERT_EQ(shownWindows().size(), 1);
    BrowserWindow *window = shownWindows().first();
    EXPECT_EQ(controlOf(window)->operations(QStringLiteral("navigate")),
              QStringList{QStringLiteral("navigate http://home.example/")});
    EXPECT_EQ(window->normalPlacement(), QRect(30, 40, 470, 360));
}

TEST_F(WorkspacesTest, EachWindowComesIntoViewOnceAtItsStoredPlaceAndState)
{
    // A window shown as it opens and then placed and maximized lays out and
    // draws its page at every step; a workspace's windows come into view
    // only once they stand as stored.
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(900, 700);
    ASSERT_TRUE(main->isVisible());
    WorkspaceWindow normal = entry("http://normal.example/");
    normal.setPlace(Rect{40, 50, 440, 350});
    WorkspaceWindow one = entry("http://one.example/", 3);
    one.setPlace(Rect{60, 70, 360, 270});
    const Workspace ws = workspaceOf({one, normal, entry("http://three.example/", 3)});

    struct Shown
    {
        QObject *window;
        bool maximized;
        QRect geometry;
    };
    std::vector<Shown> shown;
    QList<QObject *> panesShown;
    ShowWatch watch([&shown, &panesShown](QObject *object) {
        if (auto *window = qobject_cast<BrowserWindow *>(object))
            shown.push_back({window, window->isMaximized(), window->geometry()});
        if (qobject_cast<PaneSplitter *>(object))
            panesShown << object;
    });
    main->loadWorkspace(ws);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QList<BrowserWindow *> windows = shownWindows();
    ASSERT_EQ(windows.size(), 3);
    ASSERT_EQ(shown.size(), 3u) << "each window came into view once";
    for (const Shown &s : shown) {
        auto *window = static_cast<BrowserWindow *>(s.window);
        ASSERT_TRUE(windows.contains(window));
        EXPECT_EQ(s.maximized, window->isMaximized());
        if (!window->isMaximized()) {
            EXPECT_EQ(s.geometry, QRect(40, 50, 400, 300)) << "shown at its stored place";
        }
    }
    EXPECT_EQ(main->activeBrowserWindow(), windows.at(0));
    EXPECT_TRUE(windows.at(0)->isMaximized());
    EXPECT_TRUE(windows.at(2)->isMaximized()) << "making the first window active restored no other";
    // The maximized window in front covers the others: their pages were
    // never drawn, and come into view when uncovered.
    EXPECT_FALSE(windows.at(0)->panesCovered());
    EXPECT_TRUE(windows.at(1)->panesCovered());
    EXPECT_TRUE(windows.at(2)->panesCovered());
    EXPECT_FALSE(panesShown.contains(windows.at(1)->splitter()));
    EXPECT_FALSE(panesShown.contains(windows.at(2)->splitter()));
    // Captured again, the maximized window keeps the place it had stored
    // for when it is restored: it was maximized before it came into view.
    const Workspace again = main->captureWorkspace("again", 0);
    QList<QRect> maximizedPlaces;
    for (const auto &[number, text] : again.windowMap()) {
        const WorkspaceWindow w = WorkspaceWindow::parse(text);
        if (w.showCmd == 3)
            maximizedPlaces << QRect(w.left, w.top, w.place().width(), w.place().height());
    }
    EXPECT_TRUE(maximizedPlaces.contains(QRect(60, 70, 300, 200)));
    main->mdiArea()->setActiveSubWindow(windows.at(1));
    EXPECT_TRUE(windows.at(1)->activeView()->isVisible());
    EXPECT_TRUE(main->mdiArea()->isVisible());
}

TEST_F(WorkspacesTest, AWorkspaceWithoutWindowsClosesAllAndStillSetsTheBars)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    openPage(QStringLiteral("http://a.example/"));
    Workspace none;
    none.empty = false;
    none.addressBar = 0;
    none.toolBar = 1;
    mainWindow()->loadWorkspace(none);
    EXPECT_TRUE(shownWindows().isEmpty());
    EXPECT_FALSE(mainWindow()->addressBarVisible());
    EXPECT_EQ(store()->showAddressBar(), 0) << "the toggle stores it, as the command does";

    // An empty record only closes.
    openPage(QStringLiteral("http://b.example/"));
    mainWindow()->loadWorkspace(Workspace());
    EXPECT_TRUE(shownWindows().isEmpty());
    EXPECT_FALSE(mainWindow()->addressBarVisible());
}

TEST_F(WorkspacesTest, WindowsStoredWhollyOffTheScreenStayAtTheirDefaultPlaces)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    const QRect before = mainWindow()->geometry();
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();

    Workspace ws = workspaceOf({[] {
        WorkspaceWindow w = entry("http://far.example/");
        w.setPlace(Rect{100000, -50000, 100300, -49800});
        return w;
    }(), [] {
        WorkspaceWindow w = entry("http://nowhere.example/");
        w.setPlace(Rect{50, 50, 50, 50});
        return w;
    }()});
    ws.setPlace(Rect{40000, 40000, 40600, 40400});
    mainWindow()->loadWorkspace(ws);
    EXPECT_EQ(mainWindow()->geometry(), before);
    ASSERT_EQ(shownWindows().size(), 2);
    // Each where the area puts a window without a place of its own.
    for (const BrowserWindow *window : shownWindows()) {
        const QRect place = window->geometry();
        EXPECT_TRUE(desk.contains(place.topLeft())) << place.x() << "," << place.y();
        EXPECT_GE(place.width(), kUsableBrowserWindow.width);
        EXPECT_GE(place.height(), kUsableBrowserWindow.height);
    }
}

TEST_F(WorkspacesTest, WindowsStoredTooSmallOrBarelyOnTheScreenComeBackUsable)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    // A "default" that would leave the main window a 32-pixel corner of the
    // screen, a browser window of 10 x 10 and one with only its corner in
    // the area.
    Workspace ws = workspaceOf({[] {
        WorkspaceWindow w = entry("http://tiny.example/");
        w.setPlace(Rect{20, 20, 30, 30});
        return w;
    }(), [&] {
        WorkspaceWindow w = entry("http://corner.example/");
        w.setPlace(Rect{desk.width() - 8, desk.height() - 8, desk.width() + 392, desk.height() + 292});
        return w;
    }()});
    ws.setPlace(Rect{desk.right() - 31, desk.bottom() - 31, desk.right() + 600, desk.bottom() + 400});
    mainWindow()->loadWorkspace(ws);

    const QRect main = mainWindow()->geometry();
    EXPECT_TRUE(desk.contains(main)) << main.x() << "," << main.y() << " " << main.width() << "x" << main.height();
    EXPECT_GE(main.width(), kUsableMainWindow.width);
    EXPECT_GE(main.height(), kUsableMainWindow.height);
    ASSERT_EQ(shownWindows().size(), 2);
    const QRect tiny = shownWindows().at(0)->geometry();
    EXPECT_EQ(tiny.topLeft(), QPoint(20, 20));
    EXPECT_EQ(tiny.size(), QSize(kUsableBrowserWindow.width, kUsableBrowserWindow.height));
    const QRect corner = shownWindows().at(1)->geometry();
    EXPECT_EQ(corner.size(), QSize(400, 300));
    EXPECT_LE(corner.right(), desk.width());
    EXPECT_LE(corner.bottom(), desk.height());
}

TEST_F(WorkspacesTest, StartUpRestoresDefaultWithAutoSaveOrTheStartupWorkspace)
{
    // AutoSave and a "default": its windows take the place of the first one.
    Workspace saved = workspaceOf({entry("http://one.example/", 3), entry("http://two.example/")});
    corvane::WorkspaceMap map;
    corvane::putExitWorkspace(map, true, saved);
    preset([&](SettingsStore &s) {
        s.setAutoSave(1);
        s.storeWorkspaces(map);
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(windowCount(), 2);
    EXPECT_EQ(controls.size(), 2) << "no first window opened only to be closed";
    EXPECT_TRUE(controls.at(0)->did(QStringLiteral("navigate http://one.example/")));
    EXPECT_TRUE(controls.at(1)->did(QStringLiteral("navigate http://two.example/")));
    EXPECT_EQ(mainWindow()->activeBrowserWindow()->activeView()->control(), controls.at(0).data());
    EXPECT_TRUE(app().currentWorkspace().empty) << "loading resets the current workspace";

    // A document on the command line: no restore.
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("http://doc.example/")}));
    EXPECT_EQ(windowCount(), 1);

    // AutoSave off: the workspace marked for start-up.
    Workspace marked = workspaceOf({entry("http://marked.example/")});
    marked.name = "marked";
    marked.startup = 1;
    preset([&](SettingsStore &s) {
        s.setAutoSave(0);
        s.storeWorkspaces({{"marked", marked.text()}, {"default", saved.text()}});
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(windowCount(), 1);
    EXPECT_TRUE(controls.at(0)->did(QStringLiteral("navigate http://marked.example/")));

    // AutoSave on without "default": the first window on the home page.
    preset([&](SettingsStore &s) {
        s.setAutoSave(1);
        s.storeWorkspaces({{"marked", marked.text()}});
        s.setHomeUrl("http://home.example/");
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(windowCount(), 1);
    EXPECT_TRUE(controls.at(0)->did(QStringLiteral("navigate http://home.example/")));
}

TEST_F(WorkspacesTest, ExitSavesDefaultWithAutoSaveAndRemovesItWithout)
{
    preset([](SettingsStore &s) {
        s.setAutoSave(1);
        s.setMsgExit(0);
        s.storeWorkspaces({{"keep", "keep\xB7" "0"}});
    });
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("http://first.example/")}));
    controlOf(mainWindow()->activeBrowserWindow())->setLocation(QString(), QStringLiteral("http://first.example/"));
    openPage(QStringLiteral("http://second.example/"));
    // The exit's saves are one commit, written as the main window goes.
    mainWindow()->close();
    app().shutDown();
    const SettingsStore::WorkspaceMap stored = store()->loadWorkspaces();
    ASSERT_EQ(stored.count("default"), 1u);
    EXPECT_EQ(stored.count("keep"), 1u);
    const Workspace def = Workspace::parse(stored.at("default"));
    EXPECT_EQ(def.startup, 0);
    EXPECT_EQ(urls(def), (QStringList{QStringLiteral("http://second.example/"), QStringLiteral("http://first.example/")}));

    store()->setAutoSave(0);
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    mainWindow()->close();
    app().shutDown();
    EXPECT_EQ(store()->loadWorkspaces().count("default"), 0u);
    EXPECT_EQ(store()->loadWorkspaces().count("keep"), 1u);
}

TEST_F(WorkspacesTest, AfterALoadTheTabsFollowTheStackWithTheActiveWindowFirst)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    MainWindow *main = mainWindow();
    main->resize(1000, 800);
    std::vector<WorkspaceWindow> stored;
    for (const char *letter : {"a", "b", "c", "d", "e", "f"}) {
        WorkspaceWindow w = entry(std::string("http://") + letter + ".example/");
        w.setPlace(Rect{20, 20, 420, 320});
        stored.push_back(w);
    }
    Workspace ws = workspaceOf(stored);
    ws.tabs = 1;
    main->loadWorkspace(ws);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(main->tabBar(), nullptr);
    // The letter of the page a window went to.
    const auto letterOf = [](QMdiSubWindow *window) {
        return controlOf(qobject_cast<BrowserWindow *>(window))->operations(QStringLiteral("navigate")).last().mid(16, 1).toUpper();
    };
    // Each page reports its title (its letter) as it loads.
    for (BrowserWindow *window : shownWindows()) {
        const QString letter = letterOf(window);
        controlOf(window)->setLocation(letter, QStringLiteral("http://%1.example/").arg(letter.toLower()));
        controlOf(window)->fireTitle(letter);
    }

    // The stack from the top: the first window stored (made active), then
    // the others from the one opened last.
    QStringList stack;
    const QList<QMdiSubWindow *> order = main->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    for (auto it = order.crbegin(); it != order.crend(); ++it)
        if (!(*it)->isHidden())
            stack << letterOf(*it);
    EXPECT_EQ(stack, (QStringList{QStringLiteral("A"), QStringLiteral("F"), QStringLiteral("E"), QStringLiteral("D"),
                                  QStringLiteral("C"), QStringLiteral("B")}));
    const auto tabs = [main] {
        QStringList texts;
        for (int i = 0; i < main->tabBar()->count(); ++i)
            texts << main->tabBar()->tabText(i);
        return texts;
    };
    EXPECT_EVENTUALLY_EQ(tabs(), stack);
    EXPECT_EQ(main->tabBar()->currentIndex(), 0);
    EXPECT_EQ(main->tabBar()->tabWindow(0), main->mdiArea()->currentSubWindow());
}

// The window tabs around the MDI area, driven as a user would.
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "mainframe/MainWindow.h"
#include "mainframe/WindowTabBar.h"
#include "support/Eventually.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QFocusEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class WindowTabsTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setHideTabs(0);
            s.setChildMaximized(0);
        });
    }

    WindowTabBar *bar() const { return mainWindow()->tabBar(); }
    QMdiArea *area() const { return mainWindow()->mdiArea(); }

    // Opens a window whose page has this title.
    QMdiSubWindow *open(const QString &title)
    {
        BrowserView *view = app().openBrowserWindow();
        auto *control = static_cast<FakeBrowserControl *>(view->control());
        control->setLocation(title, QStringLiteral("http://site.example/") + title);
        control->fireTitle(title);
        QCoreApplication::processEvents();
        return view->browserWindow();
    }

    QStringList tabTexts() const
    {
        QStringList texts;
        for (int i = 0; i < bar()->count(); ++i)
            texts << bar()->tabText(i);
        return texts;
    }
};

QIcon filledIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

TEST_F(WindowTabsTest, OneTabPerWindowInOpeningOrderAndClosingOneRemovesItsTab)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_NE(bar(), nullptr);
    area()->closeAllSubWindows();
    EXPECT_EVENTUALLY_EQ(bar()->count(), 0);

    open(QStringLiteral("Alpha"));
    QMdiSubWindow *beta = open(QStringLiteral("Beta"));
    QMdiSubWindow *gamma = open(QStringLiteral("Gamma"));
    EXPECT_EVENTUALLY_EQ(tabTexts(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                          QStringLiteral("Gamma")}));
    EXPECT_EQ(bar()->currentIndex(), 2);
    EXPECT_EQ(bar()->tabWindow(2), gamma);

    beta->close();
    EXPECT_EVENTUALLY_EQ(tabTexts(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));

    // A hidden window has no tab.
    gamma->hide();
    EXPECT_EVENTUALLY_EQ(tabTexts(), QStringList{QStringLiteral("Alpha")});
}

TEST_F(WindowTabsTest, TitleAndIconChangesReachTheTabsByThemselves)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    QMdiSubWindow *window = area()->currentSubWindow();
    auto *browser = qobject_cast<BrowserWindow *>(window);
    auto *control = static_cast<FakeBrowserControl *>(browser->activeView()->control());
    EXPECT_EVENTUALLY_EQ(bar()->count(), 1);
    const int changesBefore = bar()->changeCount();

    control->fireTitle(QStringLiteral("Later title"));
    EXPECT_EVENTUALLY_EQ(bar()->tabText(0), QStringLiteral("Later title"));
    EXPECT_GT(bar()->changeCount(), changesBefore);

    const QIcon red = filledIcon(Qt::red);
    control->fireIconChanged(red);
    EXPECT_EVENTUALLY_EQ(bar()->tabIcon(0).cacheKey(), red.cacheKey());

    // A window with no icon of any kind: a tab without an image.
    window->setWindowIcon(QIcon());
    EXPECT_EVENTUALLY(bar()->tabIcon(0).isNull());

    // A title the window asks for comes first.
    window->setProperty("tabTitle", QStringLiteral("Asked for"));
    EXPECT_EVENTUALLY_EQ(bar()->tabText(0), QStringLiteral("Asked for"));

    // Nothing changes: the passes change nothing.
    const int settled = bar()->changeCount();
    QTest::qWait(1200);
    EXPECT_EQ(bar()->changeCount(), settled);
}

TEST_F(WindowTabsTest, ClickActivatesDoubleClickMaximisesOrRestoresDragActivates)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    area()->closeAllSubWindows();
    QMdiSubWindow *first = open(QStringLiteral("First"));
    QMdiSubWindow *second = open(QStringLiteral("Second"));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 2);
    ASSERT_EQ(area()->currentSubWindow(), second);

    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(0).center());
    EXPECT_EQ(area()->currentSubWindow(), first);
    EXPECT_EQ(bar()->currentIndex(), 0);

    // Double click on the active window's tab: maximised, then restored.
    QTest::mouseDClick(bar(), Qt::LeftButton, {}, bar()->tabRect(0).center());
    EXPECT_TRUE(first->isMaximized());
    QTest::mouseDClick(bar(), Qt::LeftButton, {}, bar()->tabRect(0).center());
    EXPECT_FALSE(first->isMaximized());
    EXPECT_FALSE(second->isMaximized());

    // Dragging over a tab activates its window; nothing can be dropped.
    QMimeData data;
    data.setText(QStringLiteral("text"));
    const QPoint over = bar()->tabRect(1).center();
    QDragEnterEvent enter(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar(), &move);
    EXPECT_FALSE(move.isAccepted());
    EXPECT_EQ(area()->currentSubWindow(), second);
}

TEST_F(WindowTabsTest, OnlyWhatAMaximizedWindowLeavesUncoveredIsDrawn)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    area()->closeAllSubWindows();
    auto *first = qobject_cast<BrowserWindow *>(open(QStringLiteral("First")));
    auto *second = qobject_cast<BrowserWindow *>(open(QStringLiteral("Second")));
    auto *third = qobject_cast<BrowserWindow *>(open(QStringLiteral("Third")));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 3);
    // Side by side: every page shows.
    for (BrowserWindow *w : {first, second, third})
        EXPECT_FALSE(w->panesCovered());

    // The front window maximized: the pages behind it are not drawn.
    third->showMaximized();
    EXPECT_EVENTUALLY(first->panesCovered() && second->panesCovered());
    EXPECT_FALSE(third->panesCovered());
    EXPECT_FALSE(first->activeView()->isVisible());

    // Another window through its tab: it shows its page at once, maximized
    // in its turn, and the one it replaces in front is covered.
    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(0).center());
    ASSERT_EQ(area()->currentSubWindow(), first);
    EXPECT_FALSE(first->panesCovered());
    // The keys go to the page now shown.
    EXPECT_TRUE(QApplication::focusWidget() && first->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(first->activeView()->isVisible());
    EXPECT_EVENTUALLY(third->panesCovered());
    EXPECT_TRUE(first->isMaximized());
    EXPECT_TRUE(second->panesCovered());

    // Restored to normal: everything shows again. A minimized window and
    // the window behind it come back with their pages.
    first->showNormal();
    EXPECT_EVENTUALLY(!second->panesCovered() && !third->panesCovered());
    second->showMinimized();
    first->showMaximized();
    EXPECT_EVENTUALLY(third->panesCovered());
    first->showNormal();
    second->showNormal();
    EXPECT_EVENTUALLY(!second->panesCovered() && !third->panesCovered());
    EXPECT_TRUE(second->activeView()->isVisible());
    EXPECT_TRUE(third->activeView()->isVisible());

    // Tiling and cascading lay every window out beside the others: none
    // stays covered.
    first->showMaximized();
    EXPECT_EVENTUALLY(second->panesCovered() && third->panesCovered());
    mainWindow()->runCommand(cmd::TileVertically);
    EXPECT_EVENTUALLY(!first->panesCovered() && !second->panesCovered() && !third->panesCovered());
    first->showMaximized();
    EXPECT_EVENTUALLY(second->panesCovered());
    mainWindow()->runCommand(cmd::Cascade);
    EXPECT_EVENTUALLY(!first->panesCovered() && !second->panesCovered() && !third->panesCovered());

    // The maximized window closed: the one now in front shows its page.
    first->showMaximized();
    EXPECT_EVENTUALLY(second->panesCovered());
    first->close();
    EXPECT_EVENTUALLY(area()->currentSubWindow() && area()->currentSubWindow() != first);
    auto *front = qobject_cast<BrowserWindow *>(area()->currentSubWindow());
    EXPECT_EVENTUALLY(!front->panesCovered());
    EXPECT_TRUE(front->activeView()->isVisible());
}

TEST_F(WindowTabsTest, EveryStyleSurroundsTheWindowsAndStacksWhenTabsDoNotFit)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    mainWindow()->resize(700, 500);
    for (int i = 0; i < 9; ++i)
        open(QStringLiteral("A window with a long title %1").arg(i));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 10);

    for (int bits = 0; bits < 8; ++bits) {
        const bool bottom = bits & 1, buttons = bits & 2, stacked = bits & 4;
        app().settings().setTabsBottomPlacement(bottom);
        app().settings().setTabsButtons(buttons);
        app().settings().setTabsStacked(stacked);
        mainWindow()->createTabs();
        ASSERT_NE(bar(), nullptr);
        EXPECT_EVENTUALLY_EQ(bar()->count(), 10);
        SCOPED_TRACE(QStringLiteral("bottom %1 buttons %2 stacked %3").arg(bottom).arg(buttons).arg(stacked).toStdString());

        EXPECT_EQ(bar()->tabStyle(), corvane::tabStyle(bottom, buttons, stacked));
        // The windows lie inside the bar, the tabs beside them on the chosen side.
        const QRect display = bar()->displayRect();
        EXPECT_EQ(area()->geometry(), display.translated(bar()->pos()));
        EXPECT_TRUE(bar()->rect().contains(display));
        const QRect tab = bar()->tabRect(bar()->currentIndex());
        ASSERT_FALSE(tab.isEmpty());
        if (bottom)
            EXPECT_GE(tab.top(), display.bottom());
        else
            EXPECT_LE(tab.bottom(), display.top());

        const auto arrows = bar()->findChildren<QToolButton *>();
        bool arrowsShown = false;
        for (QToolButton *b : arrows)
            arrowsShown |= b->isVisible();
        if (stacked) {
            EXPECT_GE(bar()->rowCount(), 2);
            EXPECT_FALSE(arrowsShown);
        } else {
            EXPECT_EQ(bar()->rowCount(), 1);
            EXPECT_TRUE(arrowsShown) << "one row that does not fit scrolls";
        }
    }
}

TEST_F(WindowTabsTest, NarrowAreaGivesTheWindowsNoWidthRatherThanANegativeOne)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    bar()->setGeometry(0, 0, 2, 300);
    bar()->layoutClient();
    EXPECT_EQ(area()->width(), 0);
    EXPECT_GE(area()->height(), 0);
}

TEST_F(WindowTabsTest, TabsCommandAndHideTabsMakeAndTakeTheBarAndItHidesWithTheArea)
{
    preset([](SettingsStore &s) { s.setHideTabs(1); });
    ASSERT_TRUE(start());
    EXPECT_EQ(bar(), nullptr);
    EXPECT_FALSE(mainWindow()->isCommandChecked(cmd::Tabs));
    const QRect whole = area()->geometry();

    mainWindow()->runCommand(cmd::Tabs);
    ASSERT_NE(bar(), nullptr);
    EXPECT_TRUE(mainWindow()->isCommandChecked(cmd::Tabs));
    EXPECT_TRUE(whole.contains(area()->geometry()));
    EXPECT_LT(area()->height(), whole.height());
    EXPECT_EVENTUALLY_EQ(bar()->count(), 1);

    area()->hide();
    EXPECT_TRUE(bar()->isHidden());
    area()->show();
    EXPECT_FALSE(bar()->isHidden());

    mainWindow()->runCommand(cmd::Tabs);
    EXPECT_EQ(bar(), nullptr);
    EXPECT_EQ(area()->geometry(), whole);

    // The choice is stored when the window goes.
    mainWindow()->runCommand(cmd::Tabs);
    mainWindow()->closeWithoutQuestions();
    stop();
    EXPECT_EQ(store()->hideTabs(), 0);
}

TEST_F(WindowTabsTest, TabsBelowTheWindowsAreDrawnAndTheSelectedTabStaysInViewAsTitlesWiden)
{
    preset([](SettingsStore &s) {
        s.setTabsBottomPlacement(1);
        s.setTabsButtons(0);
        s.setTabsStacked(0);
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    mainWindow()->resize(700, 500);
    area()->closeAllSubWindows();
    QList<QMdiSubWindow *> windows;
    for (int i = 0; i < 8; ++i)
        windows << open(QStringLiteral("W%1").arg(i));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 8);
    ASSERT_EQ(bar()->currentIndex(), 7);

    // Titles arriving late widen the tabs before the selected one: it stays in view.
    for (int i = 0; i < 7; ++i) {
        auto *browser = qobject_cast<BrowserWindow *>(windows[i]);
        static_cast<FakeBrowserControl *>(browser->activeView()->control())
            ->fireTitle(QStringLiteral("A much longer title than before %1").arg(i));
    }
    EXPECT_EVENTUALLY_EQ(bar()->tabText(6), QStringLiteral("A much longer title than before 6"));
    const QRect selected = bar()->tabRect(7);
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_GT(selected.width(), bar()->fontMetrics().horizontalAdvance(bar()->tabText(7))) << "wholly in view";

    // Drawn below the windows, the tab's outline is there, not only its label.
    const QImage image = bar()->grab().toImage();
    const QColor background = bar()->palette().color(QPalette::Window);
    auto drawnRows = [&](const QRect &r) {
        int rows = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            // A column at the tab's left edge, clear of the icon and label.
            for (int x = r.left(); x < r.left() + 3; ++x) {
                if (image.pixelColor(x, y) != background) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    EXPECT_GT(drawnRows(selected), selected.height() / 2);
}

namespace {

// Every keyboard focus a widget receives while it lives, with its reason.
class FocusLog : public QObject
{
public:
    FocusLog() { qApp->installEventFilter(this); }
    ~FocusLog() override { qApp->removeEventFilter(this); }

    // The widgets that got the focus as if Tab had been pressed.
    QList<QObject *> tabbedInto() const { return m_tabbed; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                m_tabbed << object;
        }
        return false;
    }

private:
    QList<QObject *> m_tabbed;
};

QWidget *pageOf(QMdiSubWindow *window)
{
    auto *browser = qobject_cast<BrowserWindow *>(window);
    return browser ? browser->activeView()->control()->widget() : nullptr;
}

} // namespace

TEST_F(WindowTabsTest, MaximizedWindowsMadeActiveGiveTheKeysToTheirPageNeverAsATabPress)
{
    // A page that gets the focus as a Tab press puts it on its first link,
    // and Enter then follows a link nobody chose.
    preset([](SettingsStore &s) { s.setChildMaximized(1); });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    QMdiSubWindow *one = area()->currentSubWindow();
    QMdiSubWindow *two = open(QStringLiteral("Two"));
    QMdiSubWindow *three = open(QStringLiteral("Three"));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 3);
    FocusLog focus;

    // By its tab, by the Window menu's way (the area) and by Ctrl+Tab's.
    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(bar()->indexOf(one)).center());
    ASSERT_EQ(area()->currentSubWindow(), one);
    EXPECT_EQ(QApplication::focusWidget(), pageOf(one));
    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(bar()->indexOf(two)).center());
    ASSERT_EQ(area()->currentSubWindow(), two);
    EXPECT_EQ(QApplication::focusWidget(), pageOf(two));
    area()->setActiveSubWindow(three);
    EXPECT_EQ(QApplication::focusWidget(), pageOf(three));
    area()->activateNextSubWindow();
    EXPECT_EVENTUALLY(QApplication::focusWidget() == pageOf(area()->currentSubWindow()));
    EXPECT_TRUE(focus.tabbedInto().isEmpty()) << focus.tabbedInto().size() << " Tab-like focus changes";
}

TEST_F(WindowTabsTest, RestoringTheActiveMaximizedWindowKeepsItActive)
{
    preset([](SettingsStore &s) { s.setChildMaximized(1); });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    QMdiSubWindow *one = area()->currentSubWindow();
    QMdiSubWindow *two = open(QStringLiteral("Two"));
    open(QStringLiteral("Three"));
    open(QStringLiteral("Four"));
    EXPECT_EVENTUALLY_EQ(bar()->count(), 4);
    FocusLog focus;

    QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->tabRect(bar()->indexOf(two)).center());
    ASSERT_EQ(area()->currentSubWindow(), two);
    EXPECT_EVENTUALLY(qobject_cast<BrowserWindow *>(one)->panesCovered());
    // A double click on its tab restores it; uncovering the windows behind
    // it used to make each of them active in turn, the first one last.
    QTest::mouseDClick(bar(), Qt::LeftButton, {}, bar()->tabRect(bar()->indexOf(two)).center());
    ASSERT_FALSE(two->isMaximized());
    EXPECT_EVENTUALLY(!qobject_cast<BrowserWindow *>(one)->panesCovered());
    EXPECT_EQ(area()->currentSubWindow(), two);
    EXPECT_EQ(bar()->tabWindow(bar()->currentIndex()), two);
    EXPECT_EQ(QApplication::focusWidget(), pageOf(two));

    // F5 reloads the window in front, and no other.
    for (QMdiSubWindow *w : area()->subWindowList())
        static_cast<FakeBrowserControl *>(qobject_cast<BrowserWindow *>(w)->activeView()->control())->clearOperations();
    mainWindow()->runCommand(cmd::Refresh);
    for (QMdiSubWindow *w : area()->subWindowList()) {
        const auto *control =
            static_cast<FakeBrowserControl *>(qobject_cast<BrowserWindow *>(w)->activeView()->control());
        EXPECT_EQ(control->operations(QStringLiteral("reload")).size(), w == two ? 1 : 0)
            << w->windowTitle().toStdString();
    }
    EXPECT_TRUE(focus.tabbedInto().isEmpty());
}

TEST_F(WindowTabsTest, RestoringTheFrontWindowAfterAWorkspaceLoadKeepsItInFront)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    corvane::Workspace ws;
    ws.empty = false;
    ws.tabs = 1;
    std::vector<std::string> entries;
    for (const char *url : {"http://one.example/", "http://two.example/", "http://three.example/"}) {
        corvane::WorkspaceWindow w;
        w.url = url;
        w.showCmd = 3;
        entries.push_back(w.entryText());
    }
    ws.setWindows(entries);
    mainWindow()->loadWorkspace(ws);
    // The windows open before the load are gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(area()->subWindowList().size(), 3);
    QMdiSubWindow *front = area()->currentSubWindow();
    ASSERT_NE(front, nullptr);
    ASSERT_TRUE(front->isMaximized());
    ASSERT_NE(bar(), nullptr);
    EXPECT_EVENTUALLY_EQ(bar()->count(), 3);

    // The window behind it (still maximized) comes into view, and stays
    // behind: uncovering it used to make it the active one.
    const QList<QMdiSubWindow *> stack = area()->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stack.last(), front);
    auto *behind = qobject_cast<BrowserWindow *>(stack.at(stack.size() - 2));
    EXPECT_TRUE(behind->panesCovered());
    front->showNormal();
    EXPECT_EVENTUALLY(!behind->panesCovered());
    EXPECT_EQ(area()->currentSubWindow(), front);
    EXPECT_EQ(area()->subWindowList(QMdiArea::StackingOrder).last(), front);
    EXPECT_EQ(mainWindow()->activeBrowserWindow(), front);
}

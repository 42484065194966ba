// Split, Lock, Unlock and the panes as the main window sees them; Close All
// through each window's close.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/AddressBar.h"
#include "mainframe/MainWindow.h"
#include "support/Eventually.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class SplitCommandsTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setMsgCloseAll(0);
        });
    }

    BrowserWindow *window() const { return mainWindow()->activeBrowserWindow(); }
    PaneSplitter *splitter() const { return window()->splitter(); }
    QAction *splitMenuAction(int id) const
    {
        for (QAction *a : mainWindow()->splitMenu()->actions())
            if (a == mainWindow()->commandAction(id))
                return a;
        return nullptr;
    }
};

} // namespace

TEST_F(SplitCommandsTest, KeyboardSplitKeepsAMaximisedWindowMaximisedAndChildMaximizedAsItWas)
{
    preset([](SettingsStore &s) { s.setChildMaximized(1); });
    ASSERT_TRUE(start());
    ASSERT_TRUE(window()->isMaximized());

    EXPECT_TRUE(mainWindow()->runCommand(cmd::Split));
    ASSERT_TRUE(splitter()->keyboardSplitPending());
    QTest::keyClick(splitter(), Qt::Key_Return);
    EXPECT_EQ(splitter()->views().size(), 4);
    EXPECT_TRUE(window()->isMaximized());
    EXPECT_EQ(app().settings().childMaximized(), 1);

    // A restored window stays restored, and the setting with it.
    window()->showNormal();
    EXPECT_EQ(app().settings().childMaximized(), 0);
    mainWindow()->runCommand(cmd::Split);
    QTest::keyClick(splitter(), Qt::Key_Escape);
    EXPECT_FALSE(window()->isMaximized());
    EXPECT_EQ(app().settings().childMaximized(), 0);
}

TEST_F(SplitCommandsTest, LockDisablesSplitAndTheSplitMenusUnlockRestoresIt)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Split));
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Lock));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Unlock));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::PreviousPane));

    // No menu before a split has been placed.
    splitter()->splitColumn(200);
    const Rect bar = splitter()->grid().columnBarRect();
    const QPoint onBar((bar.left + bar.right) / 2, 40);
    QTest::mouseClick(splitter(), Qt::RightButton, {}, onBar);
    EXPECT_FALSE(mainWindow()->splitMenu()->isVisible());

    mainWindow()->runCommand(cmd::Split);
    QTest::keyClick(splitter(), Qt::Key_Return);
    ASSERT_TRUE(splitter()->contextMenuReady());

    mainWindow()->runCommand(cmd::Lock);
    EXPECT_TRUE(splitter()->locked());
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Split));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Lock));
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Unlock));
    EXPECT_FALSE(mainWindow()->runCommand(cmd::Split));
    EXPECT_FALSE(splitter()->tracking());

    // A right click on the bars brings up "SplitMenu"; its Unlock is the
    // main window's command.
    QTest::mouseClick(splitter(), Qt::RightButton, {}, onBar);
    QMenu *menu = mainWindow()->splitMenu();
    EXPECT_EVENTUALLY(menu->isVisible());
    QAction *unlock = splitMenuAction(cmd::Unlock);
    ASSERT_NE(unlock, nullptr);
    EXPECT_EQ(unlock->text(), QStringLiteral("Unlock"));
    EXPECT_TRUE(unlock->isEnabled());
    EXPECT_FALSE(splitMenuAction(cmd::Lock)->isEnabled());
    unlock->trigger();
    menu->hide();
    EXPECT_FALSE(splitter()->locked());
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Split));
    EXPECT_TRUE(mainWindow()->runCommand(cmd::Split));
    QTest::keyClick(splitter(), Qt::Key_Escape);
}

TEST_F(SplitCommandsTest, TheActivePaneIsTheMainWindowsView)
{
    ASSERT_TRUE(start());
    splitter()->splitRow(150);
    QApplication::setActiveWindow(mainWindow());
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));

    mainWindow()->runCommand(cmd::PreviousPane);
    EXPECT_EQ(splitter()->activePane(), (corvane::PanePos{1, 0}));
    BrowserView *lower = splitter()->pane(1, 0);
    EXPECT_EQ(mainWindow()->activeView(), lower);

    auto *control = static_cast<FakeBrowserControl *>(lower->control());
    control->setLocation(QStringLiteral("Lower"), QStringLiteral("http://lower.example/"));
    control->fireNavigation(QStringLiteral("http://lower.example/"), QStringLiteral("Lower"));
    EXPECT_EQ(mainWindow()->addressText(), QStringLiteral("http://lower.example/"));
    EXPECT_EQ(window()->windowTitle(), QStringLiteral("Lower"));

    control->clearOperations();
    mainWindow()->runCommand(cmd::Refresh);
    EXPECT_EQ(control->operations(QStringLiteral("reload")).size(), 1);

    // Back to the upper pane: the address box shows its page again.
    mainWindow()->runCommand(cmd::PreviousPane);
    EXPECT_EQ(mainWindow()->activeView(), splitter()->pane(0, 0));
    EXPECT_NE(mainWindow()->addressText(), QStringLiteral("http://lower.example/"));
}

TEST_F(SplitCommandsTest, CloseAllClosesFiveWindowsOneAfterAnotherSplitOnesWithAllTheirPanes)
{
    ASSERT_TRUE(start());
    for (int i = 0; i < 4; ++i)
        app().openBrowserWindow();
    ASSERT_EQ(windowCount(), 5);
    splitter()->splitRow(150);
    splitter()->splitColumn(150);
    QList<QPointer<BrowserView>> views;
    for (QMdiSubWindow *w : mainWindow()->mdiArea()->subWindowList())
        for (BrowserView *v : qobject_cast<BrowserWindow *>(w)->splitter()->views())
            views << v;
    ASSERT_EQ(views.size(), 8);

    QList<int> openAtEachClose;
    for (QMdiSubWindow *w : mainWindow()->mdiArea()->subWindowList()) {
        QObject::connect(w, &QObject::destroyed, mainWindow(), [&] {
            int open = 0;
            for (QMdiSubWindow *other : mainWindow()->mdiArea()->subWindowList())
                open += other->isVisible() ? 1 : 0;
            openAtEachClose << open;
        });
    }
    mainWindow()->runCommand(cmd::CloseAll);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    EXPECT_EQ(openAtEachClose, (QList<int>{4, 3, 2, 1, 0}));
    for (const QPointer<BrowserView> &v : views)
        EXPECT_TRUE(v.isNull());
    EXPECT_EVENTUALLY(!mainWindow()->closingAll());
}

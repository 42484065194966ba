// Full screen with the fake control: F11 and a page's request show the pane
// alone on the whole screen; F11, Esc (for a page's request) and the page's
// own exit bring everything back as it was.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/FullScreenWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "support/AppHarness.h"
#include "support/Eventually.h"
#include "support/FakeBrowserControl.h"

#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class FullScreenTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([this](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setLogging(1);
            s.setLogFile(logPath().toStdString());
        });
        ASSERT_TRUE(start());
        activate(mainWindow());
    }

    static void activate(QWidget *window)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    BrowserView *view() const { return mainWindow()->activeView(); }
    FakeBrowserControl *control() const { return static_cast<FakeBrowserControl *>(view()->control()); }
    QWidget *page() const { return control()->widget(); }

    // What full screen must leave as it was.
    struct Looks
    {
        bool toolBar, statusBar, tabs, mainMaximized, windowMaximized;
        int rows, columns, rowPosition, columnPosition;
        QRect windowPlace;
        bool operator==(const Looks &) const = default;
    };
    Looks looks() const
    {
        BrowserWindow *w = mainWindow()->activeBrowserWindow();
        return {mainWindow()->toolBar()->isVisible(), mainWindow()->statusBarVisible(), mainWindow()->tabsVisible(),
                mainWindow()->isMaximized(), w->isMaximized(), w->splitter()->rows(), w->splitter()->columns(),
                w->splitter()->rowPosition(), w->splitter()->columnPosition(), w->geometry()};
    }
};

} // namespace

TEST_F(FullScreenTest, F11ShowsTheActivePaneAloneAndBringsEverythingBack)
{
    BrowserWindow *window = mainWindow()->activeBrowserWindow();
    window->showNormal();
    window->setGeometry(10, 10, 500, 400);
    window->splitter()->splitColumn(200);
    window->splitter()->setActivePane(0, 1);
    QTest::qWait(20);
    const Looks before = looks();
    QWidget *otherPage = window->splitter()->pane(0, 0)->control()->widget();

    BrowserView *pane = view();
    QTest::keyClick(page(), Qt::Key_F11);
    ASSERT_EQ(view(), pane);
    ASSERT_TRUE(view()->isFullScreen());
    FullScreenWindow *fullScreen = view()->fullScreenWindow();
    EXPECT_EQ(page()->window(), fullScreen);
    EXPECT_TRUE(fullScreen->isFullScreen());
    EXPECT_EQ(otherPage->window(), mainWindow()) << "only the active pane goes";
    EXPECT_EQ(window->splitter()->activePane(), (corvane::PanePos{0, 1})) << "the active pane stays active";
    EXPECT_EQ(fullScreen->noticeText(), QStringLiteral("Full screen. Press F11 to leave it."));
    EXPECT_FALSE(fullScreen->escapeLeaves()) << "Esc belongs to the page in the user's own full screen";

    activate(fullScreen);
    const QPointer<FullScreenWindow> gone(fullScreen);
    QTest::keyClick(page(), Qt::Key_F11);
    EXPECT_FALSE(view()->isFullScreen());
    EXPECT_EQ(page()->window(), mainWindow());
    EXPECT_EQ(page()->parentWidget(), view());
    EXPECT_EVENTUALLY(!gone);
    EXPECT_EQ(looks(), before);
    EXPECT_FALSE(control()->did(QStringLiteral("exitFullScreen")));
}

TEST_F(FullScreenTest, APagesRequestEndsWithEscWithF11OrWithThePagesOwnExit)
{
    mainWindow()->activeBrowserWindow()->showMaximized();
    QTest::qWait(20);
    const Looks before = looks();
    control()->setLocation(QStringLiteral("Video"), QStringLiteral("https://video.example/watch"));

    ASSERT_TRUE(control()->fireFullScreenRequested(true));
    FullScreenWindow *fullScreen = view()->fullScreenWindow();
    ASSERT_NE(fullScreen, nullptr);
    EXPECT_TRUE(view()->pageAskedFullScreen());
    EXPECT_TRUE(fullScreen->escapeLeaves());
    EXPECT_EQ(fullScreen->noticeText(),
              QStringLiteral("video.example is now full screen. Press Esc or F11 to leave it."));
    EXPECT_TRUE(fullScreen->noticeShown());
    activate(fullScreen);
    QTest::keyClick(page(), Qt::Key_Escape);
    EXPECT_FALSE(view()->isFullScreen());
    EXPECT_TRUE(control()->did(QStringLiteral("exitFullScreen"))) << "the page is told it left";
    // The page's answer finds everything back already.
    EXPECT_TRUE(control()->fireFullScreenRequested(false));
    EXPECT_EQ(looks(), before);
    // Each answer is in the log, once.
    const QString log = logText();
    EXPECT_EQ(log.count(QStringLiteral("* Full screen requested by URL: [https://video.example/watch] -- shown *")), 1);
    EXPECT_EQ(log.count(QStringLiteral("* Full screen left for URL: [https://video.example/watch] *")), 1);

    // The page's own exit (document.exitFullscreen()).
    control()->clearOperations();
    ASSERT_TRUE(control()->fireFullScreenRequested(true));
    EXPECT_TRUE(control()->fireFullScreenRequested(false));
    EXPECT_FALSE(view()->isFullScreen());
    EXPECT_FALSE(control()->did(QStringLiteral("exitFullScreen")));
    EXPECT_EQ(looks(), before);

    // F11 from the command table.
    ASSERT_TRUE(control()->fireFullScreenRequested(true));
    view()->runCommand(cmd::FullScreen);
    EXPECT_FALSE(view()->isFullScreen());
    EXPECT_TRUE(control()->did(QStringLiteral("exitFullScreen")));
}

TEST_F(FullScreenTest, ThePagesExitLeavesTheUsersFullScreenInPlace)
{
    view()->runCommand(cmd::FullScreen);
    ASSERT_TRUE(view()->isFullScreen());
    ASSERT_TRUE(control()->fireFullScreenRequested(true));
    EXPECT_TRUE(view()->fullScreenWindow()->escapeLeaves());
    ASSERT_TRUE(control()->fireFullScreenRequested(false));
    EXPECT_TRUE(view()->isFullScreen());
    EXPECT_FALSE(view()->fullScreenWindow()->escapeLeaves());
    view()->runCommand(cmd::FullScreen);
    EXPECT_FALSE(view()->isFullScreen());
}

TEST_F(FullScreenTest, AWindowThatClosesTakesItsFullScreenAlong)
{
    ASSERT_TRUE(control()->fireFullScreenRequested(true));
    const QPointer<FullScreenWindow> fullScreen = view()->fullScreenWindow();
    const QPointer<QWidget> shown = page();
    mainWindow()->activeBrowserWindow()->closeWithoutAsking();
    EXPECT_EVENTUALLY(!fullScreen && !shown);
    EXPECT_EQ(windowCount(), 0);
}

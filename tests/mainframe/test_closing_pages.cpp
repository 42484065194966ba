// Closing windows whose pages may keep themselves open (beforeunload):
// Close, Close All, the window's close button and Exit ask every page
// first, and a page that stays stops them; the program's end asks nothing.
// Exit with downloads running asks about them first.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/Downloads.h"
#include "core/SettingsStore.h"
#include "engine/DownloadList.h"
#include "mainframe/MainWindow.h"
#include "support/AppHarness.h"
#include "support/Eventually.h"
#include "support/FakeBrowserControl.h"

#include <QMdiArea>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace cmd = corvane::cmd;
using CloseAnswer = BrowserControl::CloseAnswer;

namespace {

class ClosingPagesTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([this](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setMsgExit(0);
            s.setMsgCloseAll(0);
            s.setAutoSave(1);
            s.setLogging(1);
            s.setLogFile(logPath().toStdString());
        });
        ASSERT_TRUE(start());
    }

    void TearDown() override
    {
        for (Download *d : DownloadList::instance()->downloads())
            DownloadList::instance()->remove(d);
    }

    FakeBrowserControl *controlOf(BrowserWindow *window, int pane = 0) const
    {
        return static_cast<FakeBrowserControl *>(window->splitter()->views().at(pane)->control());
    }
    BrowserWindow *activeWindow() const { return mainWindow()->activeBrowserWindow(); }

    // Three windows, One to Three, Three in front.
    QList<BrowserWindow *> openThree()
    {
        mainWindow()->runCommand(cmd::Close);
        QList<BrowserWindow *> windows;
        for (int i = 0; i < 3; ++i) {
            mainWindow()->runCommand(cmd::New);
            windows << activeWindow();
            controlOf(windows.last())->setLocation(QStringLiteral("Page %1").arg(i + 1),
                                                   QStringLiteral("http://page%1.example/").arg(i + 1));
        }
        return windows;
    }

    // What an exit stores: the "default" workspace (AutoSave is on).
    bool exitStoredAnything() const { return store()->loadWorkspaces().count("default") > 0; }
};

} // namespace

TEST_F(ClosingPagesTest, ClosePendingOnThePageClosesOnlyOnceItLetsGo)
{
    const QList<BrowserWindow *> windows = openThree();
    FakeBrowserControl *page = controlOf(windows[2]);
    page->setCloseAnswer(CloseAnswer::Pending);
    mainWindow()->runCommand(cmd::Close);
    EXPECT_TRUE(page->did(QStringLiteral("requestClose")));
    QTest::qWait(50);
    EXPECT_EQ(windowCount(), 3) << "the window waits for its page";
    EXPECT_TRUE(windows[2]->askingPages());
    // Asked again meanwhile: the page is not asked twice.
    windows[2]->close();
    EXPECT_EQ(page->operations(QStringLiteral("requestClose")).size(), 1);

    page->fireCloseAnswered(false);
    QTest::qWait(50);
    EXPECT_EQ(windowCount(), 3) << "the page stays, so does its window";
    EXPECT_FALSE(windows[2]->askingPages());

    // The window's own close button asks the same way.
    windows[2]->close();
    page->fireCloseAnswered(true);
    EXPECT_EVENTUALLY_EQ(windowCount(), 2);
}

TEST_F(ClosingPagesTest, EveryPaneOfASplitWindowIsAsked)
{
    BrowserWindow *window = activeWindow();
    window->splitter()->splitColumn(200);
    ASSERT_EQ(window->splitter()->views().size(), 2);
    FakeBrowserControl *first = controlOf(window, 0);
    FakeBrowserControl *second = controlOf(window, 1);
    second->setCloseAnswer(CloseAnswer::Stay);
    mainWindow()->runCommand(cmd::Close);
    QTest::qWait(50);
    EXPECT_TRUE(first->did(QStringLiteral("requestClose")));
    EXPECT_TRUE(second->did(QStringLiteral("requestClose")));
    EXPECT_EQ(windowCount(), 1);

    second->setCloseAnswer(CloseAnswer::Pending);
    first->clearOperations();
    mainWindow()->runCommand(cmd::Close);
    second->fireCloseAnswered(true);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
}

TEST_F(ClosingPagesTest, CloseAllStopsAtTheWindowWhosePageStays)
{
    const QList<BrowserWindow *> windows = openThree();
    QList<QPointer<FakeBrowserControl>> pages;
    for (BrowserWindow *w : windows)
        pages << controlOf(w);
    // The window in front is closed first: its page keeps all three.
    pages[2]->setCloseAnswer(CloseAnswer::Pending);
    mainWindow()->runCommand(cmd::CloseAll);
    EXPECT_EVENTUALLY(pages[2]->did(QStringLiteral("requestClose")));
    EXPECT_TRUE(mainWindow()->closingAll());
    pages[2]->fireCloseAnswered(false);
    QTest::qWait(50);
    EXPECT_FALSE(mainWindow()->closingAll());
    EXPECT_EQ(windowCount(), 3);
    EXPECT_FALSE(pages[0]->did(QStringLiteral("requestClose")));
    EXPECT_FALSE(pages[1]->did(QStringLiteral("requestClose")));

    // A page further on stays: the windows before it close, it comes to
    // the front, and Close All ends there.
    pages[2]->setCloseAnswer(CloseAnswer::Close);
    pages[1]->setCloseAnswer(CloseAnswer::Stay);
    mainWindow()->runCommand(cmd::CloseAll);
    EXPECT_EVENTUALLY(!mainWindow()->closingAll());
    QTest::qWait(50);
    EXPECT_TRUE(pages[1]);
    EXPECT_TRUE(pages[1] && pages[1]->did(QStringLiteral("requestClose")));
    EXPECT_FALSE(pages[2]) << "the window in front closed";
    EXPECT_EQ(activeWindow(), windows[1]);

    pages[1]->setCloseAnswer(CloseAnswer::Close);
    mainWindow()->runCommand(cmd::CloseAll);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
}

TEST_F(ClosingPagesTest, ExitWaitsForEveryPageAndAPageThatStaysLosesNothing)
{
    const QList<BrowserWindow *> windows = openThree();
    FakeBrowserControl *one = controlOf(windows[0]);
    one->setCloseAnswer(CloseAnswer::Pending);
    EXPECT_FALSE(mainWindow()->close());
    EXPECT_TRUE(mainWindow()->exitPending());
    EXPECT_TRUE(one->did(QStringLiteral("requestClose")));
    // A second Exit meanwhile adds nothing.
    EXPECT_FALSE(mainWindow()->close());
    EXPECT_EQ(one->operations(QStringLiteral("requestClose")).size(), 1);

    one->fireCloseAnswered(false);
    QTest::qWait(50);
    EXPECT_FALSE(mainWindow()->exitPending());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_EQ(windowCount(), 3) << "no window closes before every page let go";
    EXPECT_FALSE(exitStoredAnything());
    EXPECT_EQ(activeWindow(), windows[0]) << "the window whose page stays comes to the front";

    // This time the page lets go: the exit goes on by itself.
    bool closed = false;
    QObject::connect(mainWindow(), &MainWindow::closed, [&closed] { closed = true; });
    EXPECT_FALSE(mainWindow()->close());
    one->fireCloseAnswered(true);
    EXPECT_EVENTUALLY(closed);
    stop();
    EXPECT_TRUE(exitStoredAnything());
    EXPECT_EQ(store()->version(), "3.00");
}

TEST_F(ClosingPagesTest, TheProgramsEndAsksNoPage)
{
    QList<QPointer<FakeBrowserControl>> pages;
    for (BrowserWindow *w : openThree()) {
        pages << controlOf(w);
        pages.last()->setCloseAnswer(CloseAnswer::Pending);
    }
    EXPECT_FALSE(mainWindow()->close());
    EXPECT_TRUE(pages[2]->did(QStringLiteral("requestClose")));
    EXPECT_FALSE(pages[1]->did(QStringLiteral("requestClose")));
    // A SIGTERM while the first page's answer is due.
    mainWindow()->closeWithoutQuestions();
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_FALSE(pages[1]->did(QStringLiteral("requestClose")));
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    stop();
    EXPECT_TRUE(exitStoredAnything());
}

TEST_F(ClosingPagesTest, ProgramClosesAskNoPage)
{
    // A page's own window.close() closes its window as it is.
    FakeBrowserControl *page = controlOf(activeWindow());
    page->setCloseAnswer(CloseAnswer::Stay);
    page->fireWindowCloseRequested();
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    EXPECT_FALSE(page->did(QStringLiteral("requestClose")));
}

TEST_F(ClosingPagesTest, TheLeaveQuestionNamesTheSiteBringsItsPaneForwardAndIsLogged)
{
    const QList<BrowserWindow *> windows = openThree();
    FakeBrowserControl *one = controlOf(windows[0]);
    answer = QMessageBox::No;
    EXPECT_FALSE(one->fireLeavePageAsked());
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_EQ(boxes.back().title, QStringLiteral("Leave page alert"));
    EXPECT_EQ(boxes.back().icon, QMessageBox::Question);
    EXPECT_TRUE(boxes.back().text.startsWith(QStringLiteral("The page at page1.example asks")));
    EXPECT_EQ(activeWindow(), windows[0]);
    EXPECT_TRUE(logText().contains(QStringLiteral("* Leave page question for URL: [http://page1.example/] -- stayed *")));
    answer = QMessageBox::Yes;
    EXPECT_TRUE(controlOf(windows[2])->fireLeavePageAsked());
    EXPECT_EQ(activeWindow(), windows[2]);
}

// --- downloads at the exit ---------------------------------------------------------------

TEST_F(ClosingPagesTest, ExitWithDownloadsRunningAsksAndNoExitsNothing)
{
    auto *running = new Download(QUrl(QStringLiteral("http://files.example/big.iso")),
                                 home.filePath(QStringLiteral("big.iso")));
    const auto cancels = std::make_shared<int>(0);
    running->setCanceller([cancels] { ++*cancels; });
    running->setProgress(1024, 4096);
    DownloadList::instance()->add(running);
    auto *done = new Download(QUrl(QStringLiteral("http://files.example/small")), home.filePath(QStringLiteral("small")));
    done->finish(corvane::DownloadState::Completed);
    DownloadList::instance()->add(done);

    answer = QMessageBox::No;
    EXPECT_FALSE(mainWindow()->close());
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_EQ(boxes.back().text, QStringLiteral("Downloads are still running. Cancel them and exit?"));
    EXPECT_EQ(boxes.back().icon, QMessageBox::Question);
    EXPECT_TRUE(running->isRunning());
    EXPECT_EQ(*cancels, 0);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_FALSE(exitStoredAnything());
    EXPECT_TRUE(logText().contains(QStringLiteral("* Exit with 1 download running -- kept, not exiting *")));

    // Yes, but a page holds the exit: the downloads go on meanwhile.
    answer = QMessageBox::Yes;
    FakeBrowserControl *page = controlOf(activeWindow());
    page->setCloseAnswer(CloseAnswer::Stay);
    EXPECT_FALSE(mainWindow()->close());
    EXPECT_TRUE(running->isRunning());

    page->setCloseAnswer(CloseAnswer::Close);
    const int asked = int(boxes.size());
    EXPECT_TRUE(mainWindow()->close());
    EXPECT_EQ(int(boxes.size()), asked + 1);
    EXPECT_EQ(*cancels, 1);
    EXPECT_EQ(running->state(), corvane::DownloadState::Cancelled);
    const QString log = logText();
    EXPECT_TRUE(log.contains(QStringLiteral("* Exit with 1 download running -- cancelled, exiting *")));
    EXPECT_TRUE(log.contains(QStringLiteral("* Download cancelled from URL: [http://files.example/big.iso] *")));
}

TEST_F(ClosingPagesTest, ExitWithOnlyFinishedDownloadsAsksNothingAboutThem)
{
    auto *done = new Download(QUrl(QStringLiteral("http://files.example/small")), home.filePath(QStringLiteral("small")));
    done->finish(corvane::DownloadState::Failed, corvane::DownloadFailure::NetworkFailed);
    DownloadList::instance()->add(done);
    EXPECT_TRUE(mainWindow()->close());
    EXPECT_TRUE(boxes.isEmpty());
}

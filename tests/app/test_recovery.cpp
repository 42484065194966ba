// Crash recovery: the record of the open windows kept while AutoSave is on,
// and the question at the next start after a run that did not end cleanly.
#include "app/RecoverySnapshot.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/Recovery.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "support/AppHarness.h"
#include "ui/MessageBox.h"
#include "ui/ModalQuestions.h"

#include <QFile>
#include <QMdiArea>
#include <QTest>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;
using corvane::Workspace;
using corvane::WorkspaceWindow;

namespace {

class RecoveryTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setAutoSave(1);
            s.setMsgExit(0);
            s.setHomeUrl("http://home.example/");
        });
    }

    QString snapshotPath() const
    {
        return QString::fromStdString(corvane::recoveryFilePath(home.dataHome().toStdString()));
    }

    QByteArray snapshot() const
    {
        QFile f(snapshotPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList snapshotUrls() const
    {
        QStringList out;
        for (const auto &[n, text] : Workspace::parse(snapshot().toStdString()).windowMap())
            out << QString::fromStdString(WorkspaceWindow::parse(text).url);
        return out;
    }

    // A window showing a page, as if it had loaded.
    BrowserWindow *openPage(const QString &url)
    {
        mainWindow()->runCommand(cmd::New);
        BrowserWindow *window = mainWindow()->activeBrowserWindow();
        auto *control = static_cast<FakeBrowserControl *>(window->activeView()->control());
        control->setLocation(url, url);
        control->fireDocumentComplete(url);
        return window;
    }

    // Waits for the record to be written again.
    bool written(int before) const
    {
        return QTest::qWaitFor([&] { return app().recovery()->writes() > before; }, 10000);
    }

    // Three windows on disk, then the program ends without closing (as a
    // kill would end it).
    void leaveThreeWindows()
    {
        ASSERT_TRUE(start({QStringLiteral("nologo")}));
        static_cast<FakeBrowserControl *>(mainWindow()->activeView()->control())
            ->setLocation(QString(), QStringLiteral("http://home.example/"));
        openPage(QStringLiteral("http://two.example/"));
        openPage(QStringLiteral("http://three.example/"));
        ASSERT_TRUE(written(0));
        ASSERT_EQ(snapshotUrls().size(), 3);
        stop();
        ASSERT_TRUE(QFile::exists(snapshotPath()));
    }

    QStringList openUrls() const
    {
        QStringList out;
        for (QMdiSubWindow *w : mainWindow()->mdiArea()->subWindowList()) {
            auto *window = qobject_cast<BrowserWindow *>(w);
            if (window && !window->isHidden())
                out << static_cast<FakeBrowserControl *>(window->activeView()->control())
                           ->operations(QStringLiteral("navigate"))
                           .last()
                           .mid(9);
        }
        return out;
    }
};

} // namespace

TEST_F(RecoveryTest, ChangesAreWrittenSoonAndNothingRunsWhileNothingChanges)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    RecoverySnapshot *recovery = app().recovery();
    ASSERT_NE(recovery, nullptr);
    ASSERT_TRUE(recovery->keeping());
    BrowserWindow *first = mainWindow()->activeBrowserWindow();
    auto *control = static_cast<FakeBrowserControl *>(first->activeView()->control());
    control->setLocation(QString(), QStringLiteral("http://home.example/"));

    // Opened: on disk within the delay; then quiet, no timer left running.
    openPage(QStringLiteral("http://second.example/"));
    EXPECT_TRUE(recovery->changePending());
    ASSERT_TRUE(written(0));
    EXPECT_FALSE(recovery->changePending());
    EXPECT_EQ(snapshotUrls(), (QStringList{QStringLiteral("http://second.example/"), QStringLiteral("http://home.example/")}));
    const Workspace record = Workspace::parse(snapshot().toStdString());
    EXPECT_EQ(record.name, "recovery") << "never \"default\"";
    EXPECT_EQ(store()->loadWorkspaces().count("recovery"), 0u) << "never in the workspace list";
    QTest::qWait(RecoverySnapshot::kDelayMs + 200);
    EXPECT_EQ(recovery->writes(), 1);

    // Scrolled, navigated, AutoRefresh: each brings a write; the same state
    // again writes nothing.
    int writes = recovery->writes();
    control->setScroll(QPoint(0, 640));
    first->activeView()->onScrollPositionChanged();
    ASSERT_TRUE(written(writes));
    EXPECT_EQ(WorkspaceWindow::parse(Workspace::parse(snapshot().toStdString()).windowMap().at(2)).scrollTop, 640);
    writes = recovery->writes();
    control->setLocation(QString(), QStringLiteral("http://moved.example/"));
    control->fireNavigation(QStringLiteral("http://moved.example/"));
    ASSERT_TRUE(written(writes));
    EXPECT_TRUE(snapshotUrls().contains(QStringLiteral("http://moved.example/")));
    writes = recovery->writes();
    first->activeView()->onScrollPositionChanged();
    EXPECT_TRUE(recovery->changePending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recovery->changePending(); }, 10000));
    EXPECT_EQ(recovery->writes(), writes) << "nothing changed: nothing written";

    // Split, the bar moved, locked: each is a change of the record.
    writes = recovery->writes();
    first->splitter()->splitColumn(200);
    ASSERT_TRUE(written(writes));
    WorkspaceWindow split = WorkspaceWindow::parse(Workspace::parse(snapshot().toStdString()).windowMap().at(2));
    EXPECT_EQ(split.panes.size(), 2u);
    EXPECT_EQ(split.colSplit, first->splitter()->columnPosition() + 2);
    writes = recovery->writes();
    first->splitter()->splitColumn(120);
    ASSERT_TRUE(written(writes));
    writes = recovery->writes();
    first->splitter()->setLocked(true);
    ASSERT_TRUE(written(writes));
    split = WorkspaceWindow::parse(Workspace::parse(snapshot().toStdString()).windowMap().at(2));
    EXPECT_EQ(split.splitterLocked, 1);
    EXPECT_EQ(split.colSplit, first->splitter()->columnPosition() + 2);

    // Closed: the window goes from the record.
    writes = recovery->writes();
    mainWindow()->closeActiveWindow();
    ASSERT_TRUE(written(writes));
    EXPECT_EQ(snapshotUrls().size(), 1);

    // A clean end removes it.
    mainWindow()->close();
    EXPECT_FALSE(QFile::exists(snapshotPath()));
}

TEST_F(RecoveryTest, WithoutAutoSaveNothingIsKept)
{
    store()->setAutoSave(0);
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    openPage(QStringLiteral("http://second.example/"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app().recovery()->changePending(); }, 10000));
    EXPECT_FALSE(QFile::exists(snapshotPath()));
    EXPECT_EQ(app().recovery()->writes(), 0);
}

TEST_F(RecoveryTest, AfterACrashYesBringsTheWindowsBack)
{
    leaveThreeWindows();
    answer = QMessageBox::Yes;
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().title, QStringLiteral("Restore windows"));
    EXPECT_EQ(boxes.first().text, QString::fromUtf8(corvane::kRecoveryQuestionText));
    EXPECT_EQ(boxes.first().icon, QMessageBox::Question);
    EXPECT_EQ(boxes.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QStringList urls = openUrls();
    urls.sort();
    EXPECT_EQ(urls, (QStringList{QStringLiteral("http://home.example/"), QStringLiteral("http://three.example/"),
                                 QStringLiteral("http://two.example/")}));
    EXPECT_EQ(controls.size(), 3) << "no first window opened only to be closed";
    // The windows open now write the next record over the old one.
    ASSERT_TRUE(written(0));
    EXPECT_EQ(snapshotUrls().size(), 3);
}

TEST_F(RecoveryTest, TheLeftOverRecordStaysUntilTheRestoredWindowsWroteTheirOwn)
{
    leaveThreeWindows();
    const QByteArray leftOver = snapshot();

    // The question stays up longer than a write waits; the main window
    // behind it is drawn meanwhile, and nothing touches the record.
    bool keptWhileAsked = false;
    bool drawnWhileAsked = false;
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &, QMessageBox::StandardButtons) {
        QTest::qWait(RecoverySnapshot::kDelayMs + 500);
        keptWhileAsked = snapshot() == leftOver && app().recovery()->writes() == 0;
        drawnWhileAsked = mainWindow()->isVisible() && mainWindow()->updatesEnabled();
        return QMessageBox::Yes;
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_TRUE(keptWhileAsked);
    EXPECT_TRUE(drawnWhileAsked);

    // Yes: the three windows are back, and until their own record is
    // written the old one is there for a crash to find.
    EXPECT_EQ(openUrls().size(), 3);
    EXPECT_EQ(snapshot(), leftOver);
    ASSERT_TRUE(written(0));
    EXPECT_NE(snapshot(), leftOver);
    EXPECT_EQ(snapshotUrls().size(), 3);
    EXPECT_EQ(Workspace::parse(snapshot().toStdString()).name, "recovery");
}

TEST_F(RecoveryTest, EndingWhileAskedKeepsTheRecordAndTheDefaultWorkspace)
{
    leaveThreeWindows();
    const QByteArray leftOver = snapshot();
    Workspace stored;
    stored.setWindows({WorkspaceWindow().entryText(), WorkspaceWindow().entryText()});
    stored.empty = false;
    corvane::WorkspaceMap map;
    corvane::putExitWorkspace(map, true, stored);
    store()->storeWorkspaces(map);
    const std::string defaultBefore = store()->loadWorkspaces().at("default");

    // A SIGTERM while the question is up.
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &, QMessageBox::StandardButtons) {
        endModalQuestions();
        return QMessageBox::NoButton;
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_TRUE(openUrls().isEmpty()) << "nothing opens for a question nobody answered";
    mainWindow()->closeWithoutQuestions();
    resumeModalQuestions();
    EXPECT_EQ(snapshot(), leftOver);
    EXPECT_EQ(store()->loadWorkspaces().at("default"), defaultBefore);
}

TEST_F(RecoveryTest, AfterACrashNoDiscardsTheRecordAndStartsAsUsual)
{
    leaveThreeWindows();
    answer = QMessageBox::No;
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(openUrls(), QStringList{QStringLiteral("http://home.example/")});
    EXPECT_FALSE(QFile::exists(snapshotPath()));
}

TEST_F(RecoveryTest, AStartWithAnAddressStillAsksAfterOpeningIt)
{
    leaveThreeWindows();
    answer = QMessageBox::Yes;
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("http://asked.example/")}));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().title, QStringLiteral("Restore windows"));
    EXPECT_EQ(openUrls().size(), 4) << "the address's window and the three";
    EXPECT_EQ(static_cast<FakeBrowserControl *>(mainWindow()->activeView()->control())
                  ->operations(QStringLiteral("navigate"))
                  .last(),
              QStringLiteral("navigate http://asked.example/"))
        << "the window asked for stays in front";
}

TEST_F(RecoveryTest, ASecondCorvaneLeavesTheRecordToTheFirst)
{
    leaveThreeWindows();
    corvane::RecoveryFile running(snapshotPath().toStdString());
    ASSERT_TRUE(running.lock());
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_TRUE(boxes.isEmpty()) << "the record belongs to the Corvane running";
    EXPECT_FALSE(app().recovery()->keeping());
    openPage(QStringLiteral("http://other.example/"));
    EXPECT_FALSE(app().recovery()->changePending());
    mainWindow()->close();
    EXPECT_EQ(snapshotUrls().size(), 3) << "left alone";
}

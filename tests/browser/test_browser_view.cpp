// The browser view driven through a fake control, with a fake host standing
// in for the application and the main window.
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/CommandIds.h"
#include "core/PopupDecision.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"
#include "support/Eventually.h"
#include "support/FakeBrowserControl.h"
#include "support/FakeBrowserHost.h"
#include "support/MessageBoxRecorder.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace {

class BrowserViewTest : public ::testing::Test, protected MessageBoxRecorder
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.home.isValid());
        answer = QMessageBox::No; // questions are declined unless a test says otherwise
        settings().setLogging(1);
        settings().setLogFile(host.home.logPath().toStdString());
        host.openBrowserWindow();
        ASSERT_EQ(host.controls.size(), 1);
        control()->clearOperations();
    }

    SettingsStore &settings() { return host.settings(); }
    FakeBrowserControl *control(int i = 0) { return host.controls.at(i); }
    BrowserView *view(int i = 0) { return dynamic_cast<BrowserView *>(control(i)->events()); }
    QStringList logLines() const { return host.home.logLines(); }

    // A stopwatch clock the test moves by hand.
    void useManualClock()
    {
        view()->stopwatch() = Stopwatch([this] { return m_now; });
    }

    FakeBrowserHost host;
    std::time_t m_now = 1000;
};

TEST_F(BrowserViewTest, FirstNavigationTakesPendingAddressThenHomeThenStartPage)
{
    // The first window had neither: our own start page.
    host.controls.clear();
    host.openBrowserWindow();
    EXPECT_EQ(control()->operations(), QStringList{QStringLiteral("navigate corvane:start")});
    EXPECT_EQ(view()->autoRefreshMinutes(), 2);
    EXPECT_EQ(view()->autoRefreshSeconds(), 0);

    settings().setHomeUrl("http://home.example/");
    host.openBrowserWindow();
    EXPECT_EQ(control(1)->operations(), QStringList{QStringLiteral("navigate http://home.example/")});

    EXPECT_TRUE(host.firstNew);
    host.pendingDocument = QStringLiteral("/tmp/page.html");
    host.openBrowserWindow();
    EXPECT_EQ(control(2)->operations(), QStringList{QStringLiteral("navigate /tmp/page.html")});
    EXPECT_TRUE(host.pendingDocument.isEmpty());
    EXPECT_FALSE(host.firstNew);
}

TEST_F(BrowserViewTest, NavigationStartAndEndAreLoggedAndTimed)
{
    useManualClock();
    host.offline = true;
    EXPECT_FALSE(control()->fireNavigationStarting(QStringLiteral("http://a.example/")));
    EXPECT_TRUE(view()->navigating());
    EXPECT_EQ(view()->currentNavigationAddress(), QStringLiteral("http://a.example/"));
    EXPECT_TRUE(control()->did(QStringLiteral("setOffline 1")));

    m_now += 67;
    control()->setLocation(QStringLiteral("A"), QStringLiteral("http://a.example/"));
    control()->fireDocumentComplete(QStringLiteral("http://a.example/"));
    EXPECT_FALSE(view()->navigating());
    EXPECT_EQ(host.addressText, QStringLiteral("http://a.example/"));

    const QStringList lines = logLines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{QStringLiteral("* Navigation started to URL: [http://a.example/] *"),
                           QStringLiteral("* Navigation complete to URL: [http://a.example/] *"),
                           QStringLiteral("~ Navigation timed result for URL: [http://a.example/] -- 00:01:07 ~"),
                           QStringLiteral(" ")}));
}

TEST_F(BrowserViewTest, EveryFrameLogsItsPairTimedFromTheLatestStart)
{
    useManualClock();
    const QString top = QStringLiteral("http://a.example/frames");
    control()->setLocation(QStringLiteral("F"), top);
    control()->fireNavigationStarting(top, true);
    m_now += 2;
    control()->fireNavigationStarting(QStringLiteral("http://ads.example/f1"), false);
    m_now += 3;
    control()->fireDocumentComplete(QStringLiteral("http://ads.example/f1"), false);
    // A frame does not change what the address box shows.
    EXPECT_EQ(host.addressText, top);
    m_now += 1;
    control()->fireDocumentComplete(top, true);

    const QStringList lines = logLines();
    EXPECT_EQ(lines.count(QStringLiteral("* Navigation started to URL: [http://ads.example/f1] *")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("* Navigation complete to URL: [http://ads.example/f1] *")), 1);
    EXPECT_TRUE(lines.contains(
        QStringLiteral("~ Navigation timed result for URL: [http://ads.example/f1] -- 00:00:03 ~")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("~ Navigation timed result for URL: [%1] -- 00:00:04 ~").arg(top)));
}

TEST_F(BrowserViewTest, LongTitlesAreCutInTheCaptionButLoggedWhole)
{
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    const QString title200 = QString(200, QLatin1Char('t'));
    control()->fireTitle(title200);
    EXPECT_EQ(view()->document()->title(), QString(125, QLatin1Char('t')) + QStringLiteral("..."));
    EXPECT_EQ(view()->browserWindow()->windowTitle(), view()->document()->title());
    EXPECT_TRUE(logLines().contains(title200));

    const QString title128 = QString(128, QLatin1Char('u'));
    control()->fireTitle(title128);
    EXPECT_EQ(view()->document()->title(), title128);

    // Status texts are cut the same way in the status bar.
    control()->fireStatusText(QString(300, QLatin1Char('s')));
    EXPECT_EQ(host.statusText, QString(125, QLatin1Char('s')) + QStringLiteral("..."));
    EXPECT_TRUE(logLines().contains(QString(300, QLatin1Char('s'))));
}

TEST_F(BrowserViewTest, StatusAndTitleAreLoggedOnlyWhileNavigating)
{
    control()->fireStatusText(QStringLiteral("before"));
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    control()->fireStatusText(QStringLiteral("during"));
    control()->fireTitle(QStringLiteral("Title during"));
    control()->fireDocumentComplete(QStringLiteral("http://a.example/"));
    control()->fireStatusText(QStringLiteral("after"));
    control()->fireTitle(QStringLiteral("Title after"));

    control()->setLocation(QStringLiteral("B"), QStringLiteral("http://b.example/"));
    control()->fireNavigationStarting(QStringLiteral("http://b.example/"));
    view()->stop();
    control()->fireStatusText(QStringLiteral("after stop"));

    const QStringList lines = logLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("during")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Title during")));
    for (const char *quiet : {"before", "after", "Title after", "after stop"})
        EXPECT_FALSE(lines.contains(QLatin1String(quiet))) << quiet;
    EXPECT_EQ(lines.last(),
              QStringLiteral("* Navigation stopped by user for URL: [http://b.example/] *"));
    EXPECT_FALSE(view()->navigating());
    EXPECT_TRUE(control()->did(QStringLiteral("stop")));
    // The title still reaches the caption.
    EXPECT_EQ(view()->document()->title(), QStringLiteral("Title after"));
}

TEST_F(BrowserViewTest, HttpsInAnyCaseLightsTheSecureIndicator)
{
    control()->fireNavigationStarting(QStringLiteral("HtTpS://bank.example/"));
    EXPECT_TRUE(host.secure);
    control()->fireDocumentComplete(QStringLiteral("http://plain.example/"));
    EXPECT_FALSE(host.secure);
    control()->fireNavigationStarting(QStringLiteral("https://bank.example/"));
    EXPECT_TRUE(host.secure);
}

TEST_F(BrowserViewTest, SilentModeFollowsSpawningNoDialogsAndLoudOnce)
{
    struct Case { int spawning; int noDialogs; const char *expected; };
    for (const Case c : {Case{1, 1, "setSilent 1"}, Case{1, 0, "setSilent 0"},
                         Case{0, 1, "setSilent 0"}, Case{0, 0, "setSilent 0"}}) {
        settings().setSpawning(c.spawning);
        settings().setNoDialogs(c.noDialogs);
        control()->clearOperations();
        control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
        EXPECT_EQ(control()->operations(QStringLiteral("setSilent")),
                  QStringList{QLatin1String(c.expected)})
            << c.spawning << c.noDialogs;
    }
    // A mail link's navigation is loud once, then the rule applies again.
    settings().setSpawning(1);
    settings().setNoDialogs(1);
    view()->setLoudOnce(true);
    control()->clearOperations();
    control()->fireNavigationStarting(QStringLiteral("mailto:x@example.org"));
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    EXPECT_EQ(control()->operations(QStringLiteral("setSilent")),
              (QStringList{QStringLiteral("setSilent 0"), QStringLiteral("setSilent 1")}));
    EXPECT_FALSE(view()->loudOnce());
}

TEST_F(BrowserViewTest, RefreshWhileOfflineAsksToGoOnline)
{
    settings().setMsgOffline(1);
    host.offline = true;
    answer = QMessageBox::No;
    view()->reload();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Offline mode alert"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("You are currently working offline.  Would you like to go online?"));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(control()->operations(), QStringList{QStringLiteral("reload Complete")});
    EXPECT_TRUE(host.offline);

    answer = QMessageBox::Yes;
    control()->clearOperations();
    view()->reload();
    EXPECT_FALSE(host.offline);
    EXPECT_EQ(control()->operations(),
              (QStringList{QStringLiteral("setOffline 0"), QStringLiteral("reload Complete")}));

    // Online, or with the message off: no question.
    boxes.clear();
    view()->reload();
    settings().setMsgOffline(0);
    host.offline = true;
    view()->reload();
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(BrowserViewTest, ClipboardCommandsActOnTheFocusedEditField)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit(QStringLiteral("typed text"), &window);
    auto *combo = new QComboBox(&window);
    combo->setEditable(true);
    combo->setEditText(QStringLiteral("http://address.example/"));
    layout->addWidget(edit);
    layout->addWidget(combo);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    edit->selectAll();
    view()->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("typed text"));

    combo->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->hasFocus(); }));
    combo->lineEdit()->selectAll();
    view()->cut();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("http://address.example/"));
    EXPECT_TRUE(combo->currentText().isEmpty());
    view()->paste();
    EXPECT_EQ(combo->currentText(), QStringLiteral("http://address.example/"));
    EXPECT_TRUE(control()->operations(QStringLiteral("runPageCommand")).isEmpty());

    // With the focus in the page the page's own command runs.
    view()->control()->widget()->window()->activateWindow();
    view()->setFocus();
    QApplication::setActiveWindow(view()->window());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !edit->hasFocus() && !combo->hasFocus(); }));
    view()->copy();
    view()->selectAll();
    EXPECT_EQ(control()->operations(QStringLiteral("runPageCommand")),
              (QStringList{QStringLiteral("runPageCommand Copy"), QStringLiteral("runPageCommand SelectAll")}));
}

TEST_F(BrowserViewTest, AutoRefreshPausesDuringLoadsAndStopEndsIt)
{
    view()->setAutoRefresh(2, 0, true);
    control()->fireDocumentComplete(QStringLiteral("http://a.example/"));
    EXPECT_TRUE(view()->autoRefreshTimerActive());
    control()->fireNavigationStarting(QStringLiteral("http://a.example/next"));
    EXPECT_FALSE(view()->autoRefreshTimerActive());
    EXPECT_TRUE(view()->autoRefreshOn());
    control()->fireDocumentComplete(QStringLiteral("http://a.example/next"));
    EXPECT_TRUE(view()->autoRefreshTimerActive());

    // A load that ends without a document (a download) leaves the page as
    // it was, AutoRefresh going on.
    control()->setLocation(QStringLiteral("Next"), QStringLiteral("http://a.example/next"));
    control()->fireNavigationStarting(QStringLiteral("http://a.example/file.zip"));
    view()->onLoadStopped();
    EXPECT_FALSE(view()->navigating());
    EXPECT_TRUE(view()->autoRefreshTimerActive());
    EXPECT_EQ(host.addressText, QStringLiteral("http://a.example/next"));

    view()->stop();
    EXPECT_FALSE(view()->autoRefreshTimerActive());
    EXPECT_FALSE(view()->autoRefreshOn());
    control()->fireDocumentComplete(QStringLiteral("http://a.example/next"));
    EXPECT_FALSE(view()->autoRefreshTimerActive());
}

TEST_F(BrowserViewTest, AutoRefreshToggleShowsBothMessagesAndStartsOnceTheBoxIsClosed)
{
    // A new window refreshes every 2 minutes; the timer waits for the box.
    bool runningWhileShown = true;
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon icon, const QString &title, const QString &text,
                          QMessageBox::StandardButtons buttons) {
        runningWhileShown = view()->autoRefreshTimerActive();
        boxes.append({icon, title, text, buttons});
        return QMessageBox::Ok;
    });
    EXPECT_TRUE(view()->runCommand(corvane::cmd::AutoRefresh));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].title, QStringLiteral("AutoRefresh enabled"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Automatic refreshing of the current view has been enabled.\n"
                                            "This page will refresh every 2 minutes."));
    EXPECT_FALSE(runningWhileShown);
    EXPECT_TRUE(view()->autoRefreshOn());
    EXPECT_TRUE(view()->autoRefreshTimerActive());
    EXPECT_EQ(view()->autoRefreshInterval(), 120000);

    view()->runCommand(corvane::cmd::AutoRefresh);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].title, QStringLiteral("AutoRefresh disabled"));
    EXPECT_EQ(boxes[1].text, QStringLiteral("Automatic refreshing of the current view has been disabled."));
    EXPECT_FALSE(view()->autoRefreshOn());
    EXPECT_FALSE(view()->autoRefreshTimerActive());

    // Without MsgAutoRefresh no box either way.
    settings().setMsgAutoRefresh(0);
    view()->setAutoRefresh(60, 5, false);
    view()->runCommand(corvane::cmd::AutoRefresh);
    EXPECT_TRUE(view()->autoRefreshTimerActive());
    EXPECT_EQ(view()->autoRefreshInterval(), 3605000);
    view()->runCommand(corvane::cmd::AutoRefresh);
    EXPECT_FALSE(view()->autoRefreshTimerActive());
    EXPECT_EQ(boxes.size(), 2);

    // Stop ends it; the next toggle starts it again.
    view()->runCommand(corvane::cmd::AutoRefresh);
    view()->stop();
    EXPECT_FALSE(view()->autoRefreshOn());
    view()->runCommand(corvane::cmd::AutoRefresh);
    EXPECT_TRUE(view()->autoRefreshOn());
}

TEST_F(BrowserViewTest, AutoRefreshTickLogsAndRefreshes)
{
    view()->setAutoRefresh(0, 0, true); // a zero interval still waits a second
    control()->fireDocumentComplete(QStringLiteral("http://a.example/"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return control()->did(QStringLiteral("reload Normal")); }, 3000));
    EXPECT_TRUE(logLines().contains(QStringLiteral("AutoRefreshing...")));
}

TEST_F(BrowserViewTest, TextSizeZoomsOnlyThisViewAndIsStored)
{
    host.openBrowserWindow();
    view(0)->changeFonts(corvane::cmd::FontsLarge);
    EXPECT_EQ(control(0)->operations(), QStringList{QStringLiteral("runPageCommand Zoom 3")});
    EXPECT_TRUE(control(1)->operations(QStringLiteral("runPageCommand")).isEmpty());
    EXPECT_EQ(host.fontSize, 2);
    EXPECT_EQ(settings().fonts(), 2);

    view(0)->runCommand(corvane::cmd::FontsTiny);
    EXPECT_EQ(control(0)->operations().last(), QStringLiteral("runPageCommand Zoom 0"));
    EXPECT_EQ(settings().fonts(), 5);
}

TEST_F(BrowserViewTest, SavedScrollIsRestoredUntilNavigateOrAClick)
{
    view()->setSavedScrollPosition(10, 500);
    control()->fireProgress(50, 100);
    control()->fireDocumentComplete(QStringLiteral("http://a.example/"));
    EXPECT_EQ(control()->operations(QStringLiteral("setScrollPosition")).size(), 2);

    QTest::mouseClick(control()->widget(), Qt::LeftButton);
    EXPECT_FALSE(view()->hasSavedScrollPosition());

    control()->setScroll(QPoint(3, 40));
    view()->saveScrollPosition();
    EXPECT_EQ(view()->savedScrollLeft(), 3);
    EXPECT_EQ(view()->savedScrollTop(), 40);
    view()->navigate(QStringLiteral("http://b.example/"));
    EXPECT_FALSE(view()->hasSavedScrollPosition());
}

TEST_F(BrowserViewTest, ScriptErrorsShowUnlessTheDebuggerSwitchIsYes)
{
    control()->fireScriptError(QStringLiteral("Uncaught ReferenceError: foo is not defined"), 7);
    EXPECT_EQ(host.statusText,
              QStringLiteral("Script error: Uncaught ReferenceError: foo is not defined (line 7)"));

    settings().userStore().writeString("Software\\Microsoft\\Internet Explorer\\Main",
                                       "Disable Script Debugger", "yes");
    host.statusText = QStringLiteral("quiet");
    control()->fireScriptError(QStringLiteral("another"), 1);
    EXPECT_EQ(host.statusText, QStringLiteral("quiet"));
}

TEST_F(BrowserViewTest, NewWindowsNeedANavigationAndViewSourceSkipsThePopupCheck)
{
    bool cancelled = false;
    EXPECT_EQ(control()->fireNewWindow(&cancelled), nullptr);
    EXPECT_TRUE(cancelled);

    control()->fireNavigationStarting(QStringLiteral("http://opener.example/"));
    BrowserControl *created = control()->fireNewWindow(&cancelled);
    ASSERT_NE(created, nullptr);
    ASSERT_EQ(host.controls.size(), 2);
    EXPECT_EQ(created, control(1));
    EXPECT_TRUE(view(1)->popupCheckPending());
    EXPECT_EQ(view(1)->openerAddress(), QStringLiteral("http://opener.example/"));
    EXPECT_EQ(view(1)->ownWindow(), view(1)->browserWindow());
    // The decision is taken once, at the popup's first navigation start.
    control(1)->fireNavigationStarting(QStringLiteral("http://popup.example/"));
    EXPECT_FALSE(view(1)->popupCheckPending());

    BrowserControl *source = control()->fireViewSourceWindow();
    ASSERT_EQ(host.controls.size(), 3);
    EXPECT_EQ(source, control(2));
    EXPECT_FALSE(view(2)->popupCheckPending());
}

TEST_F(BrowserViewTest, ScriptCloseAddressesCloseTheirOwnWindowOnly)
{
    QPointer<BrowserWindow> first = view()->browserWindow();
    host.openBrowserWindow();
    QPointer<BrowserWindow> second = view(1)->browserWindow();
    host.area()->setActiveSubWindow(second);

    // ".close" beside "www." and ordinary pages go on.
    EXPECT_FALSE(control()->fireNavigationStarting(
        QStringLiteral("javascript:open('http://www.example.org/x').close")));
    EXPECT_FALSE(control()->fireNavigationStarting(QStringLiteral("http://docs.example/io.html#close()")));
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(first.isNull());

    // "close()" in a script address: cancelled, and the window it came from
    // closes once the event is over, not the one in front.
    EXPECT_TRUE(control()->fireNavigationStarting(QStringLiteral("javascript:window.Close()")));
    EXPECT_FALSE(first.isNull());
    EXPECT_EVENTUALLY(first.isNull());
    EXPECT_FALSE(second.isNull());
}

TEST_F(BrowserViewTest, AScriptAddressRunsInThePageItLeavesAsItWas)
{
    ASSERT_TRUE(control()->fireNavigation(QStringLiteral("https://bank.example/"), QStringLiteral("Bank")));
    EXPECT_TRUE(host.secure);
    EXPECT_FALSE(control()->fireNavigationStarting(QStringLiteral("javascript:void(0)")));
    EXPECT_TRUE(logLines().contains(QStringLiteral("* Navigation started to URL: [javascript:void(0)] *")));
    // The script's load is over at once: the page's address and indicator
    // come back, and the page's windows are still opened from its address.
    control()->fireLoadStopped();
    EXPECT_TRUE(host.secure);
    EXPECT_EQ(host.addressText, QStringLiteral("https://bank.example/"));
    EXPECT_FALSE(view()->navigating());
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    EXPECT_EQ(view(1)->openerAddress(), QStringLiteral("https://bank.example/"));
}

TEST_F(BrowserViewTest, APopupStaysHiddenUntilItsDecision)
{
    control()->fireNavigationStarting(QStringLiteral("http://opener.example/"));
    settings().setSpawning(1);
    settings().setSpawningFilter(1);
    settings().storeFilter({"ads"});

    // Refused: closed without ever being shown.
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    QPointer<BrowserWindow> refused = view(1)->browserWindow();
    EXPECT_FALSE(refused->isVisible());
    EXPECT_TRUE(control(1)->fireNavigationStarting(QStringLiteral("http://ADS.example/")));
    EXPECT_EVENTUALLY(refused.isNull());

    // Asked: shown on Yes only, after the engine's event; its navigation
    // waits for the answer and then starts again.
    settings().setMsgConfirmNewWindow(1);
    answer = QMessageBox::Yes;
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    QPointer<BrowserWindow> asked = view(2)->browserWindow();
    EXPECT_TRUE(control(2)->fireNavigationStarting(QStringLiteral("http://News.example/")));
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_FALSE(asked->isVisible());
    EXPECT_EVENTUALLY(asked && asked->isVisible());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.at(0).text.contains(QStringLiteral("\nhttp://news.example/\n")));
    EXPECT_EQ(host.activeView(), view(2));
    EXPECT_EQ(control(2)->operations(QStringLiteral("startRefusedNavigation")).size(), 1);

    // A popup whose page closes it before any decision goes quietly.
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    QPointer<BrowserWindow> closing = view(3)->browserWindow();
    control(3)->fireWindowCloseRequested();
    EXPECT_EVENTUALLY(closing.isNull());
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(BrowserViewTest, AnAskedPopupLoadsNothingAndOpensNothingBeforeItsYes)
{
    control()->fireNavigationStarting(QStringLiteral("http://opener.example/"));
    settings().setMsgConfirmNewWindow(1);
    answer = QMessageBox::No;

    ASSERT_NE(control()->fireNewWindow(), nullptr);
    QPointer<BrowserWindow> popup = view(1)->browserWindow();
    // The popup's navigation is refused while the question is due.
    EXPECT_TRUE(control(1)->fireNavigationStarting(QStringLiteral("http://popup.example/")));
    EXPECT_TRUE(view(1)->popupHeld());
    // Meanwhile it opens no window of its own, and asks nothing more.
    bool cancelled = false;
    EXPECT_EQ(control(1)->fireNewWindow(&cancelled), nullptr);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(host.controls.size(), 2);

    // No: it goes unseen, its navigation never started again.
    EXPECT_EVENTUALLY(popup.isNull());
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(host.controls.at(1).isNull());

    // A window that has not started its navigation opens none either (the
    // page's next window is made once it has a new address).
    control()->fireNavigationStarting(QStringLiteral("http://opener.example/next"));
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    EXPECT_EQ(control(2)->fireNewWindow(&cancelled), nullptr);
    EXPECT_TRUE(cancelled);
}

TEST_F(BrowserViewTest, APageOpeningManyWindowsAtOnceGetsOneQuestion)
{
    control()->fireNavigationStarting(QStringLiteral("http://burst.example/"));
    settings().setMsgConfirmNewWindow(1);
    answer = QMessageBox::No;
    constexpr int kMax = corvane::kPopupBurstMaxWindows;
    const auto alive = [&] {
        return std::count_if(host.controls.begin(), host.controls.end(), [](const auto &c) { return !c.isNull(); });
    };

    // The page asks for five hundred windows in a loop, all before the
    // first one's navigation starts: the burst holds twenty, the others are
    // refused before they are made.
    QList<QPointer<BrowserWindow>> windows;
    for (int i = 0; i < 500; ++i) {
        bool cancelled = false;
        BrowserControl *made = control()->fireNewWindow(&cancelled);
        if (i >= kMax) {
            EXPECT_EQ(made, nullptr) << i;
            EXPECT_TRUE(cancelled) << i;
            continue;
        }
        ASSERT_NE(made, nullptr) << i;
        windows << view(i + 1)->browserWindow();
    }
    EXPECT_EQ(host.controls.size(), 1 + kMax);
    // Their navigations start as the engine gets to them; the last one only
    // after the answer.
    for (int i = 0; i + 1 < kMax; ++i)
        EXPECT_TRUE(control(i + 1)->fireNavigationStarting(QStringLiteral("http://burst.example/%1").arg(i)));
    EXPECT_EVENTUALLY(boxes.size() == 1);
    EXPECT_TRUE(control(kMax)->fireNavigationStarting(QStringLiteral("http://burst.example/late")));
    // One question, naming the count and the first window: No closes all,
    // the late one too, and nothing of them stays.
    EXPECT_EVENTUALLY(std::all_of(windows.begin(), windows.end(), [](const auto &w) { return w.isNull(); }));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).title, QStringLiteral("New window request alert"));
    EXPECT_EQ(boxes.at(0).text, QStringLiteral("A request has been made by the current view to spawn 19 windows, "
                                               "the first of them:\nhttp://burst.example/0\nWould you like to "
                                               "view these sites?"));
    EXPECT_EQ(host.area()->subWindowList().size(), 1);
    EXPECT_EQ(alive(), 1);
    // Right after the No, the page's next window is not even made.
    bool cancelled = false;
    EXPECT_EQ(control()->fireNewWindow(&cancelled), nullptr);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(boxes.size(), 1);

    // The page that goes on is not asked again, also once the burst is
    // over, until the user clicks in it.
    QTest::qWait(corvane::kPopupBurstQuietMs + 100);
    EXPECT_EQ(control()->fireNewWindow(), nullptr);
    QTest::mouseClick(control()->widget(), Qt::LeftButton);

    // Then its next burst is asked about. Yes shows every window it holds
    // and lets each navigation go out; the page's windows past the cap stay
    // refused until that burst is over too.
    answer = QMessageBox::Yes;
    const qsizetype first = host.controls.size();
    for (int i = 0; i < kMax + 5; ++i) {
        BrowserControl *made = control()->fireNewWindow();
        EXPECT_EQ(made != nullptr, i < kMax) << i;
        if (made)
            control(first + i)->fireNavigationStarting(QStringLiteral("http://burst.example/again"));
    }
    EXPECT_EVENTUALLY(boxes.size() == 2);
    EXPECT_TRUE(boxes.at(1).text.contains(QStringLiteral("spawn %1 windows").arg(kMax)));
    for (int i = 0; i < kMax; ++i) {
        EXPECT_EVENTUALLY(view(first + i)->browserWindow()->isVisible());
        EXPECT_TRUE(control(first + i)->did(QStringLiteral("startRefusedNavigation")));
    }
    EXPECT_EQ(control()->fireNewWindow(), nullptr);
    QTest::qWait(corvane::kPopupBurstLimitMs + 100);
    answer = QMessageBox::No;
    ASSERT_NE(control()->fireNewWindow(), nullptr);
    control(first + kMax)->fireNavigationStarting(QStringLiteral("http://burst.example/later"));
    EXPECT_EVENTUALLY(boxes.size() == 3);
    EXPECT_EVENTUALLY(alive() == 1 + kMax);
}

TEST_F(BrowserViewTest, ActivationBringsTheHostInStepWithThePage)
{
    control()->setLocation(QStringLiteral("Shown page"), QStringLiteral("https://shown.example/"));
    host.addressTyping = true;
    host.addressText = QStringLiteral("half typed");
    view()->activationRefresh();
    EXPECT_FALSE(host.addressTyping);
    EXPECT_EQ(host.addressText, QStringLiteral("https://shown.example/"));
    EXPECT_TRUE(host.secure);
    EXPECT_EQ(view()->document()->title(), QStringLiteral("Shown page"));
}

TEST_F(BrowserViewTest, NavigationStartAppliesTheHostsModes)
{
    // A document handed in from outside: the window and its IE menu show at once.
    host.pendingDocument = QStringLiteral("http://handed.example/");
    control()->fireNavigationStarting(QStringLiteral("http://handed.example/"));
    EXPECT_EQ(host.ieMenuInsertions, 1);
    host.pendingDocument.clear();
    control()->fireNavigationStarting(QStringLiteral("http://next.example/"));
    EXPECT_EQ(host.ieMenuInsertions, 1);

    // While the override is on, every navigation turns the script debugger off.
    settings().setScriptDebuggerSwitch("no");
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    EXPECT_EQ(settings().scriptDebuggerSwitch(), std::optional<std::string>("no"));
    host.scriptDebuggerOverride = true;
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    EXPECT_EQ(settings().scriptDebuggerSwitch(), std::optional<std::string>("yes"));
}

TEST_F(BrowserViewTest, ClosingTheViewClearsTheProgressAndStatus)
{
    control()->fireNavigationStarting(QStringLiteral("http://a.example/"));
    control()->fireProgress(40, 100);
    control()->fireStatusText(QStringLiteral("Loading"));
    EXPECT_EQ(host.progress, 40);
    delete view()->browserWindow();
    EXPECT_EQ(host.progress, 0);
    EXPECT_EQ(host.progressMax, 0);
    EXPECT_TRUE(host.statusText.isEmpty());
}

TEST_F(BrowserViewTest, AWindowLoadingBehindTheActiveOneLeavesTheAddressBoxAlone)
{
    host.openBrowserWindow();
    ASSERT_EQ(host.controls.size(), 2);
    host.area()->setActiveSubWindow(view(1)->browserWindow());
    ASSERT_EQ(host.activeView(), view(1));
    control(1)->fireDocumentComplete(QStringLiteral("https://front.example/"));
    ASSERT_EQ(host.addressText, QStringLiteral("https://front.example/"));
    ASSERT_TRUE(host.secure);

    control(0)->fireNavigationStarting(QStringLiteral("http://behind.example/"));
    control(0)->fireDocumentComplete(QStringLiteral("http://behind.example/"));
    EXPECT_EQ(host.addressText, QStringLiteral("https://front.example/"));
    EXPECT_TRUE(host.secure);

    // Once active, the window's own address comes back.
    control(0)->setLocation(QStringLiteral("Behind"), QStringLiteral("http://behind.example/"));
    host.area()->setActiveSubWindow(view(0)->browserWindow());
    view(0)->activationRefresh();
    EXPECT_EQ(host.addressText, QStringLiteral("http://behind.example/"));
    EXPECT_FALSE(host.secure);
}

} // namespace

// --- image series ------------------------------------------------------------------------

TEST_F(BrowserViewTest, ImageSeriesLoadsTheNextImageAtEachCompletionUntilStop)
{
    // The shown page's ".JPG" in capitals is a JPEG all the same.
    control()->setLocation(QStringLiteral("img001.JPG"), QStringLiteral("http://pics.example/a/img001.JPG"));
    view()->startImageSeries(QStringLiteral("*autoscan 2"));
    EXPECT_TRUE(view()->imageSeriesActive());
    EXPECT_TRUE(boxes.isEmpty());
    control()->fireDocumentComplete(QStringLiteral("http://pics.example/a/img002.JPG"));
    // A frame's completion is not the image's.
    control()->fireDocumentComplete(QStringLiteral("http://pics.example/frame.html"), false);
    // A page that is not found completes too, and the series goes on.
    control()->fireDocumentComplete(QStringLiteral("http://pics.example/a/img003.JPG"));
    EXPECT_EQ(control()->operations(QStringLiteral("navigate")),
              (QStringList{QStringLiteral("navigate http://pics.example/a/img002.JPG"),
                           QStringLiteral("navigate http://pics.example/a/img003.JPG"),
                           QStringLiteral("navigate http://pics.example/a/img004.JPG")}));

    view()->stop();
    EXPECT_FALSE(view()->imageSeriesActive());
    control()->clearOperations();
    control()->fireDocumentComplete(QStringLiteral("http://pics.example/a/img004.JPG"));
    EXPECT_TRUE(control()->operations(QStringLiteral("navigate")).isEmpty());
}

TEST_F(BrowserViewTest, ImageSeriesUnpaddedFromPic7AndOnlyForJpg)
{
    control()->setLocation(QStringLiteral("pic7"), QStringLiteral("http://pics.example/pic7.jpg"));
    view()->startImageSeries(QStringLiteral("*autoscan -np 8"));
    for (int i = 0; i < 3; ++i)
        control()->fireDocumentComplete(QStringLiteral("http://pics.example/next.jpg"));
    EXPECT_EQ(control()->operations(QStringLiteral("navigate")),
              (QStringList{QStringLiteral("navigate http://pics.example/pic8.jpg"),
                           QStringLiteral("navigate http://pics.example/pic9.jpg"),
                           QStringLiteral("navigate http://pics.example/pic10.jpg"),
                           QStringLiteral("navigate http://pics.example/pic11.jpg")}));

    control()->clearOperations();
    control()->setLocation(QStringLiteral("photo"), QStringLiteral("http://pics.example/photo1.jpeg"));
    view()->startImageSeries(QStringLiteral("*autoscan 2"));
    EXPECT_FALSE(view()->imageSeriesActive());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Invalid file extension"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Make sure the image series you are trying to download are JPGs."));
    EXPECT_TRUE(control()->operations(QStringLiteral("navigate")).isEmpty());
}

// The main window driven as a user would: the address bar, the bars, the
// status panes, Close All, the command states and closing.
#include "app/CTestApp.h"
#include "browser/CChildFrame.h"
#include "browser/CTestView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/AddressBar.h"
#include "mainframe/CMainFrame.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class MainFrameTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        // No questions at start and a log file of the test's own.
        preset([this](SettingsStore &s) {
            s.SetLogging(1);
            s.SetLogFile(logPath().toStdString());
            s.SetBiPassDefault(1);
        });
    }

    FakeBrowserControl *activeControl() const
    {
        CTestView *view = frame()->activeView();
        return view ? static_cast<FakeBrowserControl *>(view->control()) : nullptr;
    }

    void typeAndEnter(const QString &text)
    {
        AddressBar *box = frame()->addressBar();
        box->setEditText(QString());
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

} // namespace

// --- address bar ---------------------------------------------------------------------

TEST_F(MainFrameTest, EnterRunsSmartNavigateNavigatesAndLogs)
{
    ASSERT_TRUE(start());
    FakeBrowserControl *control = activeControl();
    ASSERT_NE(control, nullptr);
    control->clearOperations();

    AddressBar *box = frame()->addressBar();
    QTest::keyClick(box, Qt::Key_W);
    EXPECT_TRUE(frame()->addressTyping()) << "the first character starts a new address";
    // While the user types, the view's address does not overwrite the box.
    frame()->SetAddressText(QStringLiteral("http://elsewhere.example/"));
    EXPECT_EQ(box->editText(), QStringLiteral("w"));
    QTest::keyClicks(box, QStringLiteral("ord"));
    QTest::keyClick(box, Qt::Key_Return);

    EXPECT_EQ(control->operations(QStringLiteral("navigate")),
              QStringList{QStringLiteral("navigate http://www.word.com")});
    EXPECT_FALSE(frame()->addressTyping());
    EXPECT_EQ(box->itemText(0), QStringLiteral("http://www.word.com"));
    EXPECT_EQ(box->count(), 1) << "Enter must not let the box add an item of its own";
    EXPECT_TRUE(logText().contains(QStringLiteral("User navigating to URL: [http://www.word.com]")));

    // A leading "*" is never completed; with SmartNavigate off nothing is.
    control->clearOperations();
    typeAndEnter(QStringLiteral("*autoscan"));
    frame()->OnCommand(cmd::SmartNavigateToggle);
    typeAndEnter(QStringLiteral("-word"));
    EXPECT_EQ(control->operations(QStringLiteral("navigate")),
              (QStringList{QStringLiteral("navigate *autoscan"), QStringLiteral("navigate -word")}));
}

TEST_F(MainFrameTest, HistoryKeepsRepeatsAtTopAndIsStoredAtOnce)
{
    ASSERT_TRUE(start());
    FakeBrowserControl *control = activeControl();
    control->clearOperations();

    typeAndEnter(QStringLiteral("a.example"));
    typeAndEnter(QStringLiteral("b.example"));
    // The same text as an item already in the list: one Go, no Pick.
    typeAndEnter(QStringLiteral("b.example"));

    const QStringList expected = {QStringLiteral("b.example"), QStringLiteral("b.example"),
                                  QStringLiteral("a.example")};
    EXPECT_EQ(frame()->addressBar()->items(), expected);
    EXPECT_EQ(control->operations(QStringLiteral("navigate")).size(), 3);

    std::vector<std::string> stored;
    for (const QString &item : expected)
        stored.push_back(item.toStdString());
    EXPECT_EQ(store()->LoadAddressHistory(), stored);

    // The next start shows the stored list in its order.
    stop();
    ASSERT_TRUE(start());
    EXPECT_EQ(frame()->addressBar()->items(), expected);
}

TEST_F(MainFrameTest, HistoryOffKeepsTheListEmpty)
{
    preset([](SettingsStore &s) { s.SetSaveAddressHistory(0); });
    ASSERT_TRUE(start());
    typeAndEnter(QStringLiteral("a.example"));
    EXPECT_EQ(frame()->addressBar()->count(), 0);
    EXPECT_TRUE(store()->LoadAddressHistory().empty());
}

TEST_F(MainFrameTest, PickNavigatesTheItemUnchangedWithoutReordering)
{
    preset([](SettingsStore &s) {
        s.StoreAddressHistory({"first", "second", "third"});
    });
    ASSERT_TRUE(start());
    FakeBrowserControl *control = activeControl();
    control->clearOperations();
    frame()->addressBar()->setEditText(QStringLiteral("typed"));

    // Choose "second" in the drop-down list.
    AddressBar *box = frame()->addressBar();
    box->showPopup();
    QAbstractItemView *list = box->view();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);

    EXPECT_EQ(control->operations(QStringLiteral("navigate")),
              QStringList{QStringLiteral("navigate second")}) << "no SmartNavigate on a pick";
    EXPECT_EQ(box->items(), (QStringList{QStringLiteral("first"), QStringLiteral("second"),
                                         QStringLiteral("third")}));
    EXPECT_TRUE(logText().contains(QStringLiteral("User navigating to URL: [second]")));

    // Leaving the box with an item's text in it is no pick, and the text
    // stays as the user left it.
    QTest::qWait(1);
    control->clearOperations();
    box->setEditText(QStringLiteral("THIRD"));
    Q_EMIT box->lineEdit()->editingFinished();
    EXPECT_TRUE(control->operations(QStringLiteral("navigate")).isEmpty());
    EXPECT_EQ(box->editText(), QStringLiteral("THIRD"));
}

// --- status panes ------------------------------------------------------------------------

TEST_F(MainFrameTest, StatusPanesFollowProgressAndWidth)
{
    ASSERT_TRUE(start());
    frame()->showNormal();
    frame()->resize(800, 500);

    frame()->setProgress(0, 0);
    frame()->UpdateStatusPanes();
    EXPECT_EQ(frame()->statusPaneWidth(0), frame()->width() - 140) << "idle layout";
    EXPECT_EQ(frame()->statusPaneWidth(1), 55);

    frame()->setProgress(50, 200);
    frame()->UpdateStatusPanes();
    EXPECT_EQ(frame()->statusPaneTexts().at(1), QStringLiteral("25% done"));
    EXPECT_EQ(frame()->statusPaneWidth(0), frame()->width() - 248);

    frame()->setProgress(200, 200);
    frame()->UpdateStatusPanes();
    EXPECT_EQ(frame()->statusPaneWidth(0), frame()->width() - 140) << "done is idle again";
    EXPECT_NE(frame()->statusPaneTexts().at(1), QStringLiteral("100% done"));

    frame()->setMinimumSize(1, 1);
    frame()->resize(120, 300);
    frame()->UpdateStatusPanes();
    EXPECT_EQ(frame()->statusPaneWidth(0), 0);

    // Secure and protected indicators in the idle layout's panes 2 and 3.
    frame()->setSecureText(QStringLiteral("S"));
    frame()->setProtectedText(QStringLiteral("P"));
    frame()->UpdateStatusPanes();
    EXPECT_EQ(frame()->statusPaneTexts().at(2), QStringLiteral("S"));
    EXPECT_EQ(frame()->statusPaneTexts().at(3), QStringLiteral("P"));
}

// --- bars ------------------------------------------------------------------------------------

TEST_F(MainFrameTest, HiddenToolbarTakesTheAddressBoxAlong)
{
    preset([](SettingsStore &s) {
        s.SetHideToolBar(1);
        s.SetShowAddressBar(1);
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(frame()->toolBar()->isHidden());
    EXPECT_TRUE(frame()->addressBand()->isHidden());
    EXPECT_FALSE(frame()->isCommandChecked(cmd::ToolBar));

    frame()->OnCommand(cmd::ToolBar);
    EXPECT_FALSE(frame()->toolBar()->isHidden());
    EXPECT_FALSE(frame()->addressBand()->isHidden()) << "showing the toolbar brings the box back";
    EXPECT_TRUE(frame()->commandAction(cmd::ToolBar)->isChecked());

    // Hiding the address bar while the toolbar is hidden: both stay hidden,
    // and the choice is stored at once.
    frame()->OnCommand(cmd::ToolBar);
    frame()->OnCommand(cmd::AddressBar);
    EXPECT_TRUE(frame()->toolBar()->isHidden());
    EXPECT_TRUE(frame()->addressBand()->isHidden());
    EXPECT_EQ(store()->GetShowAddressBar(), 0);
    EXPECT_FALSE(frame()->commandAction(cmd::AddressBar)->isChecked());

    frame()->OnCommand(cmd::ToolBar);
    EXPECT_FALSE(frame()->toolBar()->isHidden());
    EXPECT_TRUE(frame()->addressBand()->isHidden());

    // The keys of the accelerator table reach the same commands.
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    QTest::keyClick(frame(), Qt::Key_F8);
    EXPECT_TRUE(frame()->statusBar()->isHidden());
    EXPECT_FALSE(frame()->commandAction(cmd::StatusBar)->isChecked());
    QTest::keyClick(frame(), Qt::Key_F6);
    EXPECT_TRUE(frame()->toolBar()->isHidden());
}

TEST_F(MainFrameTest, ToolbarVariantSwitchesOnlyWithTheIEMenu)
{
    ASSERT_TRUE(start());
    // IE on and LinksAlwaysOn off: the Favorites toolbar.
    EXPECT_EQ(frame()->currentToolbar(), 156);
    frame()->OnCommand(cmd::ToolbarVariant);
    EXPECT_EQ(frame()->currentToolbar(), 128);
    EXPECT_EQ(store()->GetLinksAlwaysOn(), 1);
    frame()->OnCommand(cmd::ToolbarVariant);
    EXPECT_EQ(frame()->currentToolbar(), 156);
    EXPECT_EQ(store()->GetLinksAlwaysOn(), 0);

    app().settings().SetIE(0);
    frame()->OnCommand(cmd::ToolbarVariant);
    EXPECT_EQ(frame()->currentToolbar(), 156);
    EXPECT_EQ(store()->GetLinksAlwaysOn(), 0);
}

TEST_F(MainFrameTest, DimmedToolbarIsGreyUntilTheMouseIsOver)
{
    ASSERT_TRUE(start());
    const QList<QAction *> buttons = frame()->toolBar()->actions();
    ASSERT_EQ(buttons.size(), 20);
    const QIcon icon = buttons.first()->icon(); // New
    const QImage normal = icon.pixmap(QSize(16, 16), QIcon::Normal).toImage();
    const QImage active = icon.pixmap(QSize(16, 16), QIcon::Active).toImage();
    bool normalGrey = true;
    bool activeColoured = false;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QRgb n = normal.pixel(x, y);
            const QRgb a = active.pixel(x, y);
            if (qAlpha(n) > 0 && !(qRed(n) == qGreen(n) && qGreen(n) == qBlue(n)))
                normalGrey = false;
            if (qAlpha(a) > 0 && !(qRed(a) == qGreen(a) && qGreen(a) == qBlue(a)))
                activeColoured = true;
        }
    }
    EXPECT_TRUE(normalGrey);
    EXPECT_TRUE(activeColoured);
}

// --- menus and command states ------------------------------------------------------------------

TEST_F(MainFrameTest, CommandStatesFollowWindowsAndSettings)
{
    preset([](SettingsStore &s) { s.SetFonts(2); });
    ASSERT_TRUE(start());
    EXPECT_TRUE(frame()->windowMenuShown());
    QStringList titles;
    for (QMenu *menu : frame()->currentMenus())
        titles << menu->title();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Go", "&Tools", "&IE", "&Window",
                                   "&Help"}));
    // The IE menu takes the links over from the Go menu.
    EXPECT_FALSE(frame()->currentMenus().at(3)->actions().contains(frame()->commandAction(cmd::Links)));

    EXPECT_TRUE(frame()->isCommandEnabled(cmd::Open));
    EXPECT_TRUE(frame()->isCommandEnabled(cmd::CloseAll));
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::Save));
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::Mail)) << "no mail server";
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::Options)) << "no Options sheet yet";
    EXPECT_TRUE(frame()->commandAction(cmd::FontsLarge)->isChecked());
    EXPECT_FALSE(frame()->commandAction(cmd::FontsNormal)->isChecked());

    app().settings().SetMailServer("https://mail.example/");
    frame()->updateCommandUI();
    EXPECT_TRUE(frame()->commandAction(cmd::Mail)->isEnabled());

    // No window left: menu 128, view commands off, the address box off.
    frame()->OnCommand(cmd::Close);
    QTRY_COMPARE(windowCount(), 0);
    QTRY_VERIFY(!frame()->windowMenuShown());
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::Open));
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::CloseAll));
    EXPECT_FALSE(frame()->isCommandEnabled(cmd::Back));
    EXPECT_FALSE(frame()->addressBar()->isEnabled());

    // Mail ensures a window first.
    EXPECT_TRUE(frame()->OnCommand(cmd::Mail));
    ASSERT_EQ(windowCount(), 1);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate https://mail.example/")));
    EXPECT_TRUE(frame()->windowMenuShown());
    EXPECT_TRUE(frame()->addressBar()->isEnabled());
}

TEST_F(MainFrameTest, ToggleMessagesAndStoredSwitches)
{
    ASSERT_TRUE(start());
    frame()->OnCommand(cmd::ScanPopups);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Window Spawning Manager enabled"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("All popups will now be scanned with the Window Spawning Manager."));
    EXPECT_EQ(store()->GetSpawning(), 1);
    EXPECT_TRUE(frame()->commandAction(cmd::ScanPopups)->isChecked());

    frame()->OnCommand(cmd::ScanPopups);
    EXPECT_EQ(boxes.back().title, QStringLiteral("Window Spawning Manager disabled"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("All popups will now spawn as normal."));
    EXPECT_EQ(store()->GetSpawning(), 0);

    frame()->OnCommand(cmd::SmartNavigateToggle);
    EXPECT_EQ(boxes.back().title, QStringLiteral("SmartNavigate disabled"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("All URLs will now be sent without modifications."));
    EXPECT_EQ(store()->GetSmartNavigate(), 0);
    frame()->OnCommand(cmd::SmartNavigateToggle);
    EXPECT_EQ(boxes.back().title, QStringLiteral("SmartNavigate enabled"));
    EXPECT_EQ(boxes.back().text,
              QStringLiteral("All one-word addresses will now have \"http://www.\" and \".com\" "
                             "added when navigating to sites."));

    app().settings().SetMsgWindowSpawning(0);
    const qsizetype shown = boxes.size();
    frame()->OnCommand(cmd::ScanPopups);
    EXPECT_EQ(boxes.size(), shown);
    EXPECT_EQ(store()->GetSpawning(), 1);
}

TEST_F(MainFrameTest, HelpAndFavoritesNavigateTheActiveView)
{
    ASSERT_TRUE(start());
    CTestView *view = frame()->activeView();
    frame()->favoriteAddresses() = QStringList{QStringLiteral("https://fav.example/")};
    EXPECT_TRUE(frame()->OnCommand(cmd::FavoriteFirst));
    frame()->OnCommand(cmd::FavoriteFirst + 1); // no such favorite
    EXPECT_EQ(activeControl()->operations(QStringLiteral("navigate")).last(),
              QStringLiteral("navigate https://fav.example/"));
    frame()->OnCommand(cmd::MakerHomePage);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate https://www.tolvek.example/corvane/")));

    frame()->OnCommand(cmd::MailMaker);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate mailto:corvane@tolvek.example")));
    EXPECT_TRUE(view->loudOnce());

    frame()->OnCommand(cmd::Close);
    QTRY_COMPARE(windowCount(), 0);
    frame()->OnMailMaker();
    EXPECT_EQ(windowCount(), 0) << "no window opens for mail to the maker";
}

// --- Close All -------------------------------------------------------------------------------

TEST_F(MainFrameTest, CloseAllClosesTheWindowsOneAfterAnother)
{
    ASSERT_TRUE(start());
    app().openNewWindow();
    app().openNewWindow();
    ASSERT_EQ(windowCount(), 3);

    // Declined: nothing closes.
    answer = QMessageBox::No;
    frame()->OnCommand(cmd::CloseAll);
    QTest::qWait(10);
    EXPECT_EQ(windowCount(), 3);
    EXPECT_FALSE(frame()->closingAll());

    // Each window closes while the others are still open.
    QList<int> openAtEachClose;
    for (QMdiSubWindow *w : frame()->mdiArea()->subWindowList()) {
        QObject::connect(w, &QObject::destroyed, frame(), [&] {
            int open = 0;
            for (QMdiSubWindow *other : frame()->mdiArea()->subWindowList())
                open += other->isVisible() ? 1 : 0;
            openAtEachClose << open;
        });
    }
    answer = QMessageBox::Yes;
    boxes.clear();
    frame()->OnCommand(cmd::CloseAll);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Clean up alert"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Are you sure you want to close all windows?"));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
    EXPECT_TRUE(frame()->closingAll());

    QTRY_COMPARE(windowCount(), 0);
    QTRY_VERIFY(!frame()->closingAll());
    EXPECT_EQ(openAtEachClose, (QList<int>{2, 1, 0}));

    // With no window it only clears its flag.
    frame()->OnCloseAll();
    EXPECT_FALSE(frame()->closingAll());
    EXPECT_EQ(windowCount(), 0);
}

// --- closing ---------------------------------------------------------------------------------

TEST_F(MainFrameTest, DeclinedExitSavesNothingAndConfirmedExitSavesTheBars)
{
    ASSERT_TRUE(start());
    frame()->OnCommand(cmd::ToolBar);
    frame()->OnCommand(cmd::Offline);
    frame()->resize(640, 480);

    answer = QMessageBox::No;
    EXPECT_FALSE(frame()->close());
    EXPECT_EQ(boxes.back().title, QStringLiteral("Exit program"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("Are you sure you want to exit?"));
    stop();
    {
        const auto s = store();
        EXPECT_EQ(s->GetHideToolBar(), 0);
        EXPECT_EQ(s->GetOffline(), 0);
        EXPECT_EQ(s->GetVersion(), "");
    }
    EXPECT_FALSE(logText().contains(QStringLiteral("Total elapsed time")));

    ASSERT_TRUE(start());
    frame()->OnCommand(cmd::ToolBar);
    frame()->OnCommand(cmd::Offline);
    answer = QMessageBox::Yes;
    EXPECT_TRUE(frame()->close());
    stop();
    const auto s = store();
    EXPECT_EQ(s->GetHideToolBar(), 1);
    EXPECT_EQ(s->GetOffline(), 1);
    EXPECT_EQ(s->GetVersion(), "3.00");
    EXPECT_TRUE(logText().contains(QStringLiteral("*** Total elapsed time: ")));
}

TEST_F(MainFrameTest, TerminationWhileTheExitQuestionIsUpSavesLikeAConfirmedExit)
{
    ASSERT_TRUE(start());
    frame()->OnCommand(cmd::ToolBar);
    frame()->OnCommand(cmd::Offline);
    // SIGTERM arrives while the box is up: the program closes the frame
    // without questions and ends the event loops, which leaves the box
    // unanswered.
    setMessageBoxHook([this](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                             QMessageBox::StandardButtons) {
        frame()->closeWithoutQuestions();
        return QMessageBox::NoButton;
    });
    EXPECT_TRUE(frame()->close());
    stop();
    const auto s = store();
    EXPECT_EQ(s->GetHideToolBar(), 1);
    EXPECT_EQ(s->GetOffline(), 1);
    EXPECT_EQ(s->GetVersion(), "3.00");
    EXPECT_TRUE(logText().contains(QStringLiteral("*** Total elapsed time: ")));
}

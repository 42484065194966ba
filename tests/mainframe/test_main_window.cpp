// The main window driven as a user would: the address bar, the bars, the
// status panes, Close All, the command states and closing.
#include "app/Application.h"
#include "browser/BrowserWindow.h"
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/AddressBar.h"
#include "mainframe/MainWindow.h"
#include "mainframe/StatusPane.h"
#include "support/Eventually.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenuBar>
#include <QTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <QScrollBar>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class MainWindowTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        // No questions at start and a log file of the test's own.
        preset([this](SettingsStore &s) {
            s.setLogging(1);
            s.setLogFile(logPath().toStdString());
            s.setBiPassDefault(1);
        });
    }

    FakeBrowserControl *activeControl() const
    {
        BrowserView *view = mainWindow()->activeView();
        return view ? static_cast<FakeBrowserControl *>(view->control()) : nullptr;
    }

    void typeAndEnter(const QString &text)
    {
        AddressBar *box = mainWindow()->addressBar();
        box->setEditText(QString());
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

} // namespace

// --- address bar ---------------------------------------------------------------------

TEST_F(MainWindowTest, EnterRunsSmartNavigateNavigatesAndLogs)
{
    ASSERT_TRUE(start());
    FakeBrowserControl *control = activeControl();
    ASSERT_NE(control, nullptr);
    control->clearOperations();

    AddressBar *box = mainWindow()->addressBar();
    QTest::keyClick(box, Qt::Key_W);
    EXPECT_TRUE(mainWindow()->addressTyping()) << "the first character starts a new address";
    // While the user types, the view's address does not overwrite the box.
    mainWindow()->setAddressText(QStringLiteral("http://elsewhere.example/"));
    EXPECT_EQ(box->editText(), QStringLiteral("w"));
    QTest::keyClicks(box, QStringLiteral("ord"));
    QTest::keyClick(box, Qt::Key_Return);

    EXPECT_EQ(control->operations(QStringLiteral("navigate")),
              QStringList{QStringLiteral("navigate http://www.word.com")});
    EXPECT_FALSE(mainWindow()->addressTyping());
    EXPECT_EQ(box->itemText(0), QStringLiteral("http://www.word.com"));
    EXPECT_EQ(box->count(), 1) << "Enter must not let the box add an item of its own";
    EXPECT_TRUE(logText().contains(QStringLiteral("User navigating to URL: [http://www.word.com]")));

    // A leading "*" is never completed; with SmartNavigate off nothing is.
    control->clearOperations();
    typeAndEnter(QStringLiteral("*autoscan"));
    mainWindow()->runCommand(cmd::SmartNavigateToggle);
    typeAndEnter(QStringLiteral("-word"));
    EXPECT_EQ(control->operations(QStringLiteral("navigate")),
              (QStringList{QStringLiteral("navigate *autoscan"), QStringLiteral("navigate -word")}));
}

TEST_F(MainWindowTest, HistoryKeepsRepeatsAtTopAndIsStoredAtOnce)
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
    EXPECT_EQ(mainWindow()->addressBar()->items(), expected);
    EXPECT_EQ(control->operations(QStringLiteral("navigate")).size(), 3);

    std::vector<std::string> stored;
    for (const QString &item : expected)
        stored.push_back(item.toStdString());
    EXPECT_EQ(store()->loadAddressHistory(), stored);

    // The next start shows the stored list in its order.
    stop();
    ASSERT_TRUE(start());
    EXPECT_EQ(mainWindow()->addressBar()->items(), expected);
}

TEST_F(MainWindowTest, WindowsEraStoredTextsKeepTheirCharacters)
{
    // An INI file from the Windows world: Windows-1252 bytes, not UTF-8.
    QFile ini(options().iniFile);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\nMsgExit=0\r\n"
              "HomeURL=http://host/Stra\xDF" "e\r\nMailServer=http://mail/J\xFCrgen\r\n"
              "SearchURL=http://search/\x80uro\r\n"
              "[AddressHistory]\r\nAddress1=http://host/M\xFCnchen\r\nAddress2=http://host/plain\r\n");
    ini.close();
    ASSERT_TRUE(start({QStringLiteral("nologo")}));

    const QString muenchen = QStringLiteral("http://host/M\u00FCnchen");
    EXPECT_EQ(mainWindow()->addressBar()->items(),
              (QStringList{muenchen, QStringLiteral("http://host/plain")}));
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate http://host/Stra\u00DFe")))
        << activeControl()->operations().join(QLatin1Char('\n')).toStdString();
    mainWindow()->runCommand(cmd::Mail);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate http://mail/J\u00FCrgen")));
    mainWindow()->runCommand(cmd::Search);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate http://search/\u20ACuro")));

    // The first exit writes the entries back as UTF-8: nothing is lost.
    EXPECT_TRUE(mainWindow()->close());
    stop();
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray stored = ini.readAll();
    EXPECT_TRUE(stored.contains("Address1=http://host/M\xC3\xBCnchen\r\n")) << stored.constData();
    EXPECT_FALSE(stored.contains("\xEF\xBF\xBD")) << "no replacement characters";
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(mainWindow()->addressBar()->items().value(0), muenchen);
}

TEST_F(MainWindowTest, TheHistoryListOpensAtTheNewestAddress)
{
    preset([](SettingsStore &s) {
        std::vector<std::string> stored;
        for (int i = 0; i < 30; ++i)
            stored.push_back("stored" + std::to_string(i) + ".example");
        s.storeAddressHistory(stored);
    });
    ASSERT_TRUE(start());
    for (int i = 0; i < 20; ++i)
        typeAndEnter(QStringLiteral("typed%1.example").arg(i));

    AddressBar *box = mainWindow()->addressBar();
    box->showPopup();
    QAbstractItemView *list = box->view();
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("typed19.example"));
    EXPECT_EQ(list->verticalScrollBar()->value(), list->verticalScrollBar()->minimum());
    EXPECT_TRUE(list->visualRect(list->model()->index(0, 0)).intersects(list->viewport()->rect()));
    box->hidePopup();
    EXPECT_EQ(box->editText(), QStringLiteral("typed19.example")) << "opening the list changes no text";
}

TEST_F(MainWindowTest, HistoryOffKeepsTheListEmpty)
{
    preset([](SettingsStore &s) { s.setSaveAddressHistory(0); });
    ASSERT_TRUE(start());
    typeAndEnter(QStringLiteral("a.example"));
    EXPECT_EQ(mainWindow()->addressBar()->count(), 0);
    EXPECT_TRUE(store()->loadAddressHistory().empty());
}

TEST_F(MainWindowTest, PickNavigatesTheItemUnchangedWithoutReordering)
{
    preset([](SettingsStore &s) {
        s.storeAddressHistory({"first", "second", "third"});
    });
    ASSERT_TRUE(start());
    FakeBrowserControl *control = activeControl();
    control->clearOperations();
    mainWindow()->addressBar()->setEditText(QStringLiteral("typed"));

    // Choose "second" in the drop-down list.
    AddressBar *box = mainWindow()->addressBar();
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

TEST_F(MainWindowTest, StatusPanesAreAsWideAsTheDesktopFontNeeds)
{
    // A desktop font twice the usual size, as a larger desktop font gives.
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 2);
    QApplication::setFont(large);
    struct Restore { QFont font; ~Restore() { QApplication::setFont(font); } } restore{usual};

    ASSERT_TRUE(start());
    mainWindow()->showNormal();
    mainWindow()->resize(900, 500);
    mainWindow()->setProgress(50, 200);
    mainWindow()->updateStatusPanes();
    const QFontMetrics metrics(mainWindow()->statusPane(2)->font());
    EXPECT_GT(mainWindow()->statusPaneWidth(1), metrics.horizontalAdvance(QStringLiteral("100% done")));
    EXPECT_GT(mainWindow()->statusPaneWidth(2), metrics.horizontalAdvance(QStringLiteral("00:00:00")))
        << "the running time would be cut";
    int fixed = 8;
    for (int i = 1; i < 5; ++i)
        fixed += mainWindow()->statusPaneWidth(i);
    EXPECT_EQ(mainWindow()->statusPaneWidth(0), mainWindow()->width() - fixed) << "pane 0 gives the room";

    // The font changing under a running window: the panes follow.
    QApplication::setFont(usual);
    QCoreApplication::processEvents();
    EXPECT_LT(mainWindow()->statusPaneWidth(2), metrics.horizontalAdvance(QStringLiteral("00:00:00")));
}

TEST_F(MainWindowTest, StatusPanesFollowProgressAndWidth)
{
    ASSERT_TRUE(start());
    mainWindow()->showNormal();
    mainWindow()->resize(800, 500);

    mainWindow()->setProgress(0, 0);
    mainWindow()->updateStatusPanes();
    // The running time as wide as its text needs in this font, at least 55.
    const int timer = mainWindow()->statusPaneWidth(1);
    EXPECT_GE(timer, 55);
    EXPECT_EQ(mainWindow()->statusPaneWidth(0), mainWindow()->width() - timer - 85) << "idle layout";

    mainWindow()->setProgress(50, 200);
    mainWindow()->updateStatusPanes();
    EXPECT_EQ(mainWindow()->statusPaneTexts().at(1), QStringLiteral("25% done"));
    EXPECT_EQ(mainWindow()->statusPaneWidth(1), 100);
    EXPECT_EQ(mainWindow()->statusPaneWidth(0), mainWindow()->width() - timer - 193);

    mainWindow()->setProgress(200, 200);
    mainWindow()->updateStatusPanes();
    EXPECT_EQ(mainWindow()->statusPaneWidth(0), mainWindow()->width() - timer - 85) << "done is idle again";
    EXPECT_NE(mainWindow()->statusPaneTexts().at(1), QStringLiteral("100% done"));

    mainWindow()->setMinimumSize(1, 1);
    mainWindow()->resize(120, 300);
    mainWindow()->updateStatusPanes();
    EXPECT_EQ(mainWindow()->statusPaneWidth(0), 0);

    // Secure and protected indicators in the idle layout's panes 2 and 3.
    mainWindow()->setSecurity(corvane::PageSecurity::Secure);
    mainWindow()->setProtectedText(QStringLiteral("P"));
    mainWindow()->updateStatusPanes();
    EXPECT_EQ(mainWindow()->statusPaneTexts().at(2), QStringLiteral("S"));
    EXPECT_EQ(mainWindow()->statusPaneTexts().at(3), QStringLiteral("P"));
    const auto securePane = [this] {
        for (QWidget *pane : mainWindow()->statusBar()->findChildren<QWidget *>())
            if (!pane->toolTip().isEmpty())
                return pane->toolTip();
        return QString();
    };
    EXPECT_EQ(securePane(), QStringLiteral("Secure (HTTPS)"));
    // A page let through in spite of its certificate is never "S".
    mainWindow()->setSecurity(corvane::PageSecurity::CertificateError);
    mainWindow()->updateStatusPanes();
    EXPECT_NE(mainWindow()->statusPaneTexts().at(2), QStringLiteral("S"));
    EXPECT_FALSE(mainWindow()->statusPaneTexts().at(2).isEmpty());
    EXPECT_EQ(securePane(), QStringLiteral("Not secure (certificate error)"));
}

// --- bars ------------------------------------------------------------------------------------

TEST_F(MainWindowTest, HiddenToolbarTakesTheAddressBoxAlong)
{
    preset([](SettingsStore &s) {
        s.setHideToolBar(1);
        s.setShowAddressBar(1);
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(mainWindow()->toolBar()->isHidden());
    EXPECT_TRUE(mainWindow()->addressBand()->isHidden());
    EXPECT_FALSE(mainWindow()->isCommandChecked(cmd::ToolBar));

    mainWindow()->runCommand(cmd::ToolBar);
    EXPECT_FALSE(mainWindow()->toolBar()->isHidden());
    EXPECT_FALSE(mainWindow()->addressBand()->isHidden()) << "showing the toolbar brings the box back";
    EXPECT_TRUE(mainWindow()->commandAction(cmd::ToolBar)->isChecked());

    // Hiding the address bar while the toolbar is hidden: both stay hidden,
    // and the choice is stored at once.
    mainWindow()->runCommand(cmd::ToolBar);
    mainWindow()->runCommand(cmd::AddressBar);
    EXPECT_TRUE(mainWindow()->toolBar()->isHidden());
    EXPECT_TRUE(mainWindow()->addressBand()->isHidden());
    EXPECT_EQ(store()->showAddressBar(), 0);
    EXPECT_FALSE(mainWindow()->commandAction(cmd::AddressBar)->isChecked());

    mainWindow()->runCommand(cmd::ToolBar);
    EXPECT_FALSE(mainWindow()->toolBar()->isHidden());
    EXPECT_TRUE(mainWindow()->addressBand()->isHidden());

    // The keys of the accelerator table reach the same commands.
    mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
    QTest::keyClick(mainWindow(), Qt::Key_F8);
    EXPECT_TRUE(mainWindow()->statusBar()->isHidden());
    EXPECT_FALSE(mainWindow()->commandAction(cmd::StatusBar)->isChecked());
    QTest::keyClick(mainWindow(), Qt::Key_F6);
    EXPECT_TRUE(mainWindow()->toolBar()->isHidden());
}

TEST_F(MainWindowTest, BarsOfferNoMenuOfTheirOwn)
{
    // Every bar changes only through its command: a right click on the menu
    // bar, a toolbar or the strip beside them opens nothing.
    ASSERT_TRUE(start());
    QStringList opened;
    const auto rightClick = [&](QWidget *target, QPoint at) {
        // A menu that opens runs modally: note it and close it.
        QTimer::singleShot(0, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                opened << popup->metaObject()->className();
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
        QCoreApplication::processEvents();
    };
    mainWindow()->show();
    rightClick(mainWindow()->menuBar(), QPoint(mainWindow()->menuBar()->width() - 5, 5));
    rightClick(mainWindow()->toolBar(), QPoint(5, 5));
    rightClick(mainWindow()->addressBand(), QPoint(2, 2));
    const QRect band = mainWindow()->addressBand()->geometry();
    rightClick(mainWindow(), QPoint(mainWindow()->width() - 3, band.center().y()));
    EXPECT_TRUE(opened.isEmpty()) << opened.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(mainWindow()->addressBand()->isVisible());
    EXPECT_TRUE(mainWindow()->toolBar()->isVisible());
}

TEST_F(MainWindowTest, ToolbarVariantSwitchesOnlyWithTheIEMenu)
{
    ASSERT_TRUE(start());
    // IE on and LinksAlwaysOn off: the Favorites toolbar.
    EXPECT_EQ(mainWindow()->currentToolbar(), 156);
    mainWindow()->runCommand(cmd::ToolbarVariant);
    EXPECT_EQ(mainWindow()->currentToolbar(), 128);
    EXPECT_EQ(store()->linksAlwaysOn(), 1);
    mainWindow()->runCommand(cmd::ToolbarVariant);
    EXPECT_EQ(mainWindow()->currentToolbar(), 156);
    EXPECT_EQ(store()->linksAlwaysOn(), 0);

    app().settings().setIe(0);
    mainWindow()->runCommand(cmd::ToolbarVariant);
    EXPECT_EQ(mainWindow()->currentToolbar(), 156);
    EXPECT_EQ(store()->linksAlwaysOn(), 0);
}

TEST_F(MainWindowTest, DimmedToolbarIsGreyUntilTheMouseIsOver)
{
    ASSERT_TRUE(start());
    const QList<QAction *> buttons = mainWindow()->toolBar()->actions();
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

TEST_F(MainWindowTest, CommandStatesFollowWindowsAndSettings)
{
    preset([](SettingsStore &s) { s.setFonts(2); });
    ASSERT_TRUE(start());
    EXPECT_TRUE(mainWindow()->windowMenuShown());
    QStringList titles;
    for (QMenu *menu : mainWindow()->currentMenus())
        titles << menu->title();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Go", "&Tools", "&IE", "&Window",
                                   "&Help"}));
    // The IE menu takes the links over from the Go menu.
    EXPECT_FALSE(mainWindow()->currentMenus().at(3)->actions().contains(mainWindow()->commandAction(cmd::Links)));

    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Open));
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::CloseAll));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Save));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Mail)) << "no mail server";
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Options));
    EXPECT_TRUE(mainWindow()->commandAction(cmd::FontsLarge)->isChecked());
    EXPECT_FALSE(mainWindow()->commandAction(cmd::FontsNormal)->isChecked());

    app().settings().setMailServer("https://mail.example/");
    mainWindow()->updateCommandUI();
    EXPECT_TRUE(mainWindow()->commandAction(cmd::Mail)->isEnabled());

    // No window left: menu 128, view commands off, the address box off.
    mainWindow()->runCommand(cmd::Close);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    EXPECT_EVENTUALLY(!mainWindow()->windowMenuShown());
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Open));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::CloseAll));
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::Back));
    EXPECT_FALSE(mainWindow()->addressBar()->isEnabled());

    // Mail ensures a window first.
    EXPECT_TRUE(mainWindow()->runCommand(cmd::Mail));
    ASSERT_EQ(windowCount(), 1);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate https://mail.example/")));
    EXPECT_TRUE(mainWindow()->windowMenuShown());
    EXPECT_TRUE(mainWindow()->addressBar()->isEnabled());
}

TEST_F(MainWindowTest, ToggleMessagesAndStoredSwitches)
{
    ASSERT_TRUE(start());
    mainWindow()->runCommand(cmd::ScanPopups);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Window Spawning Manager enabled"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("All popups will now be scanned with the Window Spawning Manager."));
    EXPECT_EQ(store()->spawning(), 1);
    EXPECT_TRUE(mainWindow()->commandAction(cmd::ScanPopups)->isChecked());

    mainWindow()->runCommand(cmd::ScanPopups);
    EXPECT_EQ(boxes.back().title, QStringLiteral("Window Spawning Manager disabled"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("All popups will now spawn as normal."));
    EXPECT_EQ(store()->spawning(), 0);

    mainWindow()->runCommand(cmd::SmartNavigateToggle);
    EXPECT_EQ(boxes.back().title, QStringLiteral("SmartNavigate disabled"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("All URLs will now be sent without modifications."));
    EXPECT_EQ(store()->smartNavigate(), 0);
    mainWindow()->runCommand(cmd::SmartNavigateToggle);
    EXPECT_EQ(boxes.back().title, QStringLiteral("SmartNavigate enabled"));
    EXPECT_EQ(boxes.back().text,
              QStringLiteral("All one-word addresses will now have \"http://www.\" and \".com\" "
                             "added when navigating to sites."));

    app().settings().setMsgWindowSpawning(0);
    const qsizetype shown = boxes.size();
    mainWindow()->runCommand(cmd::ScanPopups);
    EXPECT_EQ(boxes.size(), shown);
    EXPECT_EQ(store()->spawning(), 1);
}

TEST_F(MainWindowTest, HelpAndFavoritesNavigateTheActiveView)
{
    ASSERT_TRUE(start());
    BrowserView *view = mainWindow()->activeView();
    mainWindow()->favoriteAddresses() = QStringList{QStringLiteral("https://fav.example/")};
    EXPECT_TRUE(mainWindow()->runCommand(cmd::FavoriteFirst));
    mainWindow()->runCommand(cmd::FavoriteFirst + 1); // no such favorite
    EXPECT_EQ(activeControl()->operations(QStringLiteral("navigate")).last(),
              QStringLiteral("navigate https://fav.example/"));
    // The help page of our own, and the mail item's address from the store
    // (a new message about Corvane while none is set).
    mainWindow()->runCommand(cmd::MakerHomePage);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate corvane:help")));
    mainWindow()->runCommand(cmd::MailMaker);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate mailto:?subject=Corvane")));
    EXPECT_TRUE(view->loudOnce());
    store()->setAuthorMail("mailto:someone@example.org");
    mainWindow()->runCommand(cmd::MailMaker);
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate mailto:someone@example.org")));

    mainWindow()->runCommand(cmd::Close);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    mainWindow()->mailMaker();
    EXPECT_EQ(windowCount(), 0) << "no window opens for mail to the maker";
}

// --- Close All -------------------------------------------------------------------------------

TEST_F(MainWindowTest, CloseAllClosesTheWindowsOneAfterAnother)
{
    ASSERT_TRUE(start());
    app().openBrowserWindow();
    app().openBrowserWindow();
    ASSERT_EQ(windowCount(), 3);

    // Declined: nothing closes.
    answer = QMessageBox::No;
    mainWindow()->runCommand(cmd::CloseAll);
    QTest::qWait(10);
    EXPECT_EQ(windowCount(), 3);
    EXPECT_FALSE(mainWindow()->closingAll());

    // Each window closes while the others are still open.
    QList<int> openAtEachClose;
    for (QMdiSubWindow *w : mainWindow()->mdiArea()->subWindowList()) {
        QObject::connect(w, &QObject::destroyed, mainWindow(), [&] {
            int open = 0;
            for (QMdiSubWindow *other : mainWindow()->mdiArea()->subWindowList())
                open += other->isVisible() ? 1 : 0;
            openAtEachClose << open;
        });
    }
    answer = QMessageBox::Yes;
    boxes.clear();
    mainWindow()->runCommand(cmd::CloseAll);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Clean up alert"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Are you sure you want to close all windows?"));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
    EXPECT_TRUE(mainWindow()->closingAll());

    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
    EXPECT_EVENTUALLY(!mainWindow()->closingAll());
    EXPECT_EQ(openAtEachClose, (QList<int>{2, 1, 0}));

    // With no window it only clears its flag.
    mainWindow()->closeAll();
    EXPECT_FALSE(mainWindow()->closingAll());
    EXPECT_EQ(windowCount(), 0);
}

// --- closing ---------------------------------------------------------------------------------

TEST_F(MainWindowTest, DeclinedExitSavesNothingAndConfirmedExitSavesTheBars)
{
    ASSERT_TRUE(start());
    mainWindow()->runCommand(cmd::ToolBar);
    mainWindow()->runCommand(cmd::Offline);
    mainWindow()->resize(640, 480);

    answer = QMessageBox::No;
    EXPECT_FALSE(mainWindow()->close());
    EXPECT_EQ(boxes.back().title, QStringLiteral("Exit program"));
    EXPECT_EQ(boxes.back().text, QStringLiteral("Are you sure you want to exit?"));
    stop();
    {
        const auto s = store();
        EXPECT_EQ(s->hideToolBar(), 0);
        EXPECT_EQ(s->offline(), 0);
        EXPECT_EQ(s->version(), "");
    }
    EXPECT_FALSE(logText().contains(QStringLiteral("Total elapsed time")));

    ASSERT_TRUE(start());
    mainWindow()->runCommand(cmd::ToolBar);
    mainWindow()->runCommand(cmd::Offline);
    answer = QMessageBox::Yes;
    EXPECT_TRUE(mainWindow()->close());
    stop();
    const auto s = store();
    EXPECT_EQ(s->hideToolBar(), 1);
    EXPECT_EQ(s->offline(), 1);
    EXPECT_EQ(s->version(), "3.00");
    EXPECT_TRUE(logText().contains(QStringLiteral("*** Total elapsed time: ")));
}

TEST_F(MainWindowTest, AnExitIsOnDiskOnceTheMainWindowHasClosed)
{
    // What comes after the close (the window leaving the screen, the
    // engine's end) may still fail: the saves are written by then.
    store()->setAutoSave(1);
    ASSERT_TRUE(start());
    mainWindow()->runCommand(cmd::ToolBar);
    mainWindow()->runCommand(cmd::Offline);
    mainWindow()->closeWithoutQuestions();
    ASSERT_TRUE(mainWindow()->isHidden());
    {
        const auto s = store();
        EXPECT_EQ(s->hideToolBar(), 1);
        EXPECT_EQ(s->offline(), 1);
        EXPECT_EQ(s->version(), "3.00");
        EXPECT_EQ(s->loadWorkspaces().count("default"), 1u);
    }
    stop();
    EXPECT_EQ(store()->hideToolBar(), 1);
}

TEST_F(MainWindowTest, TerminationWhileTheExitQuestionIsUpSavesLikeAConfirmedExit)
{
    ASSERT_TRUE(start());
    mainWindow()->runCommand(cmd::ToolBar);
    mainWindow()->runCommand(cmd::Offline);
    // SIGTERM arrives while the box is up: the program closes the main window
    // without questions and ends the event loops, which leaves the box
    // unanswered.
    setMessageBoxHook([this](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                             QMessageBox::StandardButtons) {
        mainWindow()->closeWithoutQuestions();
        return QMessageBox::NoButton;
    });
    EXPECT_TRUE(mainWindow()->close());
    stop();
    const auto s = store();
    EXPECT_EQ(s->hideToolBar(), 1);
    EXPECT_EQ(s->offline(), 1);
    EXPECT_EQ(s->version(), "3.00");
    EXPECT_TRUE(logText().contains(QStringLiteral("*** Total elapsed time: ")));
}

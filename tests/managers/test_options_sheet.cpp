// The Options sheet driven as a user would: its pages, what OK writes and
// applies at once, what Cancel leaves, and the validation that keeps a page up.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/Password.h"
#include "core/SettingsStore.h"
#include "mainframe/AddressBar.h"
#include "mainframe/MainWindow.h"
#include "mainframe/WindowTabBar.h"
#include "mainframe/TrayIcon.h"
#include "managers/CurrentViewPage.h"
#include "managers/GeneralPage.h"
#include "managers/MessagesPage.h"
#include "managers/OptionsSheet.h"
#include "managers/PathsPage.h"
#include "managers/SecurityPage.h"
#include "support/Eventually.h"
#include "support/AppHarness.h"
#include "support/DropDownCheck.h"
#include "support/ModalDialog.h"
#include "ui/ColorButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;
using corvane::GeneralItem;
using corvane::MessageItem;

namespace {

class OptionsSheetTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([this](SettingsStore &s) {
            s.setLogFile(logPath().toStdString());
            s.setBiPassDefault(1);
        });
    }

    // Runs Options, acting on the sheet while it is up. The action ends it
    // (OK or Cancel); if it does not, the sheet is cancelled.
    void runSheet(std::function<void(OptionsSheet &)> action)
    {
        bool ran = false;
        onNextModal<OptionsSheet>(std::move(action), &ran);
        ASSERT_TRUE(mainWindow()->runCommand(cmd::Options));
        ASSERT_TRUE(ran);
    }

    static void choosePage(OptionsSheet &sheet, int index) { sheet.tabs()->setCurrentIndex(index); }
    static void setItem(OptionsSheet &sheet, GeneralItem item, bool on)
    {
        sheet.generalPage()->checkList()->item(int(item))->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    static bool itemEnabled(OptionsSheet &sheet, GeneralItem item)
    {
        return sheet.generalPage()->checkList()->item(int(item))->flags().testFlag(Qt::ItemIsEnabled);
    }

    // The menu titles of the menu bar as it stands.
    QStringList menuTitles() const
    {
        QStringList titles;
        for (QMenu *menu : mainWindow()->currentMenus())
            titles << menu->title();
        return titles;
    }

    QByteArray storeBytes() const
    {
        QFile f(options().userStoreFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(OptionsSheetTest, FivePagesOpeningOnGeneralAndCancelWritesNothing)
{
    ASSERT_TRUE(start());
    const QByteArray before = storeBytes();
    runSheet([](OptionsSheet &sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Options"));
        QStringList titles;
        for (int i = 0; i < sheet.tabs()->count(); ++i)
            titles << sheet.tabs()->tabText(i);
        EXPECT_EQ(titles, (QStringList{QStringLiteral("General"), QStringLiteral("Paths"), QStringLiteral("Current View"),
                                       QStringLiteral("Messages"), QStringLiteral("Security")}));
        EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
        QListWidget *list = sheet.generalPage()->checkList();
        ASSERT_EQ(list->count(), 13);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Automatically save workspace on exit"));
        EXPECT_EQ(list->item(12)->text(), QStringLiteral("Use SmartNavigate (Ctrl+Shift+S)"));
        for (int i = 0; i < 5; ++i)
            choosePage(sheet, i);
        setItem(sheet, GeneralItem::SmartNavigate, false);
        sheet.cancelButton()->click();
    });
    EXPECT_EQ(storeBytes(), before);
}

TEST_F(OptionsSheetTest, OnlyOpenedPagesWrite)
{
    ASSERT_TRUE(start());
    store()->setMsgExit(5);
    store()->setMinimizeToTray(7);
    runSheet([](OptionsSheet &sheet) { sheet.okButton()->click(); });
    EXPECT_EQ(store()->msgExit(), 5) << "Messages was not opened";
    EXPECT_EQ(store()->minimizeToTray(), 7) << "Security was not opened";

    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 3);
        sheet.okButton()->click();
    });
    EXPECT_EQ(store()->msgExit(), 1);
    EXPECT_EQ(store()->minimizeToTray(), 7);
}

TEST_F(OptionsSheetTest, GeneralAppliesItsSwitchesAtOnce)
{
    preset([](SettingsStore &s) {
        s.storeAddressHistory({"http://a.example/"});
        s.setSpawning(0);
        s.setHideTabs(1);
    });
    ASSERT_TRUE(start());
    ASSERT_GT(mainWindow()->addressBar()->count(), 0);
    runSheet([](OptionsSheet &sheet) {
        EXPECT_FALSE(itemEnabled(sheet, GeneralItem::NoDialogs)) << "popups are not scanned";
        EXPECT_TRUE(itemEnabled(sheet, GeneralItem::IeMenu)) << "a browser window is open";
        setItem(sheet, GeneralItem::Logging, true);
        setItem(sheet, GeneralItem::AddressHistory, false);
        setItem(sheet, GeneralItem::AlwaysOnTop, true);
        setItem(sheet, GeneralItem::ShowTimer, false);
        setItem(sheet, GeneralItem::DefaultBrowserQuestion, true);
        sheet.generalPage()->stackedBox()->setChecked(true);
        sheet.okButton()->click();
    });
    EXPECT_EQ(mainWindow()->addressBar()->count(), 0) << "the drop-down is emptied at once";
    EXPECT_TRUE(store()->loadAddressHistory().empty());
    EXPECT_TRUE(mainWindow()->alwaysOnTop());
    EXPECT_EQ(store()->showTimer(), 0);
    EXPECT_EQ(defaultBrowserQuestions, 1) << "ticked: asked at once";
    EXPECT_EQ(store()->tabsStacked(), 1) << "stored while the tabs are hidden";
    EXPECT_TRUE(home.logLines().contains(QStringLiteral("Logging enabled")));

    // With no browser window the IE item cannot be changed.
    mainWindow()->mdiArea()->closeAllSubWindows();
    QCoreApplication::processEvents();
    runSheet([](OptionsSheet &sheet) {
        EXPECT_FALSE(itemEnabled(sheet, GeneralItem::IeMenu));
        sheet.cancelButton()->click();
    });
}

TEST_F(OptionsSheetTest, SwitchingTheIeMenuChangesTheMenusAndToolbar)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(menuTitles().contains(QStringLiteral("&IE")));
    runSheet([](OptionsSheet &sheet) {
        setItem(sheet, GeneralItem::IeMenu, false);
        sheet.okButton()->click();
    });
    EXPECT_FALSE(menuTitles().contains(QStringLiteral("&IE")));
    EXPECT_EQ(mainWindow()->currentToolbar(), 128);
    bool linksInGo = false;
    for (QMenu *menu : mainWindow()->currentMenus())
        linksInGo = linksInGo || menu->actions().contains(mainWindow()->commandAction(cmd::Links));
    EXPECT_TRUE(linksInGo);

    runSheet([](OptionsSheet &sheet) {
        setItem(sheet, GeneralItem::IeMenu, true);
        sheet.okButton()->click();
    });
    EXPECT_TRUE(menuTitles().contains(QStringLiteral("&IE")));
    EXPECT_EQ(mainWindow()->currentToolbar(), 156);
}

TEST_F(OptionsSheetTest, PathsWritesTheLogFileOnLeavingAndTakesItBackOnCancel)
{
    ASSERT_TRUE(start());
    const std::string stored = store()->logFile();
    const QString other = home.filePath(QStringLiteral("other.log"));
    runSheet([&](OptionsSheet &sheet) {
        choosePage(sheet, 1);
        sheet.pathsPage()->logEdit()->setText(other);
        choosePage(sheet, 3);
        EXPECT_EQ(store()->logFile(), other.toStdString()) << "written on leaving the page";
        sheet.cancelButton()->click();
    });
    EXPECT_EQ(store()->logFile(), stored);

    // "Blank" replaces the home page only; the mail typed stays.
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 1);
        PathsPage *page = sheet.pathsPage();
        page->homeEdit()->setText(QStringLiteral("http://typed.example/"));
        page->mailEdit()->setText(QStringLiteral("http://mail.example/"));
        page->blankButton()->click();
        EXPECT_EQ(page->homeEdit()->text(), QStringLiteral("about:blank"));
        EXPECT_EQ(page->mailEdit()->text(), QStringLiteral("http://mail.example/"));
        sheet.okButton()->click();
    });
    EXPECT_EQ(store()->homeUrl(), "about:blank");
    EXPECT_EQ(store()->mailServer(), "http://mail.example/");
}

TEST_F(OptionsSheetTest, PathsReplacesALogFileThatCannotBeWritten)
{
    ASSERT_TRUE(start());
    runSheet([this](OptionsSheet &sheet) {
        choosePage(sheet, 1);
        sheet.pathsPage()->logEdit()->setText(home.filePath(QStringLiteral("no such folder/nav.log")));
        sheet.okButton()->click();
    });
    const QString fallback = home.home() + QStringLiteral("/Corvane.log");
    EXPECT_EQ(store()->logFile(), fallback.toStdString());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Invalid filename"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("The log filename has been changed to %1 because it was invalid.").arg(fallback));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_FALSE(QFile::exists(fallback)) << "the replacement is not tried";

    // ">>" puts Corvane.log into the chosen folder.
    const QString folder = home.filePath(QStringLiteral("My Logs"));
    ASSERT_TRUE(QDir().mkpath(folder));
    runSheet([&](OptionsSheet &sheet) {
        choosePage(sheet, 1);
        onNextModal<QFileDialog>([&](QFileDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select a Starting Directory"));
            dialog.setDirectory(home.home());
            dialog.selectFile(folder);
            static_cast<QDialog &>(dialog).accept();
        });
        sheet.pathsPage()->folderButton()->click();
        EXPECT_EQ(sheet.pathsPage()->logEdit()->text(), folder + QStringLiteral("/Corvane.log"));
        sheet.okButton()->click();
    });
    EXPECT_EQ(store()->logFile(), (folder + QStringLiteral("/Corvane.log")).toStdString());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/Corvane.log"))) << "the check leaves no file";
}

TEST_F(OptionsSheetTest, CurrentViewWithoutAWindowStoresOnlyTheBorder)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("/dde")}));
    ASSERT_EQ(mainWindow()->activeView(), nullptr);
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        CurrentViewPage *page = sheet.currentViewPage();
        EXPECT_FALSE(page->autoRefreshBox()->isEnabled());
        EXPECT_FALSE(page->minutesEdit()->isEnabled());
        EXPECT_FALSE(page->secondsEdit()->isEnabled());
        EXPECT_EQ(page->colorButton()->color(), makeRgb(0, 255, 0));
        page->activeBorderBox()->setChecked(false);
        EXPECT_FALSE(page->colorButton()->isEnabled());
        EXPECT_FALSE(page->view3DBox()->isEnabled());
        EXPECT_FALSE(page->defaultColorButton()->isEnabled());
        page->activeBorderBox()->setChecked(true);
        page->colorButton()->setColor(makeRgb(1, 2, 3));
        page->view3DBox()->setChecked(false);
        sheet.okButton()->click();
    });
    EXPECT_EQ(store()->viewRgb(), makeRgb(1, 2, 3));
    EXPECT_EQ(store()->viewBorder3D(), 0);
    EXPECT_EQ(store()->viewBorder3DEnabled(), 1);
    EXPECT_TRUE(home.logLines().isEmpty());
}

TEST_F(OptionsSheetTest, CurrentViewSetsTheActiveWindowsAutoRefresh)
{
    preset([](SettingsStore &s) { s.setLogging(1); });
    ASSERT_TRUE(start());
    BrowserView *view = mainWindow()->activeView();
    ASSERT_NE(view, nullptr);

    // 0:00 refreshes every second.
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        CurrentViewPage *page = sheet.currentViewPage();
        EXPECT_TRUE(page->autoRefreshBox()->isEnabled());
        EXPECT_FALSE(page->minutesEdit()->isEnabled()) << "AutoRefresh is off";
        page->autoRefreshBox()->setChecked(true);
        EXPECT_TRUE(page->minutesEdit()->isEnabled());
        page->minutesEdit()->edit()->setText(QStringLiteral("0"));
        page->secondsEdit()->edit()->setText(QStringLiteral("0"));
        page->defaultColorButton()->click();
        sheet.okButton()->click();
    });
    EXPECT_TRUE(view->autoRefreshOn());
    EXPECT_EQ(view->autoRefreshSeconds(), 1);
    EXPECT_TRUE(view->autoRefreshTimerActive());
    EXPECT_EQ(view->autoRefreshInterval(), 1000);
    EXPECT_TRUE(home.logLines().contains(QStringLiteral("AutoRefresh set at 0 minute(s) and 1 second(s).")));
    EXPECT_TRUE(boxes.isEmpty());

    // 60:59 is the longest; 61 minutes keeps the page up with the message.
    runSheet([this](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        CurrentViewPage *page = sheet.currentViewPage();
        page->minutesEdit()->edit()->setText(QStringLiteral("61"));
        choosePage(sheet, 0);
        EXPECT_EQ(sheet.tabs()->currentIndex(), 2) << "the page stays up";
        sheet.okButton()->click();
        EXPECT_TRUE(sheet.isVisible()) << "OK too";
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[0].text, QStringLiteral("Please enter an integer between 0 and 60."));
        EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
        page->minutesEdit()->edit()->setText(QStringLiteral("six"));
        sheet.okButton()->click();
        ASSERT_EQ(boxes.size(), 3);
        EXPECT_EQ(boxes[2].text, QStringLiteral("Please enter an integer."));
        page->minutesEdit()->edit()->setText(QStringLiteral("60"));
        page->secondsEdit()->edit()->setText(QStringLiteral("59"));
        sheet.okButton()->click();
    });
    EXPECT_EQ(view->autoRefreshMinutes(), 60);
    EXPECT_EQ(view->autoRefreshSeconds(), 59);
    EXPECT_EQ(view->autoRefreshInterval(), 3659000);

    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        sheet.currentViewPage()->autoRefreshBox()->setChecked(false);
        sheet.okButton()->click();
    });
    EXPECT_FALSE(view->autoRefreshOn());
    EXPECT_FALSE(view->autoRefreshTimerActive());
}

TEST_F(OptionsSheetTest, MessagesPageInCdMode)
{
    QFile ini(options().iniFile);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\r\nEnableIniFile=1\r\nCDSupport=1\r\nBiPassDefault=1\r\n");
    ini.close();
    ASSERT_TRUE(start());
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 3);
        MessagesPage *page = sheet.messagesPage();
        EXPECT_FALSE(page->box(MessageItem::OfflineAtStart)->isEnabled());
        EXPECT_FALSE(page->box(MessageItem::MenuIcons)->isEnabled());
        EXPECT_TRUE(page->box(MessageItem::Exit)->isEnabled());
        EXPECT_EQ(page->box(MessageItem::Exit)->text(), QStringLiteral("Show message before exiting program"));
        page->box(MessageItem::Exit)->setChecked(false);
        sheet.okButton()->click();
    });
    EXPECT_EQ(store()->msgExit(), 0);
}

TEST_F(OptionsSheetTest, SecurityKeepsChangesOrClearsThePassword)
{
    TrayIcon::setAvailableOverride(true);
    preset([](SettingsStore &s) { s.setPassword("Kept pw"); });
    ASSERT_TRUE(start());
    // Left as shown, the stored password stays; "Tray" lights "P".
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 4);
        SecurityPage *page = sheet.securityPage();
        EXPECT_EQ(page->minimizeBox()->currentText(), QStringLiteral("Taskbar"));
        EXPECT_TRUE(page->minimizeBox()->isEnabled());
        EXPECT_FALSE(page->noTrayLabel()->isVisible());
        EXPECT_FALSE(page->passwordEdit()->isEnabled()) << "Taskbar";
        EXPECT_TRUE(page->passwordEdit()->showsStoredPlaceholder());
        EXPECT_FALSE(page->passwordEdit()->text().contains(QStringLiteral("Kept")));
        page->minimizeBox()->setCurrentIndex(1);
        EXPECT_TRUE(page->passwordEdit()->isEnabled());
        sheet.okButton()->click();
    });
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(store()->minimizeToTray(), 1);
    EXPECT_TRUE(store()->checkPassword("Kept pw"));
    EXPECT_EQ(mainWindow()->protectedText(), QStringLiteral("P"));

    // Typing replaces the placeholder; a new password in both fields.
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 4);
        SecurityPage *page = sheet.securityPage();
        page->passwordEdit()->selectAll();
        QTest::keyClicks(page->passwordEdit(), QStringLiteral("New pw"));
        EXPECT_EQ(page->passwordEdit()->text(), QStringLiteral("New pw"));
        page->confirmationEdit()->end(false);
        QTest::keyClicks(page->confirmationEdit(), QStringLiteral("New pw"));
        EXPECT_EQ(page->confirmationEdit()->text(), QStringLiteral("New pw"));
        sheet.okButton()->click();
    });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Authentication enabled"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Password changed successfully."));
    EXPECT_TRUE(store()->checkPassword("New pw"));
    EXPECT_FALSE(store()->checkPassword("Kept pw"));

    // Two different texts clear it.
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 4);
        SecurityPage *page = sheet.securityPage();
        page->passwordEdit()->selectAll();
        QTest::keyClicks(page->passwordEdit(), QStringLiteral("one"));
        sheet.okButton()->click();
    });
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].title, QStringLiteral("Authentication disabled"));
    EXPECT_EQ(boxes[1].text,
              QStringLiteral("Your password has been reset because it did not match the confirmation password."));
    EXPECT_EQ(boxes[1].icon, QMessageBox::Warning);
    EXPECT_FALSE(store()->hasPassword());
    EXPECT_EQ(mainWindow()->protectedText(), QString());

    // Without a tray the choice is greyed and the page says why.
    TrayIcon::setAvailableOverride(false);
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 4);
        EXPECT_FALSE(sheet.securityPage()->minimizeBox()->isEnabled());
        EXPECT_TRUE(sheet.securityPage()->noTrayLabel()->isVisible());
        EXPECT_TRUE(sheet.securityPage()->noTrayLabel()->text().contains(QStringLiteral("no system tray")));
        sheet.cancelButton()->click();
    });
    TrayIcon::setAvailableOverride(std::nullopt);
}

namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

bool greyOnly(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 0 && (c.red() != c.green() || c.green() != c.blue()))
                return false;
        }
    return true;
}

} // namespace

TEST_F(OptionsSheetTest, GeneralRestylesTheShownTabsAndShadesTheToolbarAtOnce)
{
    preset([](SettingsStore &s) {
        s.setHideTabs(0);
        s.setTabsBottomPlacement(0);
        s.setTabsButtons(0);
        s.setTabsStacked(0);
        s.setDimToolBar(0);
    });
    ASSERT_TRUE(start());
    ASSERT_NE(mainWindow()->tabBar(), nullptr);
    ASSERT_EQ(mainWindow()->tabBar()->tabStyle(), corvane::tabStyle(false, false, false));

    // The first toolbar image, to see it shaded.
    const auto firstButtonImage = [this] {
        for (QAction *a : mainWindow()->toolBar()->actions())
            if (!a->isSeparator() && !a->icon().isNull())
                return a->icon().pixmap(16, QIcon::Normal).toImage();
        return QImage();
    };
    ASSERT_FALSE(greyOnly(firstButtonImage())) << "full colour without DimToolBar";

    // Cancel leaves the tabs and the toolbar as they were.
    runSheet([](OptionsSheet &sheet) {
        sheet.generalPage()->bottomBox()->setChecked(true);
        setItem(sheet, GeneralItem::DimToolBar, true);
        sheet.cancelButton()->click();
    });
    EXPECT_EQ(mainWindow()->tabBar()->tabStyle(), corvane::tabStyle(false, false, false));
    EXPECT_FALSE(greyOnly(firstButtonImage()));

    runSheet([](OptionsSheet &sheet) {
        sheet.generalPage()->bottomBox()->setChecked(true);
        sheet.generalPage()->buttonsBox()->setChecked(true);
        setItem(sheet, GeneralItem::DimToolBar, true);
        sheet.okButton()->click();
    });
    WindowTabBar *bar = mainWindow()->tabBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->tabStyle(), corvane::tabStyle(true, true, false));
    EXPECT_EVENTUALLY_EQ(bar->count(), 1);
    EXPECT_GE(bar->tabRect(0).top(), bar->displayRect().bottom()) << "the tabs moved below the windows";
    EXPECT_EQ(mainWindow()->mdiArea()->geometry(), bar->displayRect().translated(bar->pos()));
    EXPECT_TRUE(greyOnly(firstButtonImage())) << "shaded at once";
    EXPECT_EQ(store()->dimToolBar(), 1);
}

TEST_F(OptionsSheetTest, CurrentViewRedrawsTheActiveWindowsBorderAtOnce)
{
    ASSERT_TRUE(start());
    mainWindow()->resize(900, 700);
    mainWindow()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow()));
    PaneSplitter *splitter = mainWindow()->activeBrowserWindow()->splitter();
    splitter->splitColumn(splitter->width() / 2);
    QCoreApplication::processEvents();
    const Rect ring = splitter->grid().borderRect(splitter->activePane());
    const QPoint outer(ring.left, (ring.top + ring.bottom) / 2);
    const QPoint inner((ring.left + ring.right) / 2, ring.top + 1);
    EXPECT_EQ(splitter->grab().toImage().pixelColor(outer), QColor(0, 255, 0));

    // The change is drawn on the window as it stands, not only when something
    // else next repaints it.
    PaintCounter counter(splitter);
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        CurrentViewPage *page = sheet.currentViewPage();
        EXPECT_EQ(page->colorButton()->color(), makeRgb(0, 255, 0)) << "the stored colour";
        EXPECT_TRUE(page->view3DBox()->isChecked());
        page->colorButton()->setColor(makeRgb(200, 0, 40));
        page->view3DBox()->setChecked(false);
        sheet.okButton()->click();
    });
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    QImage image = splitter->grab().toImage();
    EXPECT_EQ(image.pixelColor(outer), QColor(200, 0, 40));
    EXPECT_EQ(image.pixelColor(inner), QColor(200, 0, 40)) << "flat: the inner frame in the colour too";
    EXPECT_EQ(store()->viewRgb(), makeRgb(200, 0, 40));

    // Off: no pane is framed any more.
    counter.paints = 0;
    runSheet([](OptionsSheet &sheet) {
        choosePage(sheet, 2);
        EXPECT_EQ(sheet.currentViewPage()->colorButton()->color(), makeRgb(200, 0, 40));
        EXPECT_FALSE(sheet.currentViewPage()->view3DBox()->isChecked());
        sheet.currentViewPage()->activeBorderBox()->setChecked(false);
        sheet.okButton()->click();
    });
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_NE(splitter->grab().toImage().pixelColor(outer), QColor(200, 0, 40));
    EXPECT_EQ(store()->viewBorder3DEnabled(), 0);
}

TEST_F(OptionsSheetTest, SwitchingTheIeMenuOnFillsItsFavoritesFromTheFolder)
{
    preset([](SettingsStore &s) { s.setIe(0); });
    ASSERT_TRUE(start());
    ASSERT_FALSE(menuTitles().contains(QStringLiteral("&IE")));
    // A favorite saved while the IE menu was off.
    const QString folder = home.dataHome() + QStringLiteral("/Tolvek/Corvane/Favorites");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile shortcut(folder + QStringLiteral("/Saved While Off.url"));
    ASSERT_TRUE(shortcut.open(QIODevice::WriteOnly));
    shortcut.write("[InternetShortcut]\r\nURL=http://saved.example/\r\n");
    shortcut.close();

    runSheet([](OptionsSheet &sheet) {
        setItem(sheet, GeneralItem::IeMenu, true);
        sheet.okButton()->click();
    });
    ASSERT_TRUE(menuTitles().contains(QStringLiteral("&IE")));
    ASSERT_NE(mainWindow()->favoritesMenu(), nullptr);
    QStringList entries;
    for (QAction *a : mainWindow()->favoritesMenu()->actions())
        entries << a->text();
    EXPECT_TRUE(entries.contains(QStringLiteral("Saved While Off"))) << entries.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(store()->ie(), 1);
}

TEST_F(OptionsSheetTest, MinimizeToListsTaskbarAndTrayWholeInAnyFont)
{
    TrayIcon::setAvailableOverride(true);
    const QFont usual = QApplication::font();
    struct Restore { QFont font; ~Restore() { QApplication::setFont(font); } } restore{usual};
    for (const qreal scale : {1.0, 1.6}) {
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * scale);
        QApplication::setFont(font);
        ASSERT_TRUE(start());
        runSheet([scale](OptionsSheet &sheet) {
            choosePage(sheet, 4);
            const QStringList clipped = clippedDropDownItems(sheet.securityPage()->minimizeBox());
            EXPECT_EQ(clipped.join(QStringLiteral(", ")).toStdString(), "")
                << "font scaled by " << scale;
        });
    }
    TrayIcon::setAvailableOverride(std::nullopt);
}

TEST_F(OptionsSheetTest, InALargerFontEveryTabAndGeneralItemIsInView)
{
    const QFont usual = QApplication::font();
    struct Restore { QFont font; ~Restore() { QApplication::setFont(font); } } restore{usual};
    QFont font = usual;
    font.setPointSizeF(usual.pointSizeF() * 1.6);
    QApplication::setFont(font);
    ASSERT_TRUE(start());
    runSheet([](OptionsSheet &sheet) {
        QTabBar *bar = sheet.tabs()->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            EXPECT_LE(bar->tabRect(i).right(), bar->width()) << bar->tabText(i).toStdString();
        auto *list = sheet.findChild<QListWidget *>();
        ASSERT_TRUE(list);
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        EXPECT_LE(last.bottom(), list->viewport()->height()) << "the last items hide behind a scroll bar";
        EXPECT_LE(list->sizeHintForColumn(0), list->viewport()->width());
    });
}
